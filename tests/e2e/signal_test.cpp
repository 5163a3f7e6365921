#include <signal.h>

#include <QElapsedTimer>
#include <iostream>

#include "e2e/proc_stat.h"
#include "e2e/saver_test.h"

// Signals a session manager or a screen-saver host sends to end the saver.
namespace e2e {
namespace {

// Expected well under half a second; the deadline only keeps a slow machine from failing.
constexpr int kWindowGoneMs = 5000;

struct Ending {
    const char* name;
    int signal;
};

void PrintTo(const Ending& ending, std::ostream* out) {
    *out << ending.name;
}

class EndingSignalTest : public SaverTest, public ::testing::WithParamInterface<Ending> {};

TEST_P(EndingSignalTest, EndsTheSaverWithExitCodeZero) {
    QProcess* saver = startPlayingRed();
    ASSERT_TRUE(saver);
    // The engine runs inside the process: nothing of it could be left behind.
    EXPECT_EQ(childrenOf(saver->processId()), QList<qint64>{});

    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(sendSignal(*saver, GetParam().signal));
    EXPECT_TRUE(endsCleanlyWithin(*saver, kEndsAfterSignalMs));
    std::cout << "[ measured ] " << GetParam().name << " ended the saver after " << clock.elapsed()
              << " ms\n";
    EXPECT_TRUE(
        showsFrame([](const Frame& frame) { return frame.bare; }, "the bare root", kWindowGoneMs));
}

INSTANTIATE_TEST_SUITE_P(Signals, EndingSignalTest,
                         ::testing::Values(Ending{"SIGTERM", SIGTERM}, Ending{"SIGINT", SIGINT},
                                           Ending{"SIGHUP", SIGHUP}),
                         [](const auto& info) { return std::string(info.param.name); });

using KilledSaverTest = SaverTest;

// The X server takes a dead client's windows away; nothing may keep the screen covered.
TEST_F(KilledSaverTest, LeavesNoWindowBehind) {
    QProcess* saver = startPlayingRed();
    ASSERT_TRUE(saver);
    ASSERT_TRUE(sendSignal(*saver, SIGKILL));
    ASSERT_TRUE(saver->waitForFinished(kEndsAfterSignalMs));
    EXPECT_TRUE(
        showsFrame([](const Frame& frame) { return frame.bare; }, "the bare root", kWindowGoneMs));
}

}  // namespace
}  // namespace e2e
