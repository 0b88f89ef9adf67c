// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The three fixed lists of the main dialog: how C is obtained, the component kinds with their constants,
// and the relative position factors. Row index = the row's index in its list box.
#pragma once

#include <array>

namespace calc {

// Rows of the constant-mode list; the selected row is the constant mode.
inline constexpr int kModeManual = 0;    // C typed into the C field
inline constexpr int kModeComponent = 1; // C taken from ComponentTable
inline constexpr std::array<const char*, 2> ConstantModeTexts{
    "Enter constant manually",
    "Select component from list",
};

struct ComponentRow {
    const char* listText;    // shown in the component list
    const char* description; // shown once the row is chosen (ends with one blank)
    const char* cText;       // written into the C field
    double c;                // the constant in force; equals FieldValue(cText)
};

inline constexpr std::array<ComponentRow, 11> ComponentTable{{
    {"Resistor (axial lead or surface mount)", "Resistor (axial lead or surface mount) ", "0.75", 0.75},
    {"Capacitor (axial lead or surface mount)", "Capacitor (axial lead or surface mount) ", "0.75", 0.75},
    {"Diode (axial lead or surface mount)", "Diode (axial lead or surface mount) ", "0.75", 0.75},
    {"Standard DIP", "Standard DIP ", "1.0", 1.0},
    {"DIP with side-brazed lead wires", "DIP with side-brazed lead wires ", "1.26", 1.26},
    {"Through-hole PGA", "Through-hole PGA ", "1.0", 1.0},
    {"Surface-mounted LCCC with castellations", "Surface-mounted LCCC with castellations ", "2.25", 2.25},
    {"Surface-mounted LCCC with J wires", "Surface-mounted LCCC with J wires ", "1.26", 1.26},
    {"Surface-mounted BGA", "Surface-mounted BGA ", "1.75", 1.75},
    {"Fine-pitch surface mount axial lead with bonded corners",
     "Fine-pitch surface mount axial lead with bonded corners ", "0.75", 0.75},
    {"Any component with two parallel rows of wires", "Component with two parallel rows of wires ", "1.26",
     1.26},
}};

struct PositionRow {
    const char* text;
    double r;
};

inline constexpr std::array<PositionRow, 3> PositionFactorTable{{
    {"1.00  Center", 1.0},
    {"0.707  Half X.  Quarter Y.", 0.707},
    {"0.50  Quarter X.  Quarter Y.", 0.5},
}};

// The row at a list index, or nullptr when the index is no row (−1 = no selection, or out of range).
const ComponentRow* ComponentAt(int index);
const PositionRow* PositionAt(int index);

} // namespace calc
