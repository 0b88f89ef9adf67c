// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The main dialog as built from its template: its controls inside it under IDs of their own, the
// texts it shows, each control built at its place, the tab order, and the sixteen members bound to
// their controls.
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

const afx::DialogItemTemplate* ItemOf(const afx::DialogTemplate& t, int id) {
    const auto found = std::find_if(t.items.begin(), t.items.end(),
                                    [&](const afx::DialogItemTemplate& item) { return item.id == id; });
    return found == t.items.end() ? nullptr : &*found;
}

// What a dialog of this kind needs from its template: a modal dialog with a caption and a system
// menu, in a font of its own, shown in the taskbar.
TEST(MainTemplate, IsAModalDialogWithACaption) {
    const afx::DialogTemplate t = MainTemplate();
    EXPECT_TRUE(t.extended);
    EXPECT_NE(t.title, "");
    EXPECT_GT(t.cx, 0);
    EXPECT_GT(t.cy, 0);
    EXPECT_NE(t.fontName, "");
    EXPECT_GT(t.pointSize, 0);
    const DWORD styles = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    EXPECT_EQ(t.style & styles, styles);
    EXPECT_EQ(t.exStyle & WS_EX_APPWINDOW, WS_EX_APPWINDOW);
}

// Every control is a visible child that lies wholly inside the dialog; each control the program
// addresses has an ID of its own; Tab stops on buttons, edits and lists and on nothing else; every
// label begins a group (WS_GROUP), where the dialog manager's arrow-key moves stop.
TEST(MainTemplate, EveryControlLiesInsideTheDialogUnderAnIdOfItsOwn) {
    const afx::DialogTemplate t = MainTemplate();
    ASSERT_FALSE(t.items.empty());
    std::set<int> ids;
    for (std::size_t i = 0; i < t.items.size(); ++i) {
        const afx::DialogItemTemplate& item = t.items[i];
        SCOPED_TRACE("control #" + std::to_string(i + 1) + " \"" + item.text + "\" (ID " +
                     std::to_string(item.id) + ")");
        EXPECT_EQ(item.style & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
        EXPECT_GE(item.x, 0);
        EXPECT_GE(item.y, 0);
        EXPECT_GT(item.cx, 0);
        EXPECT_GT(item.cy, 0);
        EXPECT_LE(item.x + item.cx, t.cx);
        EXPECT_LE(item.y + item.cy, t.cy);
        if (item.id != IDC_STATIC) {
            EXPECT_TRUE(ids.insert(item.id).second) << "ID used twice";
        }
        const Kind kind = KindOf(item);
        const bool tabStop =
            kind == DefButton || kind == Button || kind == Edit || kind == ReadOnlyEdit || kind == List;
        EXPECT_EQ((item.style & WS_TABSTOP) != 0, tabStop);
        if (kind == Label) {
            EXPECT_EQ(item.style & WS_GROUP, WS_GROUP);
        }
        if (kind == List) {
            EXPECT_EQ(item.style & (LBS_NOTIFY | LBS_SORT | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER),
                      LBS_NOTIFY | LBS_SORT | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER);
        }
        if (kind == Edit || kind == ReadOnlyEdit) {
            EXPECT_EQ(item.style & ES_AUTOHSCROLL, ES_AUTOHSCROLL);
        }
    }
}

// The controls the program works with, each of its kind: the user types B, h, L and C; the program
// writes Z, the component's description and the C it took from the list, which the user can
// select but not change. Calculate is the one default button, and it and Exit stand out with a
// raised frame. The description and the C display are text on the dialog's face, without a border.
TEST(MainTemplate, HoldsTheControlsTheProgramWorksWith) {
    const afx::DialogTemplate t = MainTemplate();
    const struct {
        int id;
        Kind kind;
    } controls[] = {
        {IDOK, DefButton},
        {IDCANCEL, Button},
        {IDC_EDIT_B, Edit},
        {IDC_EDIT_H, Edit},
        {IDC_EDIT_L, Edit},
        {IDC_EDIT_C, Edit},
        {IDC_EDIT_Z, ReadOnlyEdit},
        {IDC_COMPONENT_TEXT, ReadOnlyEdit},
        {IDC_C_DISPLAY, ReadOnlyEdit},
        {IDC_MODE_LIST, List},
        {IDC_COMPONENT_LIST, List},
        {IDC_POSITION_LIST, List},
        {IDC_RESULTS_GROUP, Group},
        {IDC_Z_CAPTION, Label},
        {IDC_Z_UNITS, Label},
        {IDC_C_CAPTION, Label},
        {IDC_COMPONENT_CAPTION, Label},
    };
    for (const auto& control : controls) {
        SCOPED_TRACE(control.id);
        const afx::DialogItemTemplate* item = ItemOf(t, control.id);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(KindOf(*item), control.kind);
    }
    EXPECT_EQ(std::count_if(t.items.begin(), t.items.end(),
                            [](const afx::DialogItemTemplate& item) { return KindOf(item) == DefButton; }),
              1);
    for (int id : {IDOK, IDCANCEL})
        EXPECT_EQ(ItemOf(t, id)->exStyle & WS_EX_DLGMODALFRAME, WS_EX_DLGMODALFRAME) << id;
    for (const afx::DialogItemTemplate& item : t.items) {
        if (item.cls == afx::ControlClass::Edit) {
            EXPECT_EQ((item.style & WS_BORDER) != 0,
                      item.id != IDC_COMPONENT_TEXT && item.id != IDC_C_DISPLAY)
                << item.id;
        }
    }
    const auto picture =
        std::find_if(t.items.begin(), t.items.end(),
                     [](const afx::DialogItemTemplate& item) { return KindOf(item) == Picture; });
    ASSERT_NE(picture, t.items.end());
    EXPECT_EQ(picture->imageId, IDB_FORMULA) << "the formula picture";
}

// The texts the user reads on the dialog: its labels, group boxes and buttons (the title is the
// window's, which the tests of the real binary read).
TEST(MainTemplate, ShowsTheTexts) {
    std::vector<std::string> texts = {
        "Calculate",
        "Exit",
        "Length of Circuit Board Edge Parallel to Component",
        "B = ",
        "inch",
        "C = ",
        "Circuit Board Thickness",
        "h = ",
        "inch",
        "inch",
        "Length of the Electronic Component",
        "L = ",
        "Z  for 20 million cycles",
        "inch  (3-sigma)",
        "Input",
        "Results:  Relative Displacement Limit",
        "Steinberg, Vibration Analysis for Electronic Equipment",
        "inch 3-sigma for 20 million cycles",
        "Reference",
        "Z = Relative Displacement Limit",
        "Component Constant",
        "Relative Position Factor  r  ",
        "Select Component",
    };
    std::vector<std::string> shown;
    for (const afx::DialogItemTemplate& item : MainTemplate().items)
        if (!item.text.empty())
            shown.push_back(item.text);
    std::sort(texts.begin(), texts.end());
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(shown, texts);
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
        EXPECT_EQ(d->size(), afx::DialogUnitsToPixels(base, 0, 0, t.cx, t.cy).size());
        EXPECT_EQ(d->windowTitle().toStdString(), t.title);

        // Controls in template order, with their place in pixels.
        std::vector<QWidget*> controls;
        for (QObject* o : d->children())
            if (auto* w = qobject_cast<QWidget*>(o); w && w->property("controlId").isValid())
                controls.push_back(w);
        ASSERT_EQ(controls.size(), t.items.size());
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
            {&dlg.m_positionList, IDC_POSITION_LIST},
            {&dlg.m_cCaption, IDC_C_CAPTION},
            {&dlg.m_cDisplay, IDC_C_DISPLAY},
            {&dlg.m_modeList, IDC_MODE_LIST},
            {&dlg.m_componentText, IDC_COMPONENT_TEXT},
            {&dlg.m_componentCaption, IDC_COMPONENT_CAPTION},
            {&dlg.m_componentList, IDC_COMPONENT_LIST},
            {&dlg.m_zCaption, IDC_Z_CAPTION},
            {&dlg.m_resultsGroup, IDC_RESULTS_GROUP},
            {&dlg.m_zUnits, IDC_Z_UNITS},
            {&dlg.m_calculateButton, IDOK},
            {&dlg.m_editZ, IDC_EDIT_Z},
            {&dlg.m_editL, IDC_EDIT_L},
            {&dlg.m_editH, IDC_EDIT_H},
            {&dlg.m_editC, IDC_EDIT_C},
            {&dlg.m_editB, IDC_EDIT_B},
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
