// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The system menu, the About box and the window icon.
#include "resources/resource.h"
#include "tests/support/uitest.h"
#include "ui/about_dialog.h"
#include "ui/afx/afxmenu.h"
#include "ui/displacement_dialog.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <ostream>

using namespace uitest;

namespace {

// Runs `inside` when the About box is up, then closes it with `closeKey` (or the close box). The
// call goes with `owner` (the main dialog), should the box never open.
void WhenAboutOpens(QObject* owner, const std::function<void(QDialog*)>& inside, int closeKey) {
    QTimer::singleShot(0, owner, [=] {
        auto* about = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(about, nullptr);
        inside(about);
        if (closeKey == 0)
            about->close();
        else
            Key(about, closeKey);
    });
}

TEST(SystemMenu, EndsWithTheAboutEntry) {
    CDisplacementDialog dlg;
    RunModal(dlg, [&](QDialog* d) {
        CMenu* menu = dlg.GetSystemMenu(FALSE);
        ASSERT_NE(menu, nullptr);
        std::vector<std::pair<UINT, std::string>> items;
        for (int i = 0; i < menu->GetMenuItemCount(); ++i) {
            CString text;
            menu->GetMenuStringA(static_cast<UINT>(i), text, MF_BYPOSITION);
            items.emplace_back(menu->GetMenuItemID(i), text.Str());
        }
        const std::vector<std::pair<UINT, std::string>> expected = {
            {SC_MOVE, "&Move"}, {SC_CLOSE, "&Close\tAlt+F4"}, {0, ""}, {IDM_ABOUTBOX, "&About tarnvel..."}};
        EXPECT_EQ(items, expected);
        Key(d, Qt::Key_Escape);
    });
}

TEST(SystemMenu, AboutBoxLeavesFieldsAndResultAsTheyWere) {
    CDisplacementDialog dlg;
    RunModal(dlg, [&](QDialog* d) {
        auto* editB = Find<QLineEdit>(d, IDC_EDIT_B);
        auto* editZ = Find<QLineEdit>(d, IDC_EDIT_Z);
        {
            BoxRecorder boxes;
            ClearAndType(Find<QLineEdit>(d, IDC_EDIT_B), "6");
            ClearAndType(Find<QLineEdit>(d, IDC_EDIT_H), "0.062");
            ClearAndType(Find<QLineEdit>(d, IDC_EDIT_L), "1");
            ClickRow(Find<QListWidget>(d, IDC_MODE_LIST), 1);
            ClickRow(Find<QListWidget>(d, IDC_COMPONENT_LIST), 3);
            Click(Find<QPushButton>(d, IDOK));
            EXPECT_TRUE(boxes.Take().empty());
        }
        ASSERT_EQ(editZ->text().toStdString(), "     0.0213 ");
        // Opened from the menu by every command in 0x0010–0x001F, closed by OK, Escape or the close box.
        const int closeKeys[] = {Qt::Key_Return, Qt::Key_Escape, 0};
        for (UINT command = IDM_ABOUTBOX; command <= IDM_ABOUTBOX + 0xF; ++command) {
            bool opened = false;
            WhenAboutOpens(
                d,
                [&](QDialog* about) {
                    opened = true;
                    EXPECT_EQ(about->windowTitle().toStdString(), "About tarnvel");
                    EXPECT_NE(about->findChild<QLabel*>(), nullptr);
                },
                closeKeys[command % 3]);
            dlg.SendMessageA(WM_SYSCOMMAND, command, 0);
            EXPECT_TRUE(opened) << std::hex << command;
        }
        EXPECT_EQ(editB->text().toStdString(), "6");
        EXPECT_EQ(editZ->text().toStdString(), "     0.0213 ");
        EXPECT_TRUE(editZ->isVisible());
        Key(d, Qt::Key_Escape);
    });
}

TEST(SystemMenu, CommandsOutsideTheAboutRangeDoNotOpenIt) {
    CDisplacementDialog dlg;
    RunModal(dlg, [&](QDialog* d) {
        for (UINT command : {0x0000u, 0x000Fu, 0x0020u, 0x0110u}) {
            dlg.SendMessageA(WM_SYSCOMMAND, command, 0);
            EXPECT_EQ(QApplication::activeModalWidget(), d) << std::hex << command;
        }
        Key(d, Qt::Key_Escape);
    });
}

TEST(SystemMenu, CloseFromTheMenuEndsTheDialog) {
    CDisplacementDialog dlg;
    const INT_PTR result = RunModal(dlg, [&](QDialog* d) {
        QTimer::singleShot(0, [] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr) << (QApplication::activePopupWidget() ? "other popup" : "no popup");
            for (QAction* a : menu->actions()) {
                if (a->data().toUInt() == SC_CLOSE) {
                    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
                    return;
                }
            }
            ADD_FAILURE() << "no Close entry";
            menu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, d->height() - 2),
                                d->mapToGlobal(QPoint(2, d->height() - 2)));
        QApplication::sendEvent(d, &event);
    });
    EXPECT_EQ(result, IDCANCEL);
}

TEST(AboutBox, ShowsItsFourControls) {
    CAboutDialog about;
    RunModal(about, [&](QDialog* d) {
        std::vector<std::string> texts;
        for (QLabel* label : d->findChildren<QLabel*>())
            if (label->pixmap().isNull())
                texts.push_back(label->text().toStdString());
        EXPECT_EQ(texts,
                  (std::vector<std::string>{"tarnvel     Version 1.1", "By Ostrel  Email: os@example.com"}));
        EXPECT_EQ(Find<QPushButton>(d, IDOK)->text().toStdString(), "OK");
        EXPECT_EQ(about.m_okButton.GetDlgCtrlID(), IDOK);
        Key(d, Qt::Key_Return);
    });
}

