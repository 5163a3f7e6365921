#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScopeGuard>
#include <QScreen>
#include <csignal>
#include <iostream>

#include "e2e/saver_test.h"
#include "e2e/x_client.h"
#include "e2e/xorg_screens.h"
#include "support/store_file.h"

// Two monitors, each covered by a window of the saver: what plays on each, how they follow a
// change of the monitors, and that every way out works from either of them.
namespace e2e {
namespace {

// The pointer watch looks once a second.
constexpr int kEndsAfterMoveMs = 2500;
const ClipSpec kRed{"red.avi", "0xff0000", QSize(320, 240), 3.0};
const ClipSpec kGreen{"green.avi", "0x00ff00", QSize(200, 150), 3.0};

struct Screens {
    Frame primary;
    Frame second;
};

std::ostream& operator<<(std::ostream& out, const Screens& screens) {
    return out << "primary " << screens.primary << "; second " << screens.second;
}

class TwoScreensTest : public SaverTest {
protected:
    void SetUp() override {
        if (!twoScreensUnavailable().isEmpty())
            GTEST_SKIP() << "no two-screen X server: " << twoScreensUnavailable().toStdString();
        QList<QRect> screens;
        for (const QScreen* screen : QGuiApplication::screens()) screens << screen->geometry();
        ASSERT_EQ(screens, QList<QRect>({kPrimaryScreen, kSecondScreen}));
        ASSERT_TRUE(x_.connected());
    }

    // A monitor showing a picture of that clip's colour centred on it, or, for no clip, black.
    static bool shows(const Frame& frame, const QRect& monitor, const ClipSpec* clip) {
        if (!clip) return frame.covered && frame.picture.isEmpty();
        const Colour colour = clip == &kRed ? Colour::Red : Colour::Green;
        return frame.covered && frame.colour == colour &&
               nearlyEqual(frame.picture, centredBox(monitor, clip->size));
    }

    QProcess& startWith(const QList<ClipSpec>& clips, const char* monitors) {
        QStringList entries;
        for (const ClipSpec& wanted : clips) entries << clip(wanted) + " (Origin)";
        writePlayList(entries);
        testsupport::writeStoreFile(testsupport::readStoreFile() + "Monitors=" + monitors + "\n");
        return startSaver();
    }

    // Both monitors as the X server has them (Qt's grab sees one screen at a time); the grab
    // starts at 0, 0 and may not reach beyond the screen.
    Screens grabScreens(const QRect& primary = kPrimaryScreen,
                        const std::optional<QRect>& second = kSecondScreen) {
        const QImage root = x_.grab(second ? primary.united(*second) : primary);
        return {analyseArea(root, primary), second ? analyseArea(root, *second) : Frame{}};
    }

    bool showBoth(const std::function<bool(const Frame&, const Frame&)>& wanted, int timeoutMs,
                  Screens* last) {
        return eventually(
            [&] {
                *last = grabScreens();
                return wanted(last->primary, last->second);
            },
            timeoutMs);
    }

    ::testing::AssertionResult bothPlayRed() {
        Screens seen;
        if (showBoth(
                [](const Frame& primary, const Frame& second) {
                    return shows(primary, kPrimaryScreen, &kRed) &&
                           shows(second, kSecondScreen, &kRed);
                },
                10000, &seen))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << seen;
    }

    // The saver's windows as the X server lists them.
    std::vector<xcb_window_t> saverWindows() {
        std::vector<xcb_window_t> windows;
        for (const xcb_window_t window : x_.mappedTopLevels())
            if (x_.title(window) == "flickerdeck") windows.push_back(window);
        return windows;
    }

