#include <gtest/gtest.h>

#include <QSet>

#include "settings/chooser_selection.h"
#include "settings/entry_check.h"
#include "settings/size_rules.h"
#include "settings/window_layout.h"

using settings::layoutFor;
using settings::WindowLayout;

TEST(WindowLayout, FollowsTheInnerSizeDownToItsSmallest) {
    EXPECT_EQ(layoutFor(4950, 4290, false, 1575, 480),
              (WindowLayout{4950, 3780, 4950, 3375, 2880}));
    EXPECT_EQ(layoutFor(3150, 4290, false, 1575, 480),
              (WindowLayout{3150, 3780, 3150, 1575, 1080}));
    EXPECT_EQ(layoutFor(1000, 4290, false, 1575, 480),
              (WindowLayout{3150, 3780, 3150, 1575, 1080}));
    EXPECT_EQ(layoutFor(4950, 510, false, 1575, 480).value().listHeight, 0);
    EXPECT_EQ(layoutFor(4950, 100, false, 1575, 480).value().listHeight, 0);
    EXPECT_EQ(layoutFor(0, 0, false, 1575, 480), (WindowLayout{3150, 0, 3150, 1575, 1080}));
    EXPECT_FALSE(layoutFor(4950, 4290, true, 1575, 480).has_value());
}

// 2560 pixels are 38400 twips: a wrapped 16-bit value would be negative and squash the layout.
TEST(WindowLayout, AWindowBeyondSixteenBitsKeepsTheLargestLayout) {
    EXPECT_EQ(layoutFor(38400, 21600, false, 1575, 480),
              (WindowLayout{32767, 21090, 32767, 31192, 30697}));
}

TEST(SizeRules, TheSizeListShowsTheTailWithoutItsLastCharacter) {
    EXPECT_EQ(settings::shownModeWord("/c/a.avi (Double)"), "Double");
    EXPECT_EQ(settings::shownModeWord("/c (old)/a.avi (Origin)"), "Origin");
    EXPECT_EQ(settings::shownModeWord("/c/a.avi (origin)"), "origin");
    EXPECT_FALSE(settings::shownModeWord("/c/a.avi ()").has_value());
    EXPECT_FALSE(settings::shownModeWord("/c/a.avi (").has_value());
}

TEST(SizeRules, PickingASizeRewritesOnlyTheModeWord) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"/c/a.avi (Double)", "Origin", "/c/a.avi (Origin)"},
        {"/c/a.avi (Origin)", "Origin", "/c/a.avi (Origin)"},
        {"/c (old)/a (1).avi (Origin)", "Double", "/c (old)/a (1).avi (Double)"},
        {"/c/a.avi ()", "Double", "/c/a.avi (Double)"},
        {"/c/a.avi (", "Origin", "/c/a.avi (Origin)"},
        {"/c/a.avi", "Double", "/c/a.avi (Double)"},
        {"/c/Old (2019)/a.avi", "Double", "/c/Old (2019)/a.avi (Double)"},
        {"/c/a.avi (Double", "Origin", "/c/a.avi (Double (Origin)"},
        {"/c/a.avi (Origin)", " Double ", "/c/a.avi (Double)"},
    };
    for (const auto& [entry, word, expected] : cases)
        EXPECT_EQ(settings::withModeWord(entry, word), expected) << entry;
}

TEST(SizeNote, MarksAPictureTheScreenCutsOffAtTheEntrysSize) {
    const QSize screen(1920, 1080);
    const std::tuple<const char*, std::optional<QSize>, bool> cases[] = {
        {"/a.mp4 (Origin)", QSize(1080, 1920), true},  // a phone's portrait
        {"/a.mp4 (Origin)", QSize(1920, 1080), false},
        {"/a.mp4", QSize(3840, 2160), true},  // no word: its own size
        {"/a.mp4 (Double)", QSize(960, 540), false},
        {"/a.mp4 (Double)", QSize(961, 540), true},
        {"/a.mp4 (Fit)", QSize(3840, 2160), false},
        {"/a.mp4 (fit)", QSize(3840, 2160), false},  // keeps the size before it: unknown
        {"/a.mp4 (Origin)", std::nullopt, false},
    };
    for (const auto& [entry, picture, cut] : cases)
        EXPECT_EQ(!settings::sizeNote(entry, picture, screen).isEmpty(), cut) << entry;
    EXPECT_EQ(settings::sizeNote("/a.mp4 (Origin)", QSize(3840, 2160), std::nullopt), "");
}

namespace {
QString nul(const char* text) {
    return QString::fromUtf8(text).replace(u'|', QChar(u'\0'));
}
QStringList entries(const QString& selection, QSet<QString> folders = {}) {
    return settings::entriesFromSelection(selection,
                                          [&](const QString& p) { return folders.contains(p); });
}
}  // namespace

TEST(ChooserSelection, TurnsTheChoiceIntoEntries) {
    EXPECT_EQ(entries(""), QStringList());
    EXPECT_EQ(entries("   "), QStringList());
    EXPECT_EQ(entries(nul("/clips/intro.avi||")), QStringList{"/clips/intro.avi (Origin)"});
    EXPECT_EQ(
        entries(nul("/clips|a.avi|b.avi|c.avi||"), {"/clips"}),
        (QStringList{"/clips/a.avi (Origin)", "/clips/b.avi (Origin)", "/clips/c.avi (Origin)"}));
    EXPECT_EQ(entries(nul("/|a.avi|b.avi||"), {"/"}),
              (QStringList{"/a.avi (Origin)", "/b.avi (Origin)"}));
    EXPECT_EQ(entries(nul("/clips/|a.avi||"), {"/clips/"}), QStringList{"/clips/a.avi (Origin)"});
}

TEST(ChooserSelection, KeepsNamesExactlyAndIgnoresWhatFollowsTheEnd) {
    EXPECT_EQ(
        entries(nul("/c| lead.avi|trail.avi |日本 é.avi||junk|more||"), {"/c"}),
        (QStringList{"/c/ lead.avi (Origin)", "/c/trail.avi  (Origin)", "/c/日本 é.avi (Origin)"}));
    EXPECT_EQ(entries(nul("/c/(x) a.avi||")), QStringList{"/c/(x) a.avi (Origin)"});
}

// A full path after a folder resets the folder for the names that follow it.
TEST(ChooserSelection, AFullPathResetsTheFolder) {
    EXPECT_EQ(entries(nul("/c|a.avi|/d/b.avi|e.avi||"), {"/c"}),
              (QStringList{"/c/a.avi (Origin)", "/d/b.avi (Origin)", "e.avi (Origin)"}));
}
