#include "e2e/saver_test.h"

// A second start while one saver runs (both share the test's runtime folder).
namespace e2e {
namespace {

using SecondInstanceTest = SaverTest;

TEST_F(SecondInstanceTest, EndsAtOnceWhileTheFirstPlaysOn) {
    QProcess* first = startPlayingRed(0);
    ASSERT_TRUE(first);
    QProcess& second = startSaver();
    EXPECT_TRUE(endsCleanlyWithin(second, 5000));
    EXPECT_TRUE(keepsRunningFor(*first, 1000));
}

TEST_F(SecondInstanceTest, RunsWhileAConfigurationWindowIsOpen) {
    QProcess* first = startPlayingRed(1);
    ASSERT_TRUE(first);
    QProcess& second = startSaver();
    EXPECT_TRUE(keepsRunningFor(second, 1500));
    EXPECT_TRUE(keepsRunningFor(*first, 0));
}

}  // namespace
}  // namespace e2e
