#include <gtest/gtest.h>

#include "settings/entry.h"

using settings::entryTail;
using settings::sizeModeForWord;
using settings::splitEntry;

struct SplitCase {
    const char* entry;
    const char* path;
    const char* modeWord;  // nullptr: no mode word
};

class SplitEntryTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitEntryTest, SplitsIntoPathAndModeWord) {
    const SplitCase& c = GetParam();
    const settings::SplitEntry split = splitEntry(QString::fromUtf8(c.entry));
    EXPECT_EQ(split.path, QString::fromUtf8(c.path));
    if (c.modeWord) {
        ASSERT_TRUE(split.modeWord.has_value());
        EXPECT_EQ(*split.modeWord, QString::fromUtf8(c.modeWord));
    } else {
        EXPECT_FALSE(split.modeWord.has_value()) << qPrintable(*split.modeWord);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Entries, SplitEntryTest,
    ::testing::Values(SplitCase{"/clips/intro.avi (Double)", "/clips/intro.avi", "Double"},
                      SplitCase{"/clips (old)/a.avi (Double)", "/clips (old)/a.avi", "Double"},
                      SplitCase{"/clips/a (1).avi (Origin)", "/clips/a (1).avi", "Origin"},
                      SplitCase{"/clips/a.avi (origin)", "/clips/a.avi", "origin"},
                      SplitCase{"/clips/a.avi ()", "/clips/a.avi", ""},
                      SplitCase{"/clips/Old (2019)/a.avi", "/clips/Old (2019)/a.avi", nullptr},
                      SplitCase{"/clips/a.avi(Double)", "/clips/a.avi(Double)", nullptr},
                      SplitCase{"/clips/a.avi (Double", "/clips/a.avi (Double", nullptr},
                      SplitCase{"/clips/a.avi", "/clips/a.avi", nullptr},
                      SplitCase{"(Double)", "(Double)", nullptr},
                      SplitCase{" (Double)", "", "Double"},
                      SplitCase{"/日本/ü é.avi (Origin)", "/日本/ü é.avi", "Origin"},
                      SplitCase{"", "", nullptr}));

TEST(EntryTail, IsTheTextAfterTheLastParenthesis) {
    EXPECT_EQ(entryTail("/clips (old)/a.avi (Double)"), "Double)");
    EXPECT_EQ(entryTail("/clips/a.avi ()"), ")");
    EXPECT_EQ(entryTail("/clips/a.avi ("), "");
    EXPECT_EQ(entryTail("/clips/a.avi"), "/clips/a.avi");
}

TEST(SizeModeForWord, KnowsOnlyTheThreeWordsExactly) {
    EXPECT_EQ(sizeModeForWord("Origin"), 0);
    EXPECT_EQ(sizeModeForWord("Double"), 1);
    EXPECT_EQ(sizeModeForWord("Fit"), 2);
    for (const char* other : {"origin", "DOUBLE", "Double ", " Origin", "", "Triple", "fit"})
        EXPECT_FALSE(sizeModeForWord(other).has_value()) << other;
}

TEST(SizeModeForEntry, WithoutAModeWordItIsTheOwnSizeWithAnOtherWordNone) {
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"/clips/a.avi (Origin)", 0},
        {"/clips/a.avi (Double)", 1},
        {"/clips/a.avi", 0},
        {"/clips/Old (2019)/a.avi", 0},
        {"/clips/a.avi (Double", 0},
        {"/clips/a.avi (origin)", std::nullopt},
        {"/clips/a.avi ()", std::nullopt},
        {"/clips/clip (1)", std::nullopt},
    };
    for (const auto& [entry, mode] : cases)
        EXPECT_EQ(settings::sizeModeForEntry(entry), mode) << entry;
}
