// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// Random use of the real dialog: a seeded stream of user actions, with the dialog's invariants
// checked after every step. TARNVEL_MONKEY_ACTIONS sets the number of actions (a short run by
// default, `make soak` runs a long one), TARNVEL_MONKEY_SEED the seed.
#include "calc/displacement.h"
#include "calc/evaluation.h"
#include "calc/tables.h"
#include "calc/texts.h"
#include "resources/resource.h"
#include "tests/support/uitest.h"
#include "ui/displacement_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

using namespace uitest;

namespace {

long EnvNumber(const char* name, long fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::strtol(value, nullptr, 10) : fallback;
}

class Monkey {
public:
    Monkey(CWnd& wnd, QDialog* d, unsigned seed)
        : m_wnd(wnd),
          m_random(seed), m_fields{Find<QLineEdit>(d, IDC_EDIT_B), Find<QLineEdit>(d, IDC_EDIT_H),
                                   Find<QLineEdit>(d, IDC_EDIT_L), Find<QLineEdit>(d, IDC_EDIT_C)},
          m_lists{Find<QListWidget>(d, IDC_MODE_LIST), Find<QListWidget>(d, IDC_COMPONENT_LIST),
                  Find<QListWidget>(d, IDC_POSITION_LIST)},
          m_editZ(Find<QLineEdit>(d, IDC_EDIT_Z)), m_calculate(Find<QPushButton>(d, IDOK)) {}

    // One action; returns false when the invariants do not hold afterwards.
    bool Step(long index) {
        const std::string before = Inputs();
        const bool calculated = Act();
        return Check(index, calculated, Inputs() != before);
    }

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }

    QString RandomText() {
        static const char* const kPieces[] = {"6",  "0.062", "1",   "0.5", "2.25",  "0.75",   "-",
                                              "+",  ".",     "e",   "E",   "1e999", "1e-400", " ",
                                              "in", "0x1A",  "inf", "nan", "9",     "00"};
        QString text;
        const int n = Pick(4);
        for (int i = 0; i < n; ++i)
            text += QString::fromLatin1(kPieces[Pick(std::size(kPieces))]);
        return text;
    }

    QString ArbitraryText() {
        switch (Pick(200)) {
        case 0: // a very long text: a MiB now and then, else some thousands of characters
            return QString(Pick(4) == 0 ? 1 << 20 : 5000, QChar(u"7.\u00e9 x\t"[Pick(6)]));
        default: {
            QString text;
            const int n = Pick(12);
            for (int i = 0; i < n; ++i) {
                const int kind = Pick(4);
                if (kind == 0)
                    text += QChar(Pick(32)); // control characters
                else if (kind == 1)
                    text += QChar(0x80 + Pick(0x2000)); // beyond ASCII
                else
                    text += QChar(' ' + Pick(95));
            }
            return text;
        }
        }
    }

    std::vector<QLineEdit*> VisibleFields() const {
        std::vector<QLineEdit*> out;
        for (QLineEdit* f : m_fields)
            if (f->isVisible())
                out.push_back(f);
        return out;
    }

    std::vector<QListWidget*> VisibleLists() const {
        std::vector<QListWidget*> out;
        for (QListWidget* l : m_lists)
            if (l->isVisible())
                out.push_back(l);
        return out;
    }