    XClient x_;
};

struct Layout {
    const char* monitors;
    const ClipSpec* primary;  // null: black
    const ClipSpec* second;
};

void PrintTo(const Layout& layout, std::ostream* out) {
    *out << layout.monitors;
}

class LayoutTest : public TwoScreensTest, public ::testing::WithParamInterface<Layout> {};

TEST_P(LayoutTest, EachMonitorBeginsWithItsEntryCentredAndAKeyEndsTheSaver) {
    QProcess& saver = startWith({kRed, kGreen}, GetParam().monitors);
    ASSERT_FALSE(HasFailure());
    Screens seen;
    EXPECT_TRUE(showBoth(
        [&](const Frame& primary, const Frame& second) {
            return shows(primary, kPrimaryScreen, GetParam().primary) &&
                   shows(second, kSecondScreen, GetParam().second);
        },
        10000, &seen))
        << seen;
    EXPECT_EQ(saverWindows().size(), 2U);
    ASSERT_TRUE(xdotool({"key", "a"}));
    EXPECT_TRUE(endsCleanlyWithin(saver, 3000));
    EXPECT_TRUE(
        showBoth([](const Frame& a, const Frame& b) { return a.bare && b.bare; }, 5000, &seen))
        << "after the saver: " << seen;
}

INSTANTIATE_TEST_SUITE_P(Monitors, LayoutTest,
                         ::testing::Values(Layout{"Each", &kRed, &kGreen},
                                           Layout{"Same", &kRed, &kRed},
                                           Layout{"Primary", &kRed, nullptr}),
                         [](const auto& info) { return std::string(info.param.monitors); });

TEST_F(TwoScreensTest, ThePointerIsParkedOnThePrimaryAndWatchedOnEveryMonitor) {
    ASSERT_TRUE(xdotool({"mousemove", "1800", "300"}));
    QProcess& saver = startWith({kRed}, "Each");
    ASSERT_TRUE(bothPlayRed());
    const QPoint parked = kPrimaryScreen.bottomRight() - QPoint(1, 1);
    ASSERT_TRUE(waitForPointer(parked, 5000)) << pointer().value_or(QPoint(-1, -1));
    ASSERT_TRUE(keepsRunningFor(saver, 1200));
    ASSERT_TRUE(xdotool({"mousemove", "1800", "400"}));
    EXPECT_TRUE(endsCleanlyWithin(saver, kEndsAfterMoveMs));
}

// Both monitors show the same movies in the same order, neither ever a movie ahead of the other.
TEST_F(TwoScreensTest, SameChangesMovieOnBothMonitorsTogether) {
    const ClipSpec blue{"blue.avi", "0x0000ff", QSize(240, 180), 1.0};
    QProcess& saver = startWith({kShortRed, kShortGreen, blue}, "Same");
    ASSERT_FALSE(HasFailure());
    std::vector<Colour> seen[2];
    QElapsedTimer clock;
    clock.start();
    qint64 changedAt[2] = {0, 0}, widest = 0;
    // Either monitor may be the one a grab catches a moment before the other.
    const auto fewest = [&] { return std::min(seen[0].size(), seen[1].size()); };
    while (fewest() < 7 && clock.elapsed() < 30000 && saver.state() == QProcess::Running) {
        const QPoint centres[] = {kPrimaryScreen.center(), kSecondScreen.center()};
        const QImage root = x_.grab(kPrimaryScreen.united(kSecondScreen));
        for (int monitor = 0; monitor < 2; ++monitor) {
            const Colour colour = analyseArea(root, QRect(centres[monitor], QSize(8, 8))).colour;
            if (colour == Colour::Black ||
                (!seen[monitor].empty() && seen[monitor].back() == colour))
                continue;
            seen[monitor].push_back(colour);
            changedAt[monitor] = clock.elapsed();
        }
        ASSERT_LE(std::abs(int(seen[0].size()) - int(seen[1].size())), 1) << "one monitor ahead";
        if (seen[0].size() == seen[1].size())
            widest = std::max(widest, std::abs(changedAt[0] - changedAt[1]));
    }
    ASSERT_GE(fewest(), 7U);
    seen[0].resize(7);
    seen[1].resize(7);
    EXPECT_EQ(seen[0], seen[1]);
    std::cout << "[ measured ] widest gap between the monitors' changes: " << widest << " ms\n";
    ASSERT_TRUE(sendSignal(saver, SIGTERM));
    EXPECT_TRUE(endsCleanlyWithin(saver, kEndsAfterSignalMs));
}

// A monitor switched off and on, or given another mode, is covered again with its movie
// centred; the pointer the X server moves off a shrinking monitor does not end the saver.
TEST_F(TwoScreensTest, FollowsMonitorsThatGoComeAndChangeSize) {
    const struct {
        QStringList xrandr;
        QRect primary;
        std::optional<QRect> second;
    } steps[] = {
        {{"--output", "DUMMY1", "--off"}, kPrimaryScreen, std::nullopt},
        {{"--output", "DUMMY1", "--mode", "1024x768_60", "--right-of", "DUMMY0"},
         kPrimaryScreen,
         kSecondScreen},
        {{"--output", "DUMMY0", "--mode", "1024x768"}, QRect(0, 0, 1024, 768), kSecondScreen},
        {{"--output", "DUMMY0", "--mode", "1280x960"}, kPrimaryScreen, kSecondScreen},
    };
    const ClipSpec longRed{"red.avi", "0xff0000", QSize(320, 240), 30.0};
    QProcess& saver = startWith({longRed}, "Each");
    const auto restore = qScopeGuard([] { restoreTwoScreens(); });
    ASSERT_TRUE(bothPlayRed());
    Screens seen;
    for (const auto& step : steps) {
        ASSERT_EQ(xrandr(step.xrandr).toStdString(), "");
        EXPECT_TRUE(eventually(
            [&] {
                seen = grabScreens(step.primary, step.second);
                return shows(seen.primary, step.primary, &kRed) &&
                       (!step.second || shows(seen.second, *step.second, &kRed));
            },
            10000))
            << step.xrandr.join(' ').toStdString() << ": " << seen;
        EXPECT_TRUE(keepsRunningFor(saver, 1500)) << step.xrandr.join(' ').toStdString();
    }
    ASSERT_TRUE(xdotool({"key", "a"}));
    EXPECT_TRUE(endsCleanlyWithin(saver, 3000));
}

// As a host's saver ends when its window goes: one window of ours destroyed by another client,
// or our connection to the X server killed, ends the whole saver with status 0.
TEST_F(TwoScreensTest, AWindowDestroyedByAnotherClientEndsTheSaverCleanly) {
    for (const bool killClient : {false, true}) {
        QProcess& saver = startWith({kRed}, "Each");
        // While it plays: gone in the moment before the first picture, libmpv aborts instead.
        ASSERT_TRUE(bothPlayRed());
        const std::vector<xcb_window_t> windows = saverWindows();
        ASSERT_EQ(windows.size(), 2u);
        const xcb_window_t window = windows.back();
        if (killClient)
            ASSERT_TRUE(xdotool({"windowkill", QString::number(window)}));
        else
            ASSERT_TRUE(x_.destroyWindow(window));
        EXPECT_TRUE(endsCleanlyWithin(saver, kEndsAfterSignalMs)) << "killed: " << killClient;
    }
}

}  // namespace
}  // namespace e2e