// Wrapped to the label's width, the About box's texts break between words only: an address split
// in the middle can be neither read nor copied.
TEST(AboutBox, TextsBreakOnlyBetweenWords) {
    CAboutDialog about;
    RunModal(about, [&](QDialog* d) {
        for (QLabel* label : d->findChildren<QLabel*>()) {
            if (!label->pixmap().isNull())
                continue;
            const QString text = label->text();
            SCOPED_TRACE(text.toStdString());
            const QFontMetrics metrics(label->font());
            const int width = label->contentsRect().width();
            for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                EXPECT_LE(metrics.horizontalAdvance(word), width) << word.toStdString() << " is cut";
        }
        Key(d, Qt::Key_Return);
    });
}

TEST(WindowIcon, IsSetAndDrawnCentredWhenMinimised) {
    CDisplacementDialog dlg;
    RunModal(dlg, [&](QDialog* d) {
        const HICON big = reinterpret_cast<HICON>(dlg.SendMessageA(WM_GETICON, ICON_BIG, 0));
        const HICON small = reinterpret_cast<HICON>(dlg.SendMessageA(WM_GETICON, ICON_SMALL, 0));
        ASSERT_NE(big, nullptr);
        EXPECT_EQ(big, small);
        EXPECT_FALSE(d->windowIcon().isNull());
        EXPECT_EQ(reinterpret_cast<HICON>(dlg.SendMessageA(WM_QUERYDRAGICON, 0, 0)), big);

        // Minimised, the client area is the dialog's face with the icon in the middle; the icon
        // has a dark blue ground.
        d->showMinimized();
        QImage image(d->size(), QImage::Format_RGB32);
        image.fill(Qt::magenta);
        d->render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground);
        const QColor face = d->palette().color(QPalette::Window);
        const int x = (d->width() - 32 + 1) / 2;
        const int y = (d->height() - 32 + 1) / 2;
        EXPECT_EQ(QColor(image.pixel(x, y)), QColor(0, 0, 0x80));
        EXPECT_EQ(QColor(image.pixel(x + 31, y)), QColor(0, 0, 0x80));
        EXPECT_EQ(QColor(image.pixel(x - 1, y)), face);
        EXPECT_EQ(QColor(image.pixel(x + 32, y)), face);
        EXPECT_EQ(QColor(image.pixel(2, 2)), face);
        d->showNormal();

        // Not minimised: the ordinary painting, no icon at the centre.
        image.fill(Qt::magenta);
        d->render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground);
        EXPECT_NE(QColor(image.pixel(x, y)), QColor(0, 0, 0x80));
        Key(d, Qt::Key_Escape);
    });
}

} // namespace

namespace {

// Every route to the system menu reaches the About box: the keys of every desktop, and a right
// click on the dialog's face, inside group boxes and on labels as well.
struct RouteRow {
    const char* name;
    int key;                         // 0: a right click instead
    Qt::KeyboardModifiers modifiers; // of the key
    int over;                        // right click: the middle of this control, or (0) a corner
};
void PrintTo(const RouteRow& row, std::ostream* os) {
    *os << row.name;
}
class MenuRoute : public ::testing::TestWithParam<RouteRow> {};

TEST_P(MenuRoute, OpensTheSystemMenuWithTheAboutEntry) {
    CDisplacementDialog dlg;
    RunModal(dlg, [&](QDialog* d) {
        const RouteRow& row = GetParam();
        bool opened = false;
        QTimer::singleShot(0, d, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr) << "no menu";
            EXPECT_EQ(menu->objectName().toStdString(), "systemMenu");
            for (QAction* a : menu->actions())
                if (a->data().toUInt() == IDM_ABOUTBOX) {
                    WhenAboutOpens(
                        d, [&](QDialog*) { opened = true; }, Qt::Key_Escape);
                    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
                    return;
                }
            ADD_FAILURE() << "no About entry";
            menu->close();
        });
        QApplication::setActiveWindow(d); // shortcuts work in the active window only
        if (row.key != 0) {
            QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(row.key), row.modifiers);
        } else {
            QPoint at(3, d->height() - 3);
            if (row.over != 0)
                at = Find<QWidget>(d, row.over)->geometry().center();
            QTest::mouseClick(d->windowHandle(), Qt::RightButton, {}, at);
        }
        EXPECT_TRUE(opened);
        Key(d, Qt::Key_Escape);
    });
}

INSTANTIATE_TEST_SUITE_P(SystemMenu, MenuRoute,
                         ::testing::Values(RouteRow{"AltSpace", Qt::Key_Space, Qt::AltModifier, 0},
                                           RouteRow{"ContextMenuKey", Qt::Key_Menu, Qt::NoModifier, 0},
                                           RouteRow{"ShiftF10", Qt::Key_F10, Qt::ShiftModifier, 0},
                                           RouteRow{"RightClickOnTheFace", 0, Qt::NoModifier, 0},
                                           RouteRow{"RightClickOnALabel", 0, Qt::NoModifier, IDC_C_CAPTION},
                                           RouteRow{"RightClickInsideAGroupBox", 0, Qt::NoModifier,
                                                    IDC_RESULTS_GROUP}),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
