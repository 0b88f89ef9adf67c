// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// Strings, dialog units and fonts, icons, and the floating-point control.
#include "tests/afx/afx_test.h"
#include "tests/support/uitest.h"
#include "ui/afx/afxapp.h"
#include "ui/afx/afxcrt.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>

namespace {

TEST(CString, LoadStringFindsTheEntryOrLeavesTheStringAlone) {
    const struct {
        const char* name;
        UINT id;
        BOOL found;
        const char* text; // after loading into "before"
    } rows[] = {
        {"first of a block", IDS_FIRST, TRUE, "&First string..."},
        {"blanks kept", IDS_SECOND, TRUE, "  second, with blanks  "},
        {"a later block", IDS_LATER, TRUE, "forty"},
        {"an empty slot of a block", IDS_SECOND + 1, FALSE, "before"},
        {"a block that does not exist", 4242, FALSE, "before"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        CString text("before");
        EXPECT_EQ(text.LoadStringA(row.id), row.found);
        EXPECT_EQ(text.Str(), row.text);
    }
    EXPECT_TRUE(CString("").IsEmpty());
}

TEST(CString, FormatUsesADecimalPointWhateverTheLocale) {
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed";
    struct Restore {
        ~Restore() { std::setlocale(LC_ALL, "C"); }
    } restore;
    char german[8];
    std::snprintf(german, sizeof german, "%.1f", 1.5);
    ASSERT_STREQ(german, "1,5") << "the locale writes a decimal comma";
    const struct {
        const char* format;
        double value;
        const char* expected;
    } rows[] = {{"%11.3g ", 0.0212903, "     0.0213 "}, {"C = %6.2lf ", 1.26, "C =   1.26 "}};
    for (const auto& row : rows) {
        CString text;
        text.Format(row.format, row.value);
        EXPECT_EQ(text.Str(), row.expected) << row.format;
    }
}

TEST(DialogUnits, ConvertToPixelsRounded) {
    const struct {
        QSize base;
        QRect dlu, pixels;
    } rows[] = {
        {{6, 13}, {4, 8, 4, 8}, {6, 13, 6, 13}},       // one base unit each way
        {{6, 13}, {1, 1, 3, 3}, {2, 2, 5, 5}},         // 1.5 → 2, 1.625 → 2, 4.5 → 5, 4.875 → 5
        {{5, 15}, {2, 4, 1, 3}, {3, 8, 1, 6}},         // 2.5 → 3, 7.5 → 8, 1.25 → 1, 5.625 → 6
        {{8, 15}, {0, 0, 487, 305}, {0, 0, 974, 572}}, // 571.875 → 572
    };
    for (const auto& r : rows)
        EXPECT_EQ(afx::DialogUnitsToPixels(r.base, r.dlu.x(), r.dlu.y(), r.dlu.width(), r.dlu.height()),
                  r.pixels);
}

TEST(DialogUnits, ADialogHasItsTemplateSizeInAMetricCompatibleFont) {
    const afx::DialogTemplate t = TestTemplate(IDD_PROBE);
    const QFont font = afx::TemplateFont(t);
    EXPECT_EQ(QFontInfo(font).family(), "Liberation Sans") << "for " << t.fontName;
    // Arial 10 pt at 96 dpi has the base units 8 × 15 on Windows.
    ASSERT_EQ(QGuiApplication::primaryScreen()->logicalDotsPerInchY(), 96);
    EXPECT_EQ(afx::DialogBaseUnits(font), QSize(8, 15));
    CDialog dlg(IDD_PROBE);
    uitest::RunModal(dlg, [&](QDialog* d) {
        EXPECT_EQ(d->windowTitle().toStdString(), t.title);
        EXPECT_EQ(d->size(), QSize(974, 572));
        EXPECT_EQ(d->minimumSize(), d->maximumSize());
        Exit(d);
    });
}

// The height of `text` laid out as static text is drawn: wrapped at blanks, a word wider than the
// control broken where it must.
qreal WrappedHeight(const QString& text, const QFont& font, int width) {
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    qreal height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        height += line.height();
    }
    layout.endLayout();
    return height;
}

TEST(DialogUnits, EveryLabelShowsAllItsText) {
    for (const int id : {IDD_PROBE, IDD_SMALL}) {
        Built dlg(id);
        for (const QLabel* label : dlg.window->widget->findChildren<QLabel*>()) {
            if (label->text().isEmpty())
                continue; // a picture
            // Rounding the font's height to whole pixels may cost a pixel, as with Windows fonts.
            EXPECT_LE(WrappedHeight(label->text(), label->font(), label->width()), label->height() + 1)
                << label->text().toStdString();
        }
    }
}

TEST(Icons, TheApplicationIconIsSharedWithBothSizesAndSetsTheWindowIcon) {
    const auto load = [] {
        return LoadIconA(AfxFindResourceHandle(MAKEINTRESOURCEA(IDI_PICTURE), RT_GROUP_ICON),
                         MAKEINTRESOURCEA(IDI_PICTURE));
    };
    const HICON icon = load();
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(load(), icon);
    EXPECT_EQ(icon->large.size(), QSize(32, 32));
    EXPECT_EQ(icon->small.size(), QSize(16, 16));
    EXPECT_EQ(GetSystemMetrics(SM_CXICON), 32);
    EXPECT_EQ(LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDI_PICTURE + 1)), nullptr);
    CDialog dlg(IDD_SMALL);
    uitest::RunModal(dlg, [&](QDialog* d) {
        const auto lp = reinterpret_cast<LPARAM>(icon);
        for (const WPARAM which : {ICON_BIG, ICON_SMALL}) {
            EXPECT_EQ(dlg.SendMessageA(WM_GETICON, which), 0) << which;
            EXPECT_EQ(dlg.SendMessageA(WM_SETICON, which, lp), 0) << which;
            EXPECT_EQ(dlg.SendMessageA(WM_SETICON, which, lp), lp) << which;
            EXPECT_EQ(dlg.SendMessageA(WM_GETICON, which), lp) << which;
        }
        for (const int side : {16, 32})
            EXPECT_TRUE(d->windowIcon().availableSizes().contains(QSize(side, side))) << side;
        uitest::Click(uitest::Find<QWidget>(d, IDOK));
    });
}

TEST(ControlFp, DoublesHave53BitPrecision) {
    EXPECT_EQ(_controlfp(_PC_53, _MCW_PC) & _MCW_PC, _PC_53);
}

} // namespace
