// The main dialog driven like a user: typing, picking rows, Calculate, Enter.
#include "tests/support/uitest.h"
#include "ui/displacement_dialog.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace uitest;

namespace {

// The dialog's controls, found by their symbols.
struct Controls {
    explicit Controls(QDialog* d)
        : dialog(d), editB(Find<QLineEdit>(d, "IDC_EDIT_B")), editH(Find<QLineEdit>(d, "IDC_EDIT_H")),
          editL(Find<QLineEdit>(d, "IDC_EDIT_L")), editC(Find<QLineEdit>(d, "IDC_EDIT_C")),
          editZ(Find<QLineEdit>(d, "IDC_EDIT_Z")), cDisplay(Find<QLineEdit>(d, "IDC_C_DISPLAY")),
          componentText(Find<QLineEdit>(d, "IDC_COMPONENT_TEXT")),
          modeList(Find<QListWidget>(d, "IDC_MODE_LIST")),
          componentList(Find<QListWidget>(d, "IDC_COMPONENT_LIST")),
          positionList(Find<QListWidget>(d, "IDC_POSITION_LIST")), calculate(Find<QPushButton>(d, "IDOK")),
          exit(Find<QPushButton>(d, "IDCANCEL")), cCaption(Find<QWidget>(d, "IDC_C_CAPTION")),
          componentCaption(Find<QWidget>(d, "IDC_COMPONENT_CAPTION")),
          zCaption(Find<QWidget>(d, "IDC_Z_CAPTION")), zUnits(Find<QWidget>(d, "IDC_Z_UNITS")),
          resultsGroup(Find<QWidget>(d, "IDC_RESULTS_GROUP")) {}

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
