#include <QDeadlineTimer>
#include <QFile>
#include <QRandomGenerator>
#include <iostream>

#include "e2e/proc_stat.h"
#include "e2e/saver_test.h"

// Entries whose files cannot be played are passed over; the show goes on.
namespace e2e {
namespace {

constexpr int kWatchMs = 25000;
// A list with nothing to play is gone round once a second; ten times that is a fault. The
// sanitizers make each round three to four times dearer (0.12 s plain, 0.4 s sanitized).
constexpr double kIdleCpuSeconds = FDK_E2E_SANITIZED ? 1.2 : 0.3;
constexpr int kIdleWatchMs = 3000;

class BrokenMediaTest : public SaverTest {
protected:
    QString file(const QString& name, const QByteArray& content) {
        const QString path = clipFolder() + u'/' + name;
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size())
            ADD_FAILURE() << "could not write " << name.toStdString();
        return path;
    }

    // Every kind of file that is not a movie, each as a list entry.
    QStringList brokenEntries(const QString& goodClip) {
        QFile clip(goodClip);
        const QByteArray head = clip.open(QIODevice::ReadOnly) ? clip.read(3 * 1024) : QByteArray();
        QByteArray noise(16 * 1024, '\0');
        QRandomGenerator bytes(20240607);
        for (char& byte : noise) byte = static_cast<char>(bytes.bounded(256));
        return {
            clipFolder() + "/missing.avi (Origin)", file("truncated.avi", head) + " (Origin)",
            file("empty.avi", {}) + " (Double)", file("noise.avi", noise) + " (Origin)",
            file("notes.avi", "These are not the pictures you are looking for.\n") + " (Origin)"};
    }
};

TEST_F(BrokenMediaTest, GoodClipsPlayInTheirOrderBetweenBrokenOnes) {
    const QString red = clip(kShortRed);
    const QStringList broken = brokenEntries(red);
    // Starts and ends with broken entries, so going round the list passes two in a row.
    writePlayList({broken[0], red + " (Origin)", broken[1], broken[2],
                   clip(kShortGreen) + " (Origin)", broken[3], clip(kShortBlue) + " (Origin)",
                   broken[4]});
    ASSERT_FALSE(HasFailure());
    QProcess& saver = startSaver();

    std::string uncovered;
    const std::vector<Colour> pictures = watchPictures(saver, 4, kWatchMs, &uncovered);
    const std::vector<Colour> order{Colour::Red, Colour::Green, Colour::Blue, Colour::Red};
    EXPECT_EQ(pictures, order);
    EXPECT_EQ(uncovered, "");
    EXPECT_TRUE(keepsRunningFor(saver, 0));
}

TEST_F(BrokenMediaTest, NothingPlayableKeepsTheScreenBlackAndTheSaverIdle) {
    // The broken clip is made from a real one that is not on the list.
    writePlayList(brokenEntries(clip(kShortRed)));
    ASSERT_FALSE(HasFailure());
    QProcess& saver = startSaver();
    const auto black = [](const Frame& frame) { return frame.covered && frame.picture.isEmpty(); };
    ASSERT_TRUE(showsFrame(black, "a black screen", 10000));

    const auto pid = saver.processId();
    const double cpuBefore = cpuSeconds(pid);
    const QDeadlineTimer deadline(kIdleWatchMs);
    while (!deadline.hasExpired()) {
        const Frame frame = grabFrame();
        ASSERT_TRUE(black(frame)) << frame;
        ASSERT_TRUE(keepsRunningFor(saver, 300));
    }
    const double cpuUsed = cpuSeconds(pid) - cpuBefore;
    std::cout << "[ measured ] " << cpuUsed << " s of CPU in " << kIdleWatchMs / 1000
              << " s of broken entries\n";
    EXPECT_GE(cpuBefore, 0);
    EXPECT_LT(cpuUsed, kIdleCpuSeconds);
}

}  // namespace
}  // namespace e2e
