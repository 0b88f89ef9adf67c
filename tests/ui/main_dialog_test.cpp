// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The main dialog driven like a user: typing, picking rows, Calculate, Enter. The rows run on every
// backend through its dialog driver.
#include "resources/resource.h"
#include "tests/support/dialog_driver.h"
#include "ui/displacement_dialog.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

using namespace uitest;

namespace {

using Driver = DialogDriver;

bool ResultsShown(Driver& c) {
    const bool shown = c.Shown(IDC_EDIT_Z);
    EXPECT_EQ(c.Shown(IDC_Z_UNITS), shown);
    EXPECT_EQ(c.Shown(IDC_Z_CAPTION), shown);
    EXPECT_EQ(c.Shown(IDC_RESULTS_GROUP), shown);
    return shown;
}

void TypeInputs(Driver& c, const char* b, const char* h, const char* l) {
    c.ClearAndType(IDC_EDIT_B, b);
    c.ClearAndType(IDC_EDIT_H, h);
    c.ClearAndType(IDC_EDIT_L, l);
}

class MainDialog : public ::testing::Test {
protected:
    void SetUp() override {
        // The program-scope state starts afresh, as in a new process.
        g_constantC = 0.0;
        g_constantMode = 0;
        g_resultText = "";
        g_scratchText = "";
    }