    // Performs one random action; true when it was a Calculate.
    bool Act() {
        const auto fields = VisibleFields();
        const auto lists = VisibleLists();
        QLineEdit* field = fields[static_cast<std::size_t>(Pick(static_cast<int>(fields.size())))];
        switch (Pick(10)) {
        case 0:
        case 1:
            Type(field, RandomText());
            return false;
        case 2:
            ClearAndType(field, RandomText());
            return false;
        case 3:
            QApplication::clipboard()->setText(ArbitraryText());
            field->setFocus();
            Key(field, Qt::Key_V, Qt::ControlModifier);
            return false;
        case 4:
            Key(field, Pick(2) ? Qt::Key_Backspace : Qt::Key_Delete);
            return false;
        case 5: {
            QListWidget* list = lists[static_cast<std::size_t>(Pick(static_cast<int>(lists.size())))];
            ClickRow(list, Pick(list->count()));
            return false;
        }
        case 6: {
            QListWidget* list = lists[static_cast<std::size_t>(Pick(static_cast<int>(lists.size())))];
            list->setFocus();
            Key(list, Pick(2) ? Qt::Key_Down : Qt::Key_Up);
            return false;
        }
        case 7:
            if (m_calculate->isVisible())
                Click(m_calculate);
            else
                Key(field, Qt::Key_Return);
            return true;
        case 8:
            Key(field, Qt::Key_Return);
            return true;
        default: {
            // The About box from the system menu, closed by OK, Escape or the close box.
            const int how = Pick(3);
            QTimer::singleShot(0, [how] {
                QWidget* about = QApplication::activeModalWidget();
                if (how == 0)
                    Key(about, Qt::Key_Return);
                else if (how == 1)
                    Key(about, Qt::Key_Escape);
                else
                    about->close();
            });
            m_wnd.SendMessageA(WM_SYSCOMMAND, IDM_ABOUTBOX + static_cast<UINT>(Pick(16)), 0);
            return false;
        }
        }
    }

    std::string Inputs() const {
        std::string s;
        for (QLineEdit* f : m_fields)
            s += f->text().toStdString() + '\x1f';
        return s + std::to_string(m_lists[2]->currentRow());
    }

    bool Check(long index, bool calculated, bool inputChanged) {
        const std::string where = "action " + std::to_string(index);
        EXPECT_EQ(m_lists[2]->selectedItems().size(), 1) << where << ": one position row is always selected";
        if (calculated) {
            EXPECT_TRUE(m_lists[0]->selectedItems().isEmpty()) << where << ": no mode row after Calculate";
        }
        if (inputChanged && !calculated) {
            EXPECT_FALSE(m_editZ->isVisible()) << where << ": a changed input hides the result";
        }
        if (m_editZ->isVisible()) {
            calc::Readings in;
            in.B = calc::FieldValue(m_fields[0]->text().toStdString());
            in.h = calc::FieldValue(m_fields[1]->text().toStdString());
            in.L = calc::FieldValue(m_fields[2]->text().toStdString());
            in.C = calc::FieldValue(m_fields[3]->text().toStdString());
            const calc::PositionRow* row = calc::PositionAt(m_lists[2]->currentRow());
            in.r = row ? row->r : 0.0;
            const calc::Evaluation expected = calc::Evaluate(in, true);
            EXPECT_TRUE(expected.succeeded) << where << ": a result is shown for fields that fail";
            EXPECT_EQ(m_editZ->text().toStdString(), expected.resultText) << where;
        }
        return !::testing::Test::HasFailure();
    }

    CWnd& m_wnd;
    std::mt19937 m_random;
    std::vector<QLineEdit*> m_fields;
    std::vector<QListWidget*> m_lists;
    QLineEdit* m_editZ;
    QPushButton* m_calculate;
};

TEST(Monkey, RandomUseKeepsTheDialogConsistent) {
    const long actions = EnvNumber("TARNVEL_MONKEY_ACTIONS", 300);
    const auto seed = static_cast<unsigned>(EnvNumber("TARNVEL_MONKEY_SEED", 20261208));
    g_constantC = 0.0;
    g_constantMode = 0;
    CDisplacementDialog dlg;
    long done = 0;
    RunModal(
        dlg,
        [&](QDialog* d) {
            BoxRecorder boxes;
            Monkey monkey(dlg, d, seed);
            for (; done < actions; ++done) {
                if (!monkey.Step(done))
                    break;
                for (const std::string& text : boxes.Take())
                    EXPECT_TRUE(text == calc::kRangeWarning || text == calc::kThicknessWarning ||
                                text == calc::kInputError)
                        << text;
            }
            Key(d, Qt::Key_Escape);
        },
        static_cast<int>(60000 + actions * 50));
    EXPECT_EQ(done, actions) << "seed " << seed;
}

} // namespace
