// SPDX-FileCopyrightText: 2026 The tarnvel developers
// SPDX-License-Identifier: MIT
// The real tarnvel binary in a real X server: each test starts its own Xvfb, drives the program
// with xdotool and checks what it shows and how it ends.
#include "e2e.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace e2e;

const std::string kMainTitle = "Circuit Board Relative Displacement Limit    ver 1.2   by Ostrel ";
const std::string kBoxTitle = "tarnvel"; // message boxes

// Table rows are named by their `name`.
template <typename Row> auto operator<<(std::ostream& os, const Row& row) -> decltype(os << row.name) {
    return os << row.name;
}
const auto kRowName = [](const auto& info) { return std::string(info.param.name); };

// tarnvel on an Xvfb of the test's own.
template <typename Row> class OnX : public ::testing::TestWithParam<Row> {
protected:
    // Starts tarnvel with `args` and waits until it has mapped a window.
    void Start(const std::vector<std::string>& args) {
        ASSERT_FALSE(x.Display().empty()) << "Xvfb did not start";
        app = StartTarnvel(args, x.Display());
        ASSERT_TRUE(WaitUntil([&] { return !x.Find().empty() || !app->Running(); })) << "no window mapped";
        ASSERT_TRUE(app->Running()) << ExitedWith(app->Wait(), 0).message() << "\n" << app->Output("stderr");
    }

    XServer x;
    std::unique_ptr<Child> app;
};

struct ArgumentsRow {
    const char* name;
    std::vector<std::string> args;
};
class Arguments : public OnX<ArgumentsRow> {};

TEST_P(Arguments, ChangeNothingTheWindowMapsTitledAndEscapeEndsWithZero) {
    ASSERT_NO_FATAL_FAILURE(Start(GetParam().args));
    const auto windows = x.Find();
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(x.Title(windows[0]), kMainTitle);

    x.Keys(windows[0], "Escape");
    ASSERT_TRUE(ExitedWith(app->Wait(), 0));
    EXPECT_EQ(app->Output("stdout"), "");
    EXPECT_EQ(app->Output("stderr"), "");
}

INSTANTIATE_TEST_SUITE_P(Tarnvel, Arguments,
                         ::testing::Values(ArgumentsRow{"None", {}},
                                           ArgumentsRow{"StyleAndHelp", {"-style", "x", "--help", "foo"}},
                                           ArgumentsRow{"PlatformOffscreen", {"-platform", "offscreen"}},
                                           ArgumentsRow{"Version", {"--version"}}),
                         kRowName);

struct NoDisplayRow {
    const char* name;
    std::string display; // empty: DISPLAY unset
};
class NoDisplay : public ::testing::TestWithParam<NoDisplayRow> {};

TEST_P(NoDisplay, EndsWithOneAndSaysSoInOneLine) {
    auto app = StartTarnvel({}, GetParam().display);
    ASSERT_TRUE(ExitedWith(app->Wait(), 1));
    const std::string err = app->Output("stderr");
    EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
    EXPECT_NE(err.find("display"), std::string::npos) << err;
    EXPECT_NE(err.find(GetParam().display), std::string::npos) << err;
    EXPECT_EQ(app->Output("stdout"), "");
}

INSTANTIATE_TEST_SUITE_P(Tarnvel, NoDisplay,
                         ::testing::Values(NoDisplayRow{"DisplayUnset", ""},
                                           NoDisplayRow{"NothingListensOnDisplay999", ":999"}),
                         kRowName);

// Keys pressed in the main window from the start (focus on Calculate; tab order Exit, B, h, L),
// then the message boxes Calculate raises, each answered with Return.
struct KeyboardRow {
    const char* name;
    const char* keys;
    int boxes;
};
class Keyboard : public OnX<KeyboardRow> {};

TEST_P(Keyboard, CalculateRaisesBoxesOneAtATimeAndTheDialogStays) {
    ASSERT_NO_FATAL_FAILURE(Start({}));
    const std::vector<std::string> main = x.Find("^Circuit Board");
    ASSERT_EQ(main.size(), 1u);

    x.Keys(main[0], GetParam().keys);
    const std::string boxes = "^" + kBoxTitle + "$";
    for (int i = 1; i <= GetParam().boxes; ++i) {
        std::vector<std::string> box;
        ASSERT_TRUE(WaitUntil([&] { return !(box = x.Find(boxes)).empty(); })) << "no box " << i;
        x.Keys(box[0], "Return");
        ASSERT_TRUE(WaitUntil([&] { return x.Find(boxes) != box; })) << "box " << i << " stays";
    }
    ASSERT_TRUE(WaitUntil([&] { return x.Find(boxes).empty(); }));
    ASSERT_EQ(x.Find(), main) << "the main window went away";

    // An extra box would take this Escape, and the program would go on running.
    x.Keys(main[0], "Escape");
    ASSERT_TRUE(ExitedWith(app->Wait(), 0));
}

