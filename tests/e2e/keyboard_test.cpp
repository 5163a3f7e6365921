#include "e2e/saver_test.h"

// Keys that type a character end the saver; other keys and clicks leave it playing.
namespace e2e {
namespace {

constexpr int kEndsAfterKeyMs = 3000;

using KeyboardTest = SaverTest;

class CharacterKeyTest : public SaverTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(CharacterKeyTest, EndsTheSaver) {
    QProcess* saver = startPlayingRed();
    ASSERT_TRUE(saver);
    ASSERT_TRUE(xdotool({"key", GetParam()}));
    EXPECT_TRUE(endsCleanlyWithin(*saver, kEndsAfterKeyMs));
}

INSTANTIATE_TEST_SUITE_P(Keys, CharacterKeyTest,
                         ::testing::Values("a", "Return", "space", "Escape"),
                         [](const auto& info) { return std::string(info.param); });

TEST_F(KeyboardTest, KeysThatTypeNothingAndClicksLeaveItPlaying) {
    QProcess* saver = startPlayingRed();
    ASSERT_TRUE(saver);
    const QStringList inputs[] = {
        {"key", "Shift_L"}, {"key", "Right"}, {"key", "F5"}, {"click", "1"}};
    for (const QStringList& input : inputs) {
        ASSERT_TRUE(xdotool(input));
        ASSERT_TRUE(keepsRunningFor(*saver, 500)) << "after " << input.join(' ').toStdString();
    }
    EXPECT_TRUE(keepsRunningFor(*saver, 1500));
    EXPECT_TRUE(showsPicture(Colour::Red, kRedBox));

    // The way the keys came in still works.
    ASSERT_TRUE(xdotool({"key", "a"}));
    EXPECT_TRUE(endsCleanlyWithin(*saver, kEndsAfterKeyMs));
}

}  // namespace
}  // namespace e2e
