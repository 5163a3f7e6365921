#include <signal.h>

#include "e2e/saver_test.h"
#include "e2e/x_client.h"

// A screen-saver host hands the saver a window of its own to play in; the host keeps the pointer
// and the keyboard and ends the saver with a signal.
namespace e2e {
namespace {

const QRect kHost(100, 50, 640, 480);
constexpr quint32 kWhite = 0xffffff;
const QPoint kPointerAway(20, 20);

struct HandOver {
    const char* name;
    bool inEnvironment;  // XSCREENSAVER_WINDOW in decimal, else --window-id in hexadecimal
};

void PrintTo(const HandOver& handOver, std::ostream* out) {
    *out << handOver.name;
}

class HostedTest : public SaverTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(x_.connected());
        // White like the root, so a part of it the saver leaves uncovered shows.
        host_ = x_.createWindow(kHost, kWhite);
        ASSERT_NE(host_, XCB_NONE);
    }

    QProcess& startHosted(bool inEnvironment) {
        if (inEnvironment)
            return startSaver({}, {QStringLiteral("XSCREENSAVER_WINDOW=%1").arg(host_)});
        return startSaver({"--window-id", QStringLiteral("0x%1").arg(host_, 0, 16)});
    }

    XClient x_;
    xcb_window_t host_ = XCB_NONE;
};

class HandOverTest : public HostedTest, public ::testing::WithParamInterface<HandOver> {};

TEST_P(HandOverTest, PlaysCentredInTheHostWindowAndLeavesThePointerAlone) {
    writePlayList({clip(kRedClip) + " (Origin)"});
    ASSERT_FALSE(HasFailure());
    ASSERT_TRUE(xdotool(
        {"mousemove", QString::number(kPointerAway.x()), QString::number(kPointerAway.y())}));
    QProcess& saver = startHosted(GetParam().inEnvironment);

    EXPECT_TRUE(showsPicture(Colour::Red, centredBox(kHost, kRedClip.size), 10000, kHost));
    EXPECT_EQ(x_.mappedTopLevels(), std::vector<xcb_window_t>{host_})
        << "the saver has a window of its own on the screen";
    EXPECT_TRUE(grabFrame(QRect(0, 0, kHost.x(), kScreen.height())).bare)
        << "the saver drew outside the host window";
    EXPECT_EQ(pointer(), kPointerAway) << "the saver moved the host's pointer";

    ASSERT_TRUE(xdotool({"mousemove", "400", "300"}));
    ASSERT_TRUE(xdotool({"mousemove_relative", "--", "1", "1"}));
    EXPECT_TRUE(keepsRunningFor(saver, 2000));
    EXPECT_TRUE(showsPicture(Colour::Red, centredBox(kHost, kRedClip.size), 10000, kHost));

    ASSERT_TRUE(sendSignal(saver, SIGTERM));
    EXPECT_TRUE(endsCleanlyWithin(saver, kEndsAfterSignalMs));
}

INSTANTIATE_TEST_SUITE_P(Hosts, HandOverTest,
                         ::testing::Values(HandOver{"WindowIdOption", false},
                                           HandOver{"EnvironmentVariable", true}),
                         [](const auto& info) { return std::string(info.param.name); });

using StoppedSaverTest = HostedTest;

// Hosts stop the saver while they ask for a password and let it go on afterwards.
TEST_F(StoppedSaverTest, PlaysOnAfterSigcont) {
    const ClipSpec red{"red.avi", "0xff0000", QSize(320, 240), 1.5};
    const ClipSpec green{"green.avi", "0x00ff00", QSize(200, 150), 1.5};
    writePlayList({clip(red) + " (Origin)", clip(green) + " (Origin)"});
    ASSERT_FALSE(HasFailure());
    QProcess& saver = startHosted(false);
    ASSERT_TRUE(showsPicture(Colour::Red, centredBox(kHost, red.size), 10000, kHost));

    ASSERT_TRUE(sendSignal(saver, SIGSTOP));
    // Longer than the clip: when the process goes on, its clock has jumped past the end.
    pause(2000);
    ASSERT_TRUE(sendSignal(saver, SIGCONT));

    EXPECT_TRUE(showsPicture(Colour::Green, centredBox(kHost, green.size), 10000, kHost));
    EXPECT_TRUE(keepsRunningFor(saver, 0));
    ASSERT_TRUE(sendSignal(saver, SIGTERM));
    EXPECT_TRUE(endsCleanlyWithin(saver, kEndsAfterSignalMs));
}

}  // namespace
}  // namespace e2e