    // Runs the dialog with a script; the script gets the driver and ends with Exit.
    void Run(const std::function<void(Driver&)>& script) {
        CDisplacementDialog dlg;
        const std::intptr_t result = RunWithDriver(dlg, [&](Driver& c) {
            script(c);
            c.Click(IDCANCEL);
        });
        EXPECT_EQ(result, IDCANCEL);
    }
};

// What the user sees of the controls that come and go.
struct Visibility {
    bool cField;        // the C field and its "C = " caption
    bool cDisplay;      // the formatted C of a picked component
    bool componentList; // the component list and its caption
    bool description;   // the picked component's description
    bool calculate;
    bool results;
    friend bool operator==(const Visibility&, const Visibility&) = default;
    friend std::ostream& operator<<(std::ostream& os, const Visibility& v) {
        return os << "{C field " << v.cField << ", C display " << v.cDisplay << ", components "
                  << v.componentList << ", description " << v.description << ", Calculate " << v.calculate
                  << ", results " << v.results << "}";
    }
};

Visibility Observe(Driver& c) {
    EXPECT_EQ(c.Shown(IDC_C_CAPTION), c.Shown(IDC_EDIT_C));
    EXPECT_EQ(c.Shown(IDC_COMPONENT_CAPTION), c.Shown(IDC_COMPONENT_LIST));
    return {c.Shown(IDC_EDIT_C),         c.Shown(IDC_C_DISPLAY), c.Shown(IDC_COMPONENT_LIST),
            c.Shown(IDC_COMPONENT_TEXT), c.Shown(IDOK),          ResultsShown(c)};
}

struct VisibilityRow {
    const char* name;
    std::function<void(Driver&)> act;
    Visibility expected;
    std::vector<std::string> boxes; // message boxes the actions raise
};

const char* const kRange = "Warning, the typical range is:  0.75 <= C <= 2.25 ";
const char* const kThickness = "Warning.  Thickness value is very high. ";
const char* const kInputError = "Input Error.  All input values must be > 0";

void PickComponent(Driver& c, int row) {
    c.ClickRow(IDC_MODE_LIST, 1);
    c.ClickRow(IDC_COMPONENT_LIST, row);
}

void Succeed(Driver& c) {
    TypeInputs(c, "6", "0.062", "1");
    PickComponent(c, 3);
    c.Click(IDOK);
}

TEST_F(MainDialog, ControlsComeAndGoWithEachAction) {
    const std::vector<VisibilityRow> rows = {
        {"after opening", [](Driver&) {}, {false, false, false, true, true, false}, {}},
        {"mode row 0 picked",
         [](Driver& c) { c.ClickRow(IDC_MODE_LIST, 0); },
         {true, false, false, false, true, false},
         {}},
        {"mode row 1 picked",
         [](Driver& c) { c.ClickRow(IDC_MODE_LIST, 1); },
         {false, true, true, false, false, false},
         {}},
        {"component picked",
         [](Driver& c) { PickComponent(c, 4); },
         {false, true, false, true, true, false},
         {}},
        {"Calculate succeeds", Succeed, {false, true, false, true, true, true}, {}},
        {"Calculate fails",
         [](Driver& c) {
             Succeed(c);
             c.ClearAndType(IDC_EDIT_L, "0");
             c.Click(IDOK);
         },
         {false, true, false, true, true, false},
         {kInputError}},
        {"B changed after a result",
         [](Driver& c) {
             Succeed(c);
             c.Type(IDC_EDIT_B, "1");
         },
         {false, true, false, true, true, false},
         {}},
        {"position changed after a result",
         [](Driver& c) {
             Succeed(c);
             c.ClickRow(IDC_POSITION_LIST, 2);
         },
         {false, true, false, true, true, false},
         {}},
        {"C changed after a result",
         [](Driver& c) {
             c.ClickRow(IDC_MODE_LIST, 0);
             TypeInputs(c, "6", "0.062", "1");
             c.Type(IDC_EDIT_C, "1");
             c.Click(IDOK);
             c.Type(IDC_EDIT_C, "2");
         },
         {true, false, false, false, true, false},
         {}},
    };
    for (const VisibilityRow& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        Run([&](Driver& c) {
            row.act(c);
            EXPECT_EQ(Observe(c), row.expected);
            EXPECT_EQ(c.TakeBoxes(), row.boxes);
        });
    }
}

TEST_F(MainDialog, FieldTextsFollowTheConstantMode) {
    Run([](Driver& c) {
        EXPECT_EQ(c.Text(IDC_EDIT_C), " ");
        EXPECT_EQ(c.Text(IDC_C_DISPLAY), " ");
        EXPECT_EQ(c.Count(IDC_POSITION_LIST), 3);
        EXPECT_EQ(c.Count(IDC_MODE_LIST), 2);
        EXPECT_EQ(c.Count(IDC_COMPONENT_LIST), 11);
        EXPECT_EQ(c.RowText(IDC_COMPONENT_LIST, 10), "Any component with two parallel rows of wires");
        EXPECT_EQ(c.CurSel(IDC_MODE_LIST), -1);
        EXPECT_EQ(c.CurSel(IDC_COMPONENT_LIST), -1);

        PickComponent(c, 10);
        EXPECT_EQ(c.Text(IDC_COMPONENT_TEXT), "Component with two parallel rows of wires ");
        EXPECT_EQ(c.Text(IDC_EDIT_C), "1.26");
        EXPECT_EQ(c.Text(IDC_C_DISPLAY), "C =   1.26 ");
        EXPECT_DOUBLE_EQ(g_constantC, 1.26);

        c.ClickRow(IDC_MODE_LIST, 1);
        c.ClickRow(IDC_COMPONENT_LIST, 3);
        EXPECT_EQ(c.Text(IDC_EDIT_C), "1.0");
        EXPECT_EQ(c.Text(IDC_C_DISPLAY), "C =   1.00 ");

        // Back to typing C: the component selection is cleared, the field blanked, C reset.
        c.ClickRow(IDC_MODE_LIST, 0);
        EXPECT_EQ(c.CurSel(IDC_COMPONENT_LIST), -1);
        EXPECT_EQ(c.Text(IDC_EDIT_C), " ");
        EXPECT_EQ(g_constantC, 0.0);
        EXPECT_EQ(g_constantMode, 0);
    });
}

struct BoxRow {
    const char* name;
    std::function<void(Driver&)> act;
    std::vector<std::string> boxes;
    const char* result; // nullptr: results hidden
};

TEST_F(MainDialog, CalculateShowsTheBoxesInOrder) {
    auto manual = [](const char* b, const char* h, const char* l, const char* cText) {
        return [=](Driver& c) {
            c.ClickRow(IDC_MODE_LIST, 0);
            TypeInputs(c, b, h, l);
            c.Type(IDC_EDIT_C, cText);
            c.Click(IDOK);
        };
    };
    const std::vector<BoxRow> rows = {
        {"Calculate right after opening",
         [](Driver& c) {
             TypeInputs(c, "6", "0.062", "1");
             c.Click(IDOK);
         },
         {kRange, kInputError},
         nullptr},
        {"manual C 0.5", manual("6", "0.062", "1", "0.5"), {kRange}, "     0.0426 "},
        {"manual C 0.75", manual("6", "0.062", "1", "0.75"), {}, "     0.0284 "},
        {"manual C 2.25", manual("6", "0.062", "1", "2.25"), {}, "    0.00946 "},
        {"manual C blank", manual("6", "0.062", "1", ""), {kRange, kInputError}, nullptr},
        {"h 0.5", manual("6", "0.5", "1", "1"), {}, "    0.00264 "},
        {"h 0.51", manual("6", "0.51", "1", "1"), {kThickness}, "    0.00259 "},
        {"h 0.6 with L 0", manual("6", "0.6", "0", "1"), {kThickness, kInputError}, nullptr},
        {"B with units", manual("6 in", "0.062", "1", "1"), {}, "     0.0213 "},
        {"B letters", manual("abc", "0.062", "1", "1"), {kInputError}, nullptr},
        {"B beyond the double range", manual("1e999", "0.062", "1", "1"), {kInputError}, nullptr},
        {"tiny Z in exponent form", manual("0.001", "0.5", "100", "2.25"), {}, "   1.96e-08 "},
        {"component mode, first and second Calculate",
         [](Driver& c) {
             TypeInputs(c, "6", "0.062", "1");
             PickComponent(c, 6);
             c.Click(IDOK);
             c.Click(IDOK);
         },
         {},
         "    0.00946 "},
        {"component mode at the lower end",
         [](Driver& c) {
             TypeInputs(c, "6", "0.062", "1");
             PickComponent(c, 0);
             c.Click(IDOK);
             c.Click(IDOK);
         },
         {},
         "     0.0284 "},
        {"mode row 1 and Enter before a component",
         [](Driver& c) {
             TypeInputs(c, "6", "0.062", "1");
             c.ClickRow(IDC_MODE_LIST, 1);
             c.Key(IDC_EDIT_B, DriverKey::Return);
         },
         {kInputError},
         nullptr},
        {"Enter in a field calculates",
         [](Driver& c) {
             TypeInputs(c, "8", "0.093", "2");
             PickComponent(c, 4);
             c.ClickRow(IDC_POSITION_LIST, 1);
             c.Key(IDC_EDIT_L, DriverKey::KeypadEnter);
         },
         {},
         "      0.015 "},
    };
    for (const BoxRow& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        Run([&](Driver& c) {
            row.act(c);
            EXPECT_EQ(c.TakeBoxes(), row.boxes);
            EXPECT_EQ(ResultsShown(c), row.result != nullptr);
            EXPECT_EQ(c.Text(IDC_EDIT_Z), row.result ? row.result : " ");
            EXPECT_EQ(c.CurSel(IDC_MODE_LIST), -1) << "no mode row selected after Calculate";
            EXPECT_TRUE(c.DialogShown()) << "Calculate never closes the dialog";
        });
    }
}

TEST_F(MainDialog, AFailedCalculateKeepsTheConstantMode) {
    Run([](Driver& c) {
        TypeInputs(c, "6", "0.062", "0");
        PickComponent(c, 8);
        c.Click(IDOK);
        EXPECT_EQ(g_constantMode, 1);
        EXPECT_DOUBLE_EQ(g_constantC, 1.75);
        c.ClearAndType(IDC_EDIT_L, "1");
        c.Click(IDOK);
        EXPECT_EQ(g_constantMode, 0);
        EXPECT_EQ(c.TakeBoxes(), std::vector<std::string>{kInputError});
        EXPECT_EQ(c.Text(IDC_EDIT_Z), "     0.0122 ");
    });
}

TEST_F(MainDialog, ExitEscapeAndCloseBoxEndIt) {
    const std::vector<std::pair<const char*, std::function<void(Driver&)>>> ways = {
        {"Exit", [](Driver& c) { c.Click(IDCANCEL); }},
        {"Escape", [](Driver& c) { c.Key(IDC_EDIT_B, DriverKey::Escape); }},
        {"close box", [](Driver& c) { c.CloseBox(); }},
    };
    for (const auto& [name, end] : ways) {
        SCOPED_TRACE(name);
        CDisplacementDialog dlg;
        EXPECT_EQ(RunWithDriver(dlg, end), IDCANCEL);
    }
}

TEST_F(MainDialog, OverviewRequestGivesTheResult) {
    Run([](Driver& c) {
        TypeInputs(c, "6", "0.062", "1");
        c.ClickRow(IDC_MODE_LIST, 1);
        c.ClickRow(IDC_COMPONENT_LIST, 3);
        EXPECT_EQ(c.CurSel(IDC_POSITION_LIST), 0);
        c.Click(IDOK);
        EXPECT_TRUE(c.TakeBoxes().empty());
        EXPECT_TRUE(ResultsShown(c));
        EXPECT_EQ(c.Text(IDC_EDIT_Z), "     0.0213 ");
    });
}

// About from the system menu, by every command that differs from IDM_ABOUTBOX only in its low four bits,
// and back with every field, list and result as it was.
TEST_F(MainDialog, AboutFromTheSystemMenuChangesNothing) {
    Run([](Driver& c) {
        TypeInputs(c, "6", "0.062", "1");
        c.ClickRow(IDC_MODE_LIST, 1);
        c.ClickRow(IDC_COMPONENT_LIST, 3);
        c.Click(IDOK);
        ASSERT_EQ(c.Text(IDC_EDIT_Z), "     0.0213 ");
        const int fields[] = {IDC_EDIT_B, IDC_EDIT_H,    IDC_EDIT_L,        IDC_EDIT_C,
                              IDC_EDIT_Z, IDC_C_DISPLAY, IDC_COMPONENT_TEXT};
        const int lists[] = {IDC_MODE_LIST, IDC_COMPONENT_LIST, IDC_POSITION_LIST};
        const auto snapshot = [&] {
            std::vector<std::string> state;
            for (const int id : fields)
                state.push_back(c.Text(id) + (c.Shown(id) ? " shown" : " hidden"));
            for (const int id : lists)
                state.push_back(std::to_string(c.CurSel(id)) + (c.Shown(id) ? " shown" : " hidden"));
            return state;
        };
        const std::vector<std::string> before = snapshot();
        for (unsigned command = IDM_ABOUTBOX; command <= IDM_ABOUTBOX + 0xF; ++command) {
            SCOPED_TRACE(command);
            c.SystemCommand(command);
            EXPECT_EQ(c.TakeDialogs(), std::vector<std::string>{"About tarnvel"});
            EXPECT_EQ(snapshot(), before);
        }
        c.SystemCommand(IDM_ABOUTBOX + 0x10); // 0x0020: not the About entry
        EXPECT_TRUE(c.TakeDialogs().empty());
        EXPECT_TRUE(c.TakeBoxes().empty());
        EXPECT_TRUE(c.DialogShown());
    });
}

} // namespace
