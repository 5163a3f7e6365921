#include <signal.h>

#include "e2e/saver_test.h"
#include "e2e/x_client.h"
#include "support/clips.h"
#include "support/store_file.h"

// A screen-saver host hands the saver a window of its own to play in; the host keeps the pointer
// and the keyboard and ends the saver with a signal.
namespace e2e {
namespace {

// A preview: 0.625 of the screen both ways.
const QRect kHost(100, 50, 640, 480);
constexpr quint32 kWhite = 0xffffff;
const QPoint kPointerAway(20, 20);

struct HandOver {
    const char* name;
    bool inEnvironment;  // XSCREENSAVER_WINDOW in decimal, else --window-id in hexadecimal
    QRect host;
    double scale;  // of the full-screen view
};

void PrintTo(const HandOver& handOver, std::ostream* out) {
    *out << handOver.name;
}

class HostedTest : public SaverTest {
protected:
    void makeHost(const QRect& area) {
        ASSERT_TRUE(x_.connected());
        // White like the root, so a part of it the saver leaves uncovered shows.
        host_ = x_.createWindow(area, kWhite);
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

// The red clip with its left quarter green: a picture cut down to a smaller window instead of
// scaled down would show no green.
TEST_P(HandOverTest, PlaysTheFullScreenViewScaledToTheHostWindowAndLeavesThePointerAlone) {
    const HandOver& handOver = GetParam();
    makeHost(handOver.host);
    ASSERT_FALSE(HasFailure());
    const QString path = clipFolder() + "/marked.avi";
    ASSERT_TRUE(testsupport::runFfmpeg(
        {"-f", "lavfi", "-i",
         "color=c=red:s=320x240:d=2.5:r=25,drawbox=w=80:h=240:c=0x00ff00:t=fill", "-c:v", "mpeg4",
         "-q:v", "2", path}));
    writePlayList({path + " (Origin)"});
    ASSERT_TRUE(xdotool(
        {"mousemove", QString::number(kPointerAway.x()), QString::number(kPointerAway.y())}));
    QProcess& saver = startHosted(handOver.inEnvironment);

    const QRect box = centredBox(handOver.host, kRedClip.size * handOver.scale);
    EXPECT_TRUE(showsPicture(Colour::Red, box, 10000, handOver.host));
    const QRect leftQuarter(box.x() + 2, box.y() + 2, box.width() / 4 - 4, box.height() - 4);
    EXPECT_EQ(grabFrame(leftQuarter).colour, Colour::Green) << "the picture is not scaled";
    EXPECT_EQ(x_.mappedTopLevels(), std::vector<xcb_window_t>{host_})
        << "the saver has a window of its own on the screen";
    if (handOver.host.x() > 0) {
        EXPECT_TRUE(grabFrame(QRect(0, 0, handOver.host.x(), kScreen.height())).bare)
            << "the saver drew outside the host window";
    }
    EXPECT_EQ(pointer(), kPointerAway) << "the saver moved the host's pointer";

    ASSERT_TRUE(xdotool({"mousemove", "400", "300"}));
    ASSERT_TRUE(xdotool({"mousemove_relative", "--", "1", "1"}));
    EXPECT_TRUE(keepsRunningFor(saver, 2000));
    EXPECT_TRUE(showsPicture(Colour::Red, box, 10000, handOver.host));

    ASSERT_TRUE(sendSignal(saver, SIGTERM));
    EXPECT_TRUE(endsCleanlyWithin(saver, kEndsAfterSignalMs));
}

INSTANTIATE_TEST_SUITE_P(Hosts, HandOverTest,
                         ::testing::Values(HandOver{"WindowIdOption", false, kHost, 0.625},
                                           HandOver{"EnvironmentVariable", true, kScreenArea, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

// A host may resize its window rather than start the saver again (XScreenSaver after a change
// of mode): the picture is centred in the new size, and the next movie sized for it.
TEST_F(HostedTest, FollowsItsWindowToANewSize) {
    writePlayList({clip(kShortRed) + " (Origin)"});
    makeHost(kHost);
    ASSERT_FALSE(HasFailure());
    QProcess& saver = startHosted(false);
    ASSERT_TRUE(showsPicture(Colour::Red, centredBox(kHost, kShortRed.size * 0.625), 10000, kHost));
    const QRect resized(kHost.topLeft(), kScreen);  // as large as its monitor: no preview now
    ASSERT_TRUE(xdotool({"windowsize", QString::number(host_), "1024", "768"}));
    EXPECT_TRUE(showsPicture(Colour::Red, centredBox(resized, kShortRed.size), 10000,
                             resized & kScreenArea));
    ASSERT_TRUE(sendSignal(saver, SIGTERM));
    EXPECT_TRUE(endsCleanlyWithin(saver, kEndsAfterSignalMs));
}

using StoppedSaverTest = HostedTest;

// Hosts stop the saver while they ask for a password and let it go on afterwards.
TEST_F(StoppedSaverTest, PlaysOnAfterSigcont) {
    const ClipSpec red{"red.avi", "0xff0000", QSize(320, 240), 1.5};
    const ClipSpec green{"green.avi", "0x00ff00", QSize(200, 150), 1.5};
    writePlayList({clip(red) + " (Origin)", clip(green) + " (Origin)"});
    makeHost(kScreenArea);
    ASSERT_FALSE(HasFailure());
    QProcess& saver = startHosted(false);
    ASSERT_TRUE(showsPicture(Colour::Red, centredBox(kScreenArea, red.size)));

    ASSERT_TRUE(sendSignal(saver, SIGSTOP));
    // Longer than the clip: when the process goes on, its clock has jumped past the end.
    pause(2000);
    ASSERT_TRUE(sendSignal(saver, SIGCONT));

    EXPECT_TRUE(showsPicture(Colour::Green, centredBox(kScreenArea, green.size)));
    EXPECT_TRUE(keepsRunningFor(saver, 0));
    ASSERT_TRUE(sendSignal(saver, SIGTERM));
    EXPECT_TRUE(endsCleanlyWithin(saver, kEndsAfterSignalMs));
}

// A host starts a saver that ends again at once, over and over: on an empty list the saver in
// its window stays, black, and plays as soon as the list has an entry.
TEST_F(HostedTest, OnAnEmptyListStaysAndPlaysTheFirstMovieAdded) {
    writePlayList({});
    makeHost(kScreenArea);
    ASSERT_FALSE(HasFailure());
    QProcess& saver = startHosted(false);
    EXPECT_TRUE(keepsRunningFor(saver, 3000));
    writePlayList({clip(kShortRed) + " (Origin)"});
    EXPECT_TRUE(showsPicture(Colour::Red, centredBox(kScreenArea, kShortRed.size)));
    ASSERT_TRUE(sendSignal(saver, SIGTERM));
    EXPECT_TRUE(endsCleanlyWithin(saver, kEndsAfterSignalMs));
}

struct Restart {
    const char* name;
    // In a host's window, ended by a signal (SIGTERM with the window destroyed, as hosts do);
    // 0: full screen with Resume, ended by a key.
    int ending;
    int gapMs;
    bool stateUnwritable;
    bool goesOn;  // with the movie where it was; else from the first entry
};

void PrintTo(const Restart& restart, std::ostream* out) {
    *out << restart.name;
}

class RestartTest : public HostedTest, public ::testing::WithParamInterface<Restart> {
protected:
    QProcess& start(const QStringList& environment) {
        if (!GetParam().ending) return startSaver({"/S"}, environment);
        makeHost(kScreenArea);
        return startSaver({"--window-id", QString::number(host_)}, environment);
    }
};

// A saver ended about 8 s into a movie, and another started after it.
TEST_P(RestartTest, GoesOnWithTheMovieRightAfterTheLastSaverOrWithResume) {
    const Restart& restart = GetParam();
    const QString ramp = rampClip("ramp.avi", 20);
    writePlayList({clip(kShortBlue) + " (Origin)", ramp + " (Origin)"});
    if (!restart.ending) testsupport::writeStoreFile(testsupport::readStoreFile() + "Resume=1\n");
    const QStringList environment{"XDG_STATE_HOME=" +
                                  (restart.stateUnwritable ? ramp : clipFolder() + "/state")};
    QProcess& first = start(environment);
    const auto endedAt = waitForRamp(20, 8);
    ASSERT_TRUE(endedAt);
    ASSERT_TRUE(restart.ending ? sendSignal(first, restart.ending) : xdotool({"key", "a"}));
    if (restart.ending == SIGTERM) x_.destroyWindow(host_);
    EXPECT_TRUE(restart.ending == SIGKILL ? first.waitForFinished(kEndsAfterSignalMs)
                                          : endsCleanlyWithin(first, kEndsAfterSignalMs));
    pause(restart.gapMs);
    QProcess& next = start(environment);
    const auto shown = firstPicture();
    ASSERT_TRUE(shown);
    const double at = rampSeconds(*shown, 20).value_or(-9);
    EXPECT_TRUE(restart.goesOn ? at >= *endedAt - 1.5 && at <= *endedAt + 3
                               : shown->colour == Colour::Blue)
        << "ended at " << *endedAt << ", then showed " << *shown << " (" << at << " s)";
    ASSERT_TRUE(sendSignal(next, SIGTERM));
    EXPECT_TRUE(endsCleanlyWithin(next, kEndsAfterSignalMs));
}

INSTANTIATE_TEST_SUITE_P(Restarts, RestartTest,
                         ::testing::Values(Restart{"HalfASecondLater", SIGTERM, 500, false, true},
                                           Restart{"AfterSigkill", SIGKILL, 500, false, true},
                                           Restart{"TwelveSecondsLater", SIGTERM, 12000, false,
                                                   false},
                                           Restart{"StateUnwritable", SIGTERM, 500, true, false},
                                           Restart{"ResumeAfterAKey", 0, 12000, false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
