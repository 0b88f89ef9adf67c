// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The checks on the inputs and one whole Calculate: which message boxes appear, in which order, and the
// result text or the failure.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>

namespace calc {

// The range check on a C typed by hand: C not ≥ 0.75 (NaN included) or C > 2.25.
bool NeedsRangeWarning(double C);

// The thickness check: h > 0.5.
bool NeedsThicknessWarning(double h);

// The positivity check in the order L, C, B, h, r: each strictly greater than 0 (NaN fails, +inf passes).
bool AllPositive(double L, double C, double B, double h, double r);

enum class Message { RangeWarning, ThicknessWarning, InputError };

// The text shown for a message.
const char* MessageText(Message message);

// The values one Calculate read from the dialog.
struct Readings {
    double L = 0.0;
    double C = 0.0;
    double B = 0.0;
    double h = 0.0;
    double r = 0.0;
};

struct Evaluation {
    std::array<Message, 3> messageSlots{};
    std::size_t messageCount = 0;
    bool succeeded = false;
    double z = 0.0;         // meaningful only when succeeded
    std::string resultText; // "%11.3g " of z when succeeded, empty otherwise

    // The message boxes to show, in order: range warning, thickness warning, input error.
    std::span<const Message> Messages() const { return {messageSlots.data(), messageCount}; }
};

// One Calculate. `checkRange` is true when C was typed by hand (constant mode 0). Warnings never stop the
// calculation. A Z that is not a finite number greater than 0 (only reachable at the ends of the double
// range) fails like a non-positive input: a displacement limit of "inf", "nan" or 0 means nothing.
Evaluation Evaluate(const Readings& in, bool checkRange);

} // namespace calc
