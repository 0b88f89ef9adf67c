// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The main dialog driven like a user: typing, picking rows, Calculate, Enter.
#include "tests/support/uitest.h"
#include "ui/displacement_dialog.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

using namespace uitest;

namespace {

// The dialog's controls, found by their symbols.
struct Controls {
    explicit Controls(QDialog* d)
        : dialog(d), editB(Find<QLineEdit>(d, IDC_EDIT_B)), editH(Find<QLineEdit>(d, IDC_EDIT_H)),
          editL(Find<QLineEdit>(d, IDC_EDIT_L)), editC(Find<QLineEdit>(d, IDC_EDIT_C)),
          editZ(Find<QLineEdit>(d, IDC_EDIT_Z)), cDisplay(Find<QLineEdit>(d, IDC_C_DISPLAY)),
          componentText(Find<QLineEdit>(d, IDC_COMPONENT_TEXT)),
          modeList(Find<QListWidget>(d, IDC_MODE_LIST)),
          componentList(Find<QListWidget>(d, IDC_COMPONENT_LIST)),
          positionList(Find<QListWidget>(d, IDC_POSITION_LIST)), calculate(Find<QPushButton>(d, IDOK)),
          exit(Find<QPushButton>(d, IDCANCEL)), cCaption(Find<QWidget>(d, IDC_C_CAPTION)),
          componentCaption(Find<QWidget>(d, IDC_COMPONENT_CAPTION)),
          zCaption(Find<QWidget>(d, IDC_Z_CAPTION)), zUnits(Find<QWidget>(d, IDC_Z_UNITS)),
          resultsGroup(Find<QWidget>(d, IDC_RESULTS_GROUP)) {}

    QDialog* dialog;
    QLineEdit *editB, *editH, *editL, *editC, *editZ, *cDisplay, *componentText;
    QListWidget *modeList, *componentList, *positionList;
    QPushButton *calculate, *exit;
    QWidget *cCaption, *componentCaption, *zCaption, *zUnits, *resultsGroup;

    bool ResultsShown() const {
        const bool shown = Shown(editZ);
        EXPECT_EQ(Shown(zUnits), shown);
        EXPECT_EQ(Shown(zCaption), shown);
        EXPECT_EQ(Shown(resultsGroup), shown);
        return shown;
    }
    void TypeInputs(const char* b, const char* h, const char* l) const {
        ClearAndType(editB, QString::fromLatin1(b));
        ClearAndType(editH, QString::fromLatin1(h));
        ClearAndType(editL, QString::fromLatin1(l));
    }
};

class MainDialog : public ::testing::Test {
protected:
    void SetUp() override {
        // The program-scope state starts afresh, as in a new process.
        g_constantC = 0.0;
        g_constantMode = 0;
        g_resultText = "";
        g_scratchText = "";
    }