// Boxes: the C range warning (C blank in manual mode), the thickness warning (h > 0.5), the input error.
INSTANTIATE_TEST_SUITE_P(
    Tarnvel, Keyboard,
    ::testing::Values(KeyboardRow{"NothingTyped", "Return", 2},
                      KeyboardRow{"BAndHTypedLBlank", "Tab Tab 6 Tab 0 period 0 6 2 Tab Return", 2},
                      KeyboardRow{"ThickBoard", "Tab Tab 6 Tab 0 period 9 Tab Return", 3}),
    kRowName);

// What the desktop sees: an application window of class "tarnvel" that docks can group and show
// with its icon, and message boxes that belong to it (transient for it, so centred on it).
class Desktop : public OnX<ArgumentsRow> {
protected:
    std::string Property(const std::string& id, const std::string& name) const {
        std::string out;
        if (FILE* pipe = popen(("xprop -display " + x.Display() + " -id " + id + " " + name).c_str(), "r")) {
            for (char chunk[256]; std::fgets(chunk, sizeof chunk, pipe) != nullptr;)
                out += chunk;
            pclose(pipe);
        }
        return out;
    }
};

TEST_F(Desktop, TheWindowIsAnApplicationWindowAndBoxesBelongToIt) {
    ASSERT_NO_FATAL_FAILURE(Start({}));
    const std::vector<std::string> main = x.Find("^Circuit Board");
    ASSERT_EQ(main.size(), 1u);
    EXPECT_EQ(Property(main[0], "WM_CLASS"), "WM_CLASS(STRING) = \"tarnvel\", \"tarnvel\"\n");
    EXPECT_NE(Property(main[0], "WM_TRANSIENT_FOR").find("not found"), std::string::npos);
    EXPECT_NE(Property(main[0], "_NET_WM_WINDOW_TYPE").find("_NET_WM_WINDOW_TYPE_NORMAL"), std::string::npos);
    EXPECT_NE(Property(main[0], "_NET_WM_ICON").find("32 x 32"), std::string::npos);

    x.Keys(main[0], "Return"); // the range warning
    std::vector<std::string> box;
    ASSERT_TRUE(WaitUntil([&] { return !(box = x.Find("^" + kBoxTitle + "$")).empty(); }));
    const std::string owner = Property(box[0], "WM_TRANSIENT_FOR");
    std::ostringstream mainHex;
    mainHex << "0x" << std::hex << std::stoul(main[0]) << "\n";
    EXPECT_NE(owner.find(mainHex.str()), std::string::npos) << owner;
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(WaitUntil([&] { return !(box = x.Find("^" + kBoxTitle + "$")).empty(); }));
        x.Keys(box[0], "Return");
        ASSERT_TRUE(WaitUntil([&] { return x.Find("^" + kBoxTitle + "$") != box; }));
    }
    x.Keys(main[0], "Escape");
    ASSERT_TRUE(ExitedWith(app->Wait(), 0));
}

// A component picked and a result calculated by keyboard, under locales with a decimal comma: the
// window must show exactly the pixels it shows in the C locale (a "0,0284" or "C =   0,75" would differ).
TEST(Locale, TheWindowShowsTheSameNumbersInEveryLocale) {
    const char* const locales[] = {"C", "de_DE.UTF-8", "fr_FR.UTF-8"};
    // B, h, L typed; mode list: row 0, then row 1 (the component list opens); back to the list;
    // its first row (Resistor, C = 0.75); Enter calculates: Z = 0.0284.
    const char* const keys = "Tab Tab 6 Tab 0 period 0 6 2 Tab 1 Tab Tab Down Down shift+Tab Down Return";
    XServer x;
    ASSERT_FALSE(x.Display().empty()) << "Xvfb did not start";
    std::string reference;
    for (const char* locale : locales) {
        SCOPED_TRACE(locale);
        auto app =
            StartTarnvel({}, x.Display(), {std::string("LANG=") + locale, std::string("LC_ALL=") + locale});
        std::vector<std::string> main;
        ASSERT_TRUE(WaitUntil([&] { return !(main = x.Find("^Circuit Board")).empty(); }));
        const std::string before = x.Pixels(main[0]);
        x.Keys(main[0], keys);
        // Once the picture is current, every key has been handled: a box would be up by now.
        const std::string after = x.Pixels(main[0]);
        EXPECT_TRUE(x.Find("^" + kBoxTitle + "$").empty()) << "a message box came up";
        ASSERT_FALSE(after.empty());
        EXPECT_NE(after, before) << "no result shown";
        if (reference.empty())
            reference = after;
        else
            EXPECT_TRUE(after == reference) << "the window differs from the C locale's";
        x.Keys(main[0], "Escape");
        ASSERT_TRUE(ExitedWith(app->Wait(), 0));
    }
}

} // namespace
