// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The main dialog as built from its template: every control with its ID, kind, text, place and
// tab order, and the sixteen members bound to their controls.
#include "resources/resource.h"
#include "tests/support/pixels.h"
#include "tests/support/uitest.h"
#include "ui/afx/afxapp.h"
#include "ui/afx/qt/qt_impl.h"
#include "ui/displacement_dialog.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

using namespace uitest;

namespace {

enum Kind { DefButton, Button, Label, Edit, ReadOnlyEdit, List, Group, Picture };

struct Row {
    int id;
    Kind kind;
    const char* text;
    int x, y, w, h;
};

// clang-format off
constexpr std::array<Row, 36> kExpected{{
    {IDOK, DefButton, "Calculate", 301, 218, 97, 25},
    {IDCANCEL, Button, "Exit", 301, 272, 97, 24},
    {-1, Label, "Length of Circuit Board Edge Parallel to Component", 21, 93, 97, 20},
    {-1, Label, "B = ", 127, 96, 13, 8},
    {1000, Edit, "", 146, 95, 71, 15},
    {-1, Label, "inch", 224, 99, 27, 13},
    {1016, Label, "C = ", 137, 188, 15, 11},
    {-1, Label, "Circuit Board Thickness", 20, 120, 84, 15},
    {-1, Label, "h = ", 126, 124, 15, 13},
    {1002, Edit, "", 145, 122, 71, 15},
    {1003, Edit, "", 157, 186, 71, 15},
    {1004, Edit, "", 146, 146, 71, 15},
    {-1, Label, "inch", 225, 125, 27, 13},
    {-1, Label, "inch", 223, 149, 27, 13},
    {-1, Label, "Length of the Electronic Component", 22, 144, 89, 17},
    {-1, Label, "L = ", 125, 147, 13, 15},
    {1005, ReadOnlyEdit, "", 292, 122, 71, 15},
    {1007, Label, "Z  for 20 million cycles", 298, 99, 85, 12},
    {1006, Label, "inch  (3-sigma)", 372, 122, 49, 13},
    {-1, Group, "Input", 13, 73, 256, 223},
    {1008, Group, "Results:  Relative Displacement Limit", 275, 76, 205, 106},
    {-1, Label, "Steinberg, Vibration Analysis for Electronic Equipment", 21, 30, 106, 20},
    {-1, Group, "", 7, 6, 473, 63},
    {-1, Label, "inch 3-sigma for 20 million cycles", 285, 37, 111, 14},
    {-1, Picture, "", 204, 34, 62, 20},
    {-1, Group, "Reference", 13, 16, 128, 46},
    {-1, Group, "Z = Relative Displacement Limit", 149, 16, 264, 46},
    {-1, Group, "Component Constant", 16, 175, 239, 68},
    {-1, Group, "Relative Position Factor  r  ", 16, 244, 235, 46},
    {-1, Group, "", 17, 82, 240, 87},
    {1011, List, "", 279, 99, 195, 108},
    {1012, Label, "Select Component", 294, 86, 114, 11},
    {1013, ReadOnlyEdit, "", 24, 227, 214, 15},
    {1015, List, "", 24, 188, 99, 35},
    {1009, ReadOnlyEdit, "", 157, 205, 71, 15},
    {1017, List, "", 125, 251, 117, 35},
}};
// clang-format on

Kind KindOf(const afx::DialogItemTemplate& item) {
    switch (item.cls) {
    case afx::ControlClass::Button:
        if ((item.style & BS_TYPEMASK) == BS_GROUPBOX)
            return Group;
        return (item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON ? DefButton : Button;
    case afx::ControlClass::Edit:
        return (item.style & ES_READONLY) ? ReadOnlyEdit : Edit;
    case afx::ControlClass::ListBox:
        return List;
    case afx::ControlClass::Static:
        return (item.style & SS_TYPEMASK) == SS_BITMAP ? Picture : Label;
    default:
        return Label;
    }
}

// The main dialog's template as compiled into the executable.
afx::DialogTemplate MainTemplate() {
    const auto t = afx::LoadDialogTemplate(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDD_MAIN));
    if (!t)
        throw std::runtime_error("the executable has no main dialog template");
    return *t;
}

TEST(MainTemplate, HoldsEveryControlInOrder) {
    const afx::DialogTemplate t = MainTemplate();
    EXPECT_TRUE(t.extended);
    EXPECT_EQ(t.title, "Circuit Board Relative Displacement Limit    ver 1.2   by Ostrel ");
    EXPECT_EQ((std::array{t.x, t.y, t.cx, t.cy}), (std::array<short, 4>{0, 0, 487, 305}));
    EXPECT_EQ(t.fontName, "Arial");
    EXPECT_EQ(t.pointSize, 10);
    EXPECT_EQ(t.weight, 0);
    EXPECT_FALSE(t.italic);
    EXPECT_EQ(t.charset, 1); // DEFAULT_CHARSET
    const DWORD styles = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    EXPECT_EQ(t.style & styles, styles);
    EXPECT_EQ(t.exStyle & WS_EX_APPWINDOW, WS_EX_APPWINDOW);
    ASSERT_EQ(t.items.size(), kExpected.size());
    for (std::size_t i = 0; i < kExpected.size(); ++i) {
        const Row& want = kExpected[i];
        const afx::DialogItemTemplate& got = t.items[i];
        SCOPED_TRACE("control #" + std::to_string(i + 1));
        EXPECT_EQ(got.id, want.id);
        EXPECT_EQ(KindOf(got), want.kind);
        EXPECT_EQ(got.text, want.text);
        EXPECT_EQ(got.style & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
        EXPECT_EQ((std::array{got.x, got.y, got.cx, got.cy}),
                  (std::array<short, 4>{short(want.x), short(want.y), short(want.w), short(want.h)}));
        const bool tabStop = want.kind == DefButton || want.kind == Button || want.kind == Edit ||
                             want.kind == ReadOnlyEdit || want.kind == List;
        EXPECT_EQ((got.style & WS_TABSTOP) != 0, tabStop);
        if (want.kind == Label) {
            EXPECT_EQ(got.style & WS_GROUP, WS_GROUP);
        }
        if (want.kind == List) {
            EXPECT_EQ(got.style & (LBS_NOTIFY | LBS_SORT | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER),
                      LBS_NOTIFY | LBS_SORT | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER);
        }
    }
    // The edits with a border: B, h, C, L and Z; the description and the C display have none.
    for (const afx::DialogItemTemplate& item : t.items) {
        if (item.cls == afx::ControlClass::Edit) {
            EXPECT_EQ((item.style & WS_BORDER) != 0,
                      item.id != IDC_COMPONENT_TEXT && item.id != IDC_C_DISPLAY)
                << item.id;
            EXPECT_EQ(item.style & ES_AUTOHSCROLL, ES_AUTOHSCROLL) << item.id;
        }
    }
    EXPECT_EQ(t.items[0].exStyle & WS_EX_DLGMODALFRAME, WS_EX_DLGMODALFRAME) << "Calculate";
    EXPECT_EQ(t.items[1].exStyle & WS_EX_DLGMODALFRAME, WS_EX_DLGMODALFRAME) << "Exit";
    EXPECT_EQ(t.items[24].imageId, IDB_FORMULA) << "the formula picture";
}

TEST(VersionBlock, HoldsTheNumbersAndTheEightKeys) {
    HINSTANCE module = AfxGetInstanceHandle();
    const HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(1), RT_VERSION);
    ASSERT_NE(info, nullptr);
    const afx::Bytes block(static_cast<const std::uint8_t*>(LockResource(LoadResource(module, info))),
                           SizeofResource(module, info));
    const auto version = afx::ReadFileVersion(block);
    ASSERT_TRUE(version);
    EXPECT_EQ((std::array{version->part[0], version->part[1], version->part[2], version->part[3]}),
              (std::array<WORD, 4>{1, 0, 0, 1}));
    const struct {
        const char* key;
        const char* value;
    } rows[] = {
        {"FileVersion", "1, 0, 0, 1"},
        {"ProductVersion", "1, 0, 0, 1"},
        {"FileDescription", "tarnvel MFC Application"},
        {"InternalName", "tarnvel"},
        {"OriginalFilename", "tarnvel.EXE"},
        {"ProductName", "tarnvel Application"},
        {"CompanyName", ""},
        {"LegalTrademarks", ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(afx::ReadVersionString(block, "040904B0", row.key), row.value) << row.key;
    EXPECT_EQ(afx::ReadVersionString(block, "040904B0", "Comments"), std::nullopt);
}

TEST(MainTemplate, BuildsWidgetsAtTheirPlacesWithMembersBound) {
    CDisplacementDialog dlg;
    RunModal(dlg, [&](QDialog* d) {
        const afx::DialogTemplate t = MainTemplate();
        const QSize base = afx::DialogBaseUnits(d->font());
        EXPECT_EQ(d->size(), afx::DialogUnitsToPixels(base, 0, 0, 487, 305).size());
        EXPECT_EQ(d->windowTitle().toStdString(), t.title);

        // Controls in template order, with their place in pixels.
        std::vector<QWidget*> controls;
        for (QObject* o : d->children())
            if (auto* w = qobject_cast<QWidget*>(o); w && w->property("controlId").isValid())
                controls.push_back(w);
        ASSERT_EQ(controls.size(), 36u);
        for (const afx::DialogItemTemplate& item : t.items) {
            SCOPED_TRACE(item.text);
            auto found = std::find_if(controls.begin(), controls.end(), [&](QWidget* w) {
                const bool edit =
                    item.cls == afx::ControlClass::Edit || item.cls == afx::ControlClass::ListBox;
                return w->property("controlId").toInt() == item.id && (edit || TextOf(w) == item.text) &&
                       w->pos() == afx::DialogUnitsToPixels(base, item.x, item.y, item.cx, item.cy).topLeft();
            });
            ASSERT_NE(found, controls.end());
            if ((item.style & SS_TYPEMASK) != SS_BITMAP || item.cls != afx::ControlClass::Static) {
                EXPECT_EQ((*found)->size(),
                          afx::DialogUnitsToPixels(base, item.x, item.y, item.cx, item.cy).size());
            }
        }
        // The formula picture shows the 108 × 40 bitmap.
        auto picture = std::find_if(controls.begin(), controls.end(), [](QWidget* w) {
            auto* l = qobject_cast<QLabel*>(w);
            return l && !l->pixmap().isNull();
        });
        ASSERT_NE(picture, controls.end());
        EXPECT_EQ((*picture)->size(), QSize(108, 40));

        // The members, each bound to its control.
        const std::vector<std::pair<CWnd*, int>> members = {
            {&dlg.m_positionList, 1017},  {&dlg.m_cCaption, 1016},        {&dlg.m_cDisplay, 1009},
            {&dlg.m_modeList, 1015},      {&dlg.m_componentText, 1013},   {&dlg.m_componentCaption, 1012},
            {&dlg.m_componentList, 1011}, {&dlg.m_zCaption, 1007},        {&dlg.m_resultsGroup, 1008},
            {&dlg.m_zUnits, 1006},        {&dlg.m_calculateButton, IDOK}, {&dlg.m_editZ, 1005},
            {&dlg.m_editL, 1004},         {&dlg.m_editH, 1002},           {&dlg.m_editC, 1003},
            {&dlg.m_editB, 1000},
        };
        for (const auto& [member, id] : members) {
            ASSERT_NE(member->GetSafeHwnd(), nullptr) << id;
            EXPECT_EQ(member->GetDlgCtrlID(), id);
        }
        Key(d, Qt::Key_Escape);
    });
    EXPECT_EQ(dlg.m_editB.GetSafeHwnd(), nullptr) << "wrappers are released with the window";
}

TEST(MainTemplate, FocusStartsOnCalculateAndTabFollowsTemplateOrder) {
    CDisplacementDialog dlg;
    RunModal(dlg, [&](QDialog* d) {
        // Hidden controls (C, Z, component list, C display) are skipped.
        const std::vector<int> order = {IDOK,          IDCANCEL,          IDC_EDIT_B,
                                        IDC_EDIT_H,    IDC_EDIT_L,        IDC_COMPONENT_TEXT,
                                        IDC_MODE_LIST, IDC_POSITION_LIST, IDOK};
        std::vector<int> seen;
        for (std::size_t i = 0; i < order.size(); ++i) {
            QWidget* focus = QApplication::focusWidget();
            ASSERT_NE(focus, nullptr);
            seen.push_back(IdOf(focus));
            Key(focus, Qt::Key_Tab);
        }
        EXPECT_EQ(seen, order);
        Key(d, Qt::Key_Escape);
    });
}

} // namespace

namespace {

// At the screen's scale (the double- and fractional-scale CTest runs set QT_SCALE_FACTOR) the
// formula fills its place in device pixels: at whole scales every picture pixel becomes a block
// of device pixels, at fractional ones the picture is enlarged evenly and keeps its ink, scale²
// pixels of it for each pixel of ink in the picture, in the colours of the palette alone.
TEST(Scaling, PicturesFillTheirPlaceEvenly) {
    CDisplacementDialog dlg;
    qreal scale = 1;
    RunModal(dlg, [&](QDialog* d) {
        scale = d->devicePixelRatioF();
        const QColor face = d->palette().color(QPalette::Window);
        const QColor ink = d->palette().color(QPalette::WindowText);
        for (QLabel* label : d->findChildren<QLabel*>()) {
            if (label->pixmap().isNull() || scale == 1)
                continue;
            const QImage image = label->grab().toImage().convertToFormat(QImage::Format_RGB32);
            ASSERT_EQ(image.size(), (QSizeF(label->size()) * scale).toSize());
            const QImage picture = label->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
            const double pictureInk = Ink(picture, picture.rect(), face, ink);
            ASSERT_GT(pictureInk, 0);
            EXPECT_NEAR(Ink(image, image.rect(), face, ink), scale * scale * pictureInk,
                        0.01 * scale * scale * pictureInk);
            const int whole = qRound(scale);
            int astray = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const QRgb c = image.pixel(x, y);
                    if (whole == scale) {
                        astray += c != image.pixel(x - x % whole, y - y % whole);
                    } else {
                        // A blend of face and ink, nothing else.
                        const double share = Ink(image, QRect(x, y, 1, 1), face, ink);
                        const QColor blend =
                            QColor::fromRgbF(float(face.redF() + share * (ink.redF() - face.redF())),
                                             float(face.greenF() + share * (ink.greenF() - face.greenF())),
                                             float(face.blueF() + share * (ink.blueF() - face.blueF())));
                        astray += std::abs(qRed(c) - blend.red()) > 2 ||
                                  std::abs(qGreen(c) - blend.green()) > 2 ||
                                  std::abs(qBlue(c) - blend.blue()) > 2;
                    }
                }
            EXPECT_EQ(astray, 0);
        }
        Key(d, Qt::Key_Escape);
    });
    if (scale == 1)
        GTEST_SKIP() << "runs enlarged only";
}

// Every list box, bordered edit, group box and button shows all four sides of its frame, at the
// screen's scale.
TEST(Frames, EveryControlShowsAllFourSides) {
    CDisplacementDialog dlg;
    RunModal(dlg, [&](QDialog* d) {
        const qreal scale = d->devicePixelRatioF();
        const QColor face = d->palette().color(QPalette::Window);
        std::set<int> framed; // IDs, group boxes by their place
        const auto check = [&] {
            const QImage image = d->grab().toImage();
            for (QWidget* w : d->findChildren<QWidget*>()) {
                if (!w->property("controlId").isValid() || !Shown(w))
                    continue;
                const QRectF place = DeviceRect(w, d, scale);
                SCOPED_TRACE(w->metaObject()->className() + (" " + std::to_string(IdOf(w))));
                auto* edit = qobject_cast<QLineEdit*>(w);
                if (qobject_cast<QListWidget*>(w) || (edit && edit->hasFrame())) {
                    EXPECT_EQ(MissingSides(image, place, face, w->palette().color(QPalette::Base)), "");
                } else if (qobject_cast<QPushButton*>(w)) {
                    EXPECT_EQ(MissingSides(image, place, face, w->palette().color(QPalette::Button)), "");
                } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
                    const QFontMetrics metrics(group->font());
                    const qreal afterTitle =
                        place.left() +
                        (metrics.averageCharWidth() + metrics.horizontalAdvance(group->title()) + 8) * scale;
                    EXPECT_EQ(MissingSides(image, place.adjusted(0, metrics.height() / 2 * scale, 0, 0), face,
                                           face, afterTitle),
                              "");
                } else {
                    continue;
                }
                framed.insert(IdOf(w) > 0 ? IdOf(w) : -(w->x() * 10000 + w->y()));
            }
        };
        // As it opens, with C's edit shown, with the component list shown, and with a result.
        check();
        ClearAndType(Find<QLineEdit>(d, IDC_EDIT_B), "6");
        ClearAndType(Find<QLineEdit>(d, IDC_EDIT_H), "0.062");
        ClearAndType(Find<QLineEdit>(d, IDC_EDIT_L), "1");
        ClickRow(Find<QListWidget>(d, IDC_MODE_LIST), 0);
        check();
        ClickRow(Find<QListWidget>(d, IDC_MODE_LIST), 1);
        check();
        ClickRow(Find<QListWidget>(d, IDC_COMPONENT_LIST), 3);
        Click(Find<QPushButton>(d, IDOK));
        check();
        EXPECT_EQ(framed.size(), 3u + 5u + 2u + 8u); // lists, bordered edits, buttons, group boxes
        Key(d, Qt::Key_Escape);
    });
}

} // namespace