    // Runs the dialog with a script; the script gets the controls and ends with Exit.
    void Run(const std::function<void(Controls&)>& script) {
        CDisplacementDialog dlg;
        const INT_PTR result = RunModal(dlg, [&](QDialog* d) {
            Controls c(d);
            script(c);
            Click(c.exit);
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

Visibility Observe(const Controls& c) {
    EXPECT_EQ(Shown(c.cCaption), Shown(c.editC));
    EXPECT_EQ(Shown(c.componentCaption), Shown(c.componentList));
    return {Shown(c.editC),         Shown(c.cDisplay),  Shown(c.componentList),
            Shown(c.componentText), Shown(c.calculate), c.ResultsShown()};
}

struct VisibilityRow {
    const char* name;
    std::function<void(Controls&)> act;
    Visibility expected;
    std::vector<std::string> boxes; // message boxes the actions raise
};

const char* const kRange = "Warning, the typical range is:  0.75 <= C <= 2.25 ";
const char* const kThickness = "Warning.  Thickness value is very high. ";
const char* const kInputError = "Input Error.  All input values must be > 0";

void PickComponent(Controls& c, int row) {
    ClickRow(c.modeList, 1);
    ClickRow(c.componentList, row);
}

void Succeed(Controls& c) {
    c.TypeInputs("6", "0.062", "1");
    PickComponent(c, 3);
    Click(c.calculate);
}

TEST_F(MainDialog, ControlsComeAndGoWithEachAction) {
    const std::vector<VisibilityRow> rows = {
        {"after opening", [](Controls&) {}, {false, false, false, true, true, false}, {}},
        {"mode row 0 picked",
         [](Controls& c) { ClickRow(c.modeList, 0); },
         {true, false, false, false, true, false},
         {}},
        {"mode row 1 picked",
         [](Controls& c) { ClickRow(c.modeList, 1); },
         {false, true, true, false, false, false},
         {}},
        {"component picked",
         [](Controls& c) { PickComponent(c, 4); },
         {false, true, false, true, true, false},
         {}},
        {"Calculate succeeds", Succeed, {false, true, false, true, true, true}, {}},
        {"Calculate fails",
         [](Controls& c) {
             Succeed(c);
             ClearAndType(c.editL, "0");
             Click(c.calculate);
         },
         {false, true, false, true, true, false},
         {kInputError}},
        {"B changed after a result",
         [](Controls& c) {
             Succeed(c);
             Type(c.editB, "1");
         },
         {false, true, false, true, true, false},
         {}},
        {"position changed after a result",
         [](Controls& c) {
             Succeed(c);
             ClickRow(c.positionList, 2);
         },
         {false, true, false, true, true, false},
         {}},
        {"C changed after a result",
         [](Controls& c) {
             ClickRow(c.modeList, 0);
             c.TypeInputs("6", "0.062", "1");
             Type(c.editC, "1");
             Click(c.calculate);
             Type(c.editC, "2");
         },
         {true, false, false, false, true, false},
         {}},
    };
    for (const VisibilityRow& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        Run([&](Controls& c) {
            BoxRecorder boxes;
            row.act(c);
            EXPECT_EQ(Observe(c), row.expected);
            EXPECT_EQ(boxes.Take(), row.boxes);
        });
    }
}

TEST_F(MainDialog, FieldTextsFollowTheConstantMode) {
    Run([](Controls& c) {
        EXPECT_EQ(TextOf(c.editC), " ");
        EXPECT_EQ(TextOf(c.cDisplay), " ");
        EXPECT_EQ(c.positionList->count(), 3);
        EXPECT_EQ(c.modeList->count(), 2);
        EXPECT_EQ(c.componentList->count(), 11);
        EXPECT_EQ(c.componentList->item(10)->text().toStdString(),
                  "Any component with two parallel rows of wires");
        EXPECT_TRUE(c.modeList->selectedItems().isEmpty());
        EXPECT_TRUE(c.componentList->selectedItems().isEmpty());

        PickComponent(c, 10);
        EXPECT_EQ(TextOf(c.componentText), "Component with two parallel rows of wires ");
        EXPECT_EQ(TextOf(c.editC), "1.26");
        EXPECT_EQ(TextOf(c.cDisplay), "C =   1.26 ");
        EXPECT_DOUBLE_EQ(g_constantC, 1.26);

        ClickRow(c.modeList, 1);
        ClickRow(c.componentList, 3);
        EXPECT_EQ(TextOf(c.editC), "1.0");
        EXPECT_EQ(TextOf(c.cDisplay), "C =   1.00 ");

        // Back to typing C: the component selection is cleared, the field blanked, C reset.
        ClickRow(c.modeList, 0);
        EXPECT_TRUE(c.componentList->selectedItems().isEmpty());
        EXPECT_EQ(TextOf(c.editC), " ");
        EXPECT_EQ(g_constantC, 0.0);
        EXPECT_EQ(g_constantMode, 0);
    });
}

struct BoxRow {
    const char* name;
    std::function<void(Controls&)> act;
    std::vector<std::string> boxes;
    const char* result; // nullptr: results hidden
};

TEST_F(MainDialog, CalculateShowsTheBoxesInOrder) {
    auto manual = [](const char* b, const char* h, const char* l, const char* cText) {
        return [=](Controls& c) {
            ClickRow(c.modeList, 0);
            c.TypeInputs(b, h, l);
            Type(c.editC, QString::fromLatin1(cText));
            Click(c.calculate);
        };
    };
    const std::vector<BoxRow> rows = {
        {"Calculate right after opening",
         [](Controls& c) {
             c.TypeInputs("6", "0.062", "1");
             Click(c.calculate);
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
         [](Controls& c) {
             c.TypeInputs("6", "0.062", "1");
             PickComponent(c, 6);
             Click(c.calculate);
             Click(c.calculate);
         },
         {},
         "    0.00946 "},
        {"component mode at the lower end",
         [](Controls& c) {
             c.TypeInputs("6", "0.062", "1");
             PickComponent(c, 0);
             Click(c.calculate);
             Click(c.calculate);
         },
         {},
         "     0.0284 "},
        {"mode row 1 and Enter before a component",
         [](Controls& c) {
             c.TypeInputs("6", "0.062", "1");
             ClickRow(c.modeList, 1);
             Key(c.editB, Qt::Key_Return);
         },
         {kInputError},
         nullptr},
        {"Enter in a field calculates",
         [](Controls& c) {
             c.TypeInputs("8", "0.093", "2");
             PickComponent(c, 4);
             ClickRow(c.positionList, 1);
             Key(c.editL, Qt::Key_Enter);
         },
         {},
         "      0.015 "},
    };
    for (const BoxRow& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        Run([&](Controls& c) {
            BoxRecorder boxes;
            row.act(c);
            EXPECT_EQ(boxes.Take(), row.boxes);
            EXPECT_EQ(c.ResultsShown(), row.result != nullptr);
            EXPECT_EQ(TextOf(c.editZ), row.result ? row.result : " ");
            EXPECT_TRUE(c.modeList->selectedItems().isEmpty()) << "no mode row selected after Calculate";
            EXPECT_TRUE(c.dialog->isVisible()) << "Calculate never closes the dialog";
        });
    }
}

TEST_F(MainDialog, AFailedCalculateKeepsTheConstantMode) {
    Run([](Controls& c) {
        BoxRecorder boxes;
        c.TypeInputs("6", "0.062", "0");
        PickComponent(c, 8);
        Click(c.calculate);
        EXPECT_EQ(g_constantMode, 1);
        EXPECT_DOUBLE_EQ(g_constantC, 1.75);
        ClearAndType(c.editL, "1");
        Click(c.calculate);
        EXPECT_EQ(g_constantMode, 0);
        EXPECT_EQ(boxes.Take(), std::vector<std::string>{kInputError});
        EXPECT_EQ(TextOf(c.editZ), "     0.0122 ");
    });
}

TEST_F(MainDialog, ExitEscapeAndCloseBoxEndIt) {
    const std::vector<std::pair<const char*, std::function<void(QDialog*)>>> ways = {
        {"Exit", [](QDialog* d) { Click(Find<QPushButton>(d, IDCANCEL)); }},
        {"Escape", [](QDialog* d) { Key(Find<QLineEdit>(d, IDC_EDIT_B), Qt::Key_Escape); }},
        {"close box", [](QDialog* d) { d->close(); }},
    };
    for (const auto& [name, end] : ways) {
        SCOPED_TRACE(name);
        CDisplacementDialog dlg;
        EXPECT_EQ(RunModal(dlg, end), IDCANCEL);
    }
}

TEST_F(MainDialog, OverviewRequestGivesTheResult) {
    Run([](Controls& c) {
        BoxRecorder boxes;
        c.TypeInputs("6", "0.062", "1");
        ClickRow(c.modeList, 1);
        ClickRow(c.componentList, 3);
        EXPECT_EQ(c.positionList->currentRow(), 0);
        Click(c.calculate);
        EXPECT_TRUE(boxes.Take().empty());
        EXPECT_TRUE(c.ResultsShown());
        EXPECT_EQ(TextOf(c.editZ), "     0.0213 ");
    });
}

} // namespace
