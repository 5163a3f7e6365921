#include <signal.h>

#include <QElapsedTimer>
#include <iostream>
#include <optional>

#include "e2e/saver_test.h"
#include "e2e/x_client.h"

// A screen-saver host ends its saver by sending SIGTERM and destroying the window it handed out,
// at about the same moment and in either order. Every round must end with exit status 0, never by
// a signal or an X error, whatever the engine was drawing at the time.
namespace e2e {
namespace {

enum class Step { Signal, Destroy };

struct Round {
    Step first;
    std::optional<Step> second;
    int delayMs;  // between the two
};

struct HostEnding {
    const char* name;
    std::vector<Round> rounds;  // each played kRepeats times
};

void PrintTo(const HostEnding& ending, std::ostream* out) {
    *out << ending.name;
}

constexpr int kRepeats = 5;
// Short clips of two sizes: the engine sets up its window anew every second.
const ClipSpec kQuickRed{"red.avi", "0xff0000", QSize(320, 240), 0.4};
const ClipSpec kQuickGreen{"green.avi", "0x00ff00", QSize(200, 150), 0.4};

class HostEndTest : public SaverTest, public ::testing::WithParamInterface<HostEnding> {
protected:
    bool plays(const QRect& host) {
        const QPoint centre = host.center();
        const Frame frame = analyseFrame(x_.grab(QRect(centre - QPoint(2, 2), QSize(4, 4))));
        return frame.colour == Colour::Red || frame.colour == Colour::Green;
    }

    bool take(Step step, QProcess& saver, xcb_window_t host) {
        if (step == Step::Destroy) return x_.destroyWindow(host);
        // Already gone by the first step is as good.
        return saver.waitForFinished(0) || sendSignal(saver, SIGTERM);
    }

    XClient x_;
};

TEST_P(HostEndTest, EveryRoundEndsWithStatusZero) {
    writePlayList({clip(kQuickRed) + " (Origin)", clip(kQuickGreen) + " (Double)"});
    ASSERT_FALSE(HasFailure());
    ASSERT_TRUE(x_.connected());
    // A preview, so the engine also zooms.
    const QRect area(100, 100, 512, 384);
    qint64 slowest = 0;
    for (int repeat = 0; repeat < kRepeats; ++repeat) {
        for (const Round& round : GetParam().rounds) {
            const xcb_window_t host = x_.createWindow(area, 0xffffff);
            ASSERT_NE(host, XCB_NONE);
            QProcess& saver = startSaver({"--window-id", QString::number(host)});
            ASSERT_TRUE(eventually([&] { return plays(area); }, 10000))
                << "repeat " << repeat << ": " << analyseFrame(x_.grab(area))
                << (saver.waitForFinished(0) ? ", ended" : ", running");
            // Each repeat ends at another point of the playback.
            pause(137 * repeat);

            QElapsedTimer clock;
            clock.start();
            ASSERT_TRUE(take(round.first, saver, host));
            if (round.second) {
                if (round.delayMs) pause(round.delayMs);
                ASSERT_TRUE(take(*round.second, saver, host));
            }
            const auto ended = endsCleanlyWithin(saver, kEndsAfterSignalMs);
            ASSERT_TRUE(ended) << "repeat " << repeat << ", " << round.delayMs << " ms apart";
            slowest = std::max(slowest, clock.elapsed());
            if (round.first == Step::Signal && !round.second) x_.destroyWindow(host);
        }
    }
    std::cout << "[ measured ] " << GetParam().name << ": slowest end " << slowest << " ms\n";
}

std::vector<Round> both(Step first, Step second) {
    std::vector<Round> rounds;
    for (const int delayMs : {0, 1, 3, 10}) rounds.push_back({first, second, delayMs});
    return rounds;
}

INSTANTIATE_TEST_SUITE_P(
    Hosts, HostEndTest,
    ::testing::Values(HostEnding{"SignalFirst", both(Step::Signal, Step::Destroy)},
                      HostEnding{"DestroyFirst", both(Step::Destroy, Step::Signal)},
                      HostEnding{"OneAlone", {{Step::Signal, {}, 0}, {Step::Destroy, {}, 0}}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
