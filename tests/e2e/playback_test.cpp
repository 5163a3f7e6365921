#include <QDeadlineTimer>
#include <QFileInfo>
#include <map>
#include <sstream>

#include "e2e/saver_test.h"
#include "support/clips.h"
#include "support/store_file.h"

// What the screen shows while the list plays.
namespace e2e {
namespace {

const ClipSpec kRed{"red.avi", "0xff0000", QSize(320, 240), 1.5};
// A name that must reach the player byte for byte, whatever the saver's character locale.
const ClipSpec kGreen{"-grün 日本.avi", "0x00ff00", QSize(200, 150), 1.5};
const ClipSpec kBlue{"blue.avi", "0x0000ff", QSize(240, 180), 1.5};

// The picture centred on the 1024x768 screen, 2 pixels cut off its bottom; green plays doubled.
const std::map<Colour, QRect> kExpectedBox = {
    {Colour::Red, QRect(352, 265, 320, 238)},
    {Colour::Green, QRect(312, 235, 400, 298)},
    {Colour::Blue, QRect(392, 295, 240, 178)},
};

const std::map<Colour, ClipSpec> kClipOf = {
    {Colour::Red, kRed}, {Colour::Green, kGreen}, {Colour::Blue, kBlue}};

constexpr int kSampleEveryMs = 150;

struct Sample {
    Frame frame;
    QStringList held;  // clips open both just before and just after the screenshot
};

// Judges the screenshots taken while the list plays. A colour showing over several screenshots
// in a row (black ones between allowed) is one picture. A new picture may first show at the size
// of the one before while the engine catches up with its resized window, so each picture is
// judged from the first screenshot where it sits in its box on: from then on it must stay there,
// as long as its own movie is open. Once the next one is open, the last picture may be seen cut
// to the next one's box for the moment the engine takes to draw the next one's first picture.
class Watch {
public:
    explicit Watch(const QString& sound) : sound_(sound) {}

    void add(const Sample& sample) {
        std::ostringstream where;
        where << "screenshot " << ++count_ << " (" << sample.frame << ", playing "
              << sample.held.join(',').toStdString() << ")";
        if (!sample.frame.covered) problems_.push_back(where.str() + ": screen not covered");
        checkSound(sample, where.str());
        const Colour colour = sample.frame.colour;
        if (colour == Colour::Black) return;
        if (pictures_.empty() || pictures_.back() != colour) {
            closePicture();
            pictures_.push_back(colour);
        }
        const auto expected = kExpectedBox.find(colour);
        if (expected == kExpectedBox.end()) {
            problems_.push_back(where.str() + ": unexpected colour");
        } else if (nearlyEqual(sample.frame.picture, expected->second)) {
            inPlace_ = true;
        } else if (inPlace_ &&
                   sample.held.contains(QString::fromUtf8(kClipOf.at(colour).fileName))) {
            problems_.push_back(where.str() + ": the picture left its box");
        } else {
            lastOutOfPlace_ = where.str();
        }
    }

    // Done when `enough` pictures came up and the last one has settled in its box.
    bool seen(size_t enough) const { return pictures_.size() >= enough && inPlace_; }

    void finish() { closePicture(); }

    const std::vector<Colour>& pictures() const { return pictures_; }
    int soundScreens() const { return soundScreens_; }
    std::string problems() const {
        std::string text;
        for (size_t i = 0; i < problems_.size() && i < 8; ++i) text += problems_[i] + "\n";
        return text;
    }

private:
    // Judged from the screenshot after the one where the sound was first seen open, so the
    // previous picture has surely been taken away.
    void checkSound(const Sample& sample, const std::string& where) {
        const bool playingSound = sample.held.contains(sound_);
        if (playingSound && soundBefore_) {
            ++soundScreens_;
            if (!sample.frame.picture.isEmpty())
                problems_.push_back(where + ": a picture while the sound plays");
        }
        soundBefore_ = playingSound;
    }

    void closePicture() {
        if (!pictures_.empty() && !inPlace_)
            problems_.push_back(lastOutOfPlace_ + ": the picture never sat in its box");
        inPlace_ = false;
    }

    QString sound_;
    int count_ = 0;
    bool soundBefore_ = false;
    int soundScreens_ = 0;
    std::vector<Colour> pictures_;
    bool inPlace_ = false;
    std::string lastOutOfPlace_;
    std::vector<std::string> problems_;
};

class PlaybackTest : public SaverTest {
protected:
    // From the first picture in its box on until `enough` pictures were seen, the saver ended, or
    // the deadline passed.
    void watchPlayback(QProcess& saver, Watch& watch, size_t enough, int timeoutMs) {
        ASSERT_TRUE(showsPicture(Colour::Red, kExpectedBox.at(Colour::Red)));
        const QDeadlineTimer deadline(timeoutMs);
        while (!watch.seen(enough) && !deadline.hasExpired()) {
            Sample sample;
            const QStringList before = heldClips(saver);
            sample.frame = grabFrame();
            for (const QString& clip : heldClips(saver))
                if (before.contains(clip)) sample.held.append(clip);
            if (saver.state() == QProcess::NotRunning || saver.waitForFinished(0)) break;
            // The window goes away a moment before the process ends.
            if (!sample.frame.covered && saver.waitForFinished(1000)) break;
            watch.add(sample);
            pause(kSampleEveryMs);
        }
        watch.finish();
    }
};

TEST_F(PlaybackTest, PlaysTheListInOrderCentredAndStartsOver) {
    const QString sound = tone("tone.wav", 1.5);
    writePlayList({clip(kRed) + " (Origin)", clip(kGreen) + " (Double)", clip(kBlue) + " (Origin)",
                   sound + " (Origin)"});
    ASSERT_FALSE(HasFailure());
    QProcess& saver = startSaver();

    Watch screen(QFileInfo(sound).fileName());
    watchPlayback(saver, screen, 4, 20000);

    const std::vector<Colour> order{Colour::Red, Colour::Green, Colour::Blue, Colour::Red};
    EXPECT_EQ(screen.pictures(), order);
    EXPECT_GT(screen.soundScreens(), 0) << "the sound entry was never seen playing";
    EXPECT_EQ(screen.problems(), "");
    EXPECT_TRUE(keepsRunningFor(saver, 0));
}

TEST_F(PlaybackTest, EndsCleanlyAtTheFirstPositionWithoutAnEntry) {
    // Count says three entries, the third is missing.
    testsupport::writeStoreFile(QStringLiteral("[Movies]\nCount=2\n[Movie]\n0=%1 (Origin)\n"
                                               "1=%2 (Double)\n[Settings]\nActive=0\n")
                                    .arg(clip(kRed), clip(kGreen)));
    ASSERT_FALSE(HasFailure());
    QProcess& saver = startSaver();

    Watch screen(QString{});
    watchPlayback(saver, screen, 3, 15000);

    const std::vector<Colour> order{Colour::Red, Colour::Green};
    EXPECT_EQ(screen.pictures(), order);
    EXPECT_TRUE(endsCleanlyWithin(saver, 3000));
    EXPECT_EQ(screen.problems(), "");
}

// The centre, looked at every 10 ms, is never black over several changes of movie, nor over the
// plays of one entry (red, then green: each red is a new play).
TEST_F(PlaybackTest, NoBlackComesBetweenMoviesNorBetweenThePlaysOfOneEntry) {
    const QString turning = clipFolder() + "/turning.avi";
    ASSERT_TRUE(testsupport::runFfmpeg(
        {"-f", "lavfi", "-i",
         "color=red:s=320x240:d=0.6[a];color=lime:s=320x240:d=0.6[b];[a][b]concat[out0]",
         turning}));
    for (const QString& list :
         {clip(kRed) + " (Origin)|" + clip(kGreen) + " (Double)|" + clip(kBlue) + " (Origin)",
          turning + " (Origin)"}) {
        writePlayList(list.split('|'));
        QProcess& saver = startSaver();
        ASSERT_TRUE(showsPicture(Colour::Red, kExpectedBox.at(Colour::Red)));
        std::vector<Colour> seen{Colour::Red};  // each picture, and the first black if any
        for (QDeadlineTimer end(20000);
             seen.size() < 6 && seen.back() != Colour::Black && !end.hasExpired(); pause(10))
            if (const Colour now = grabFrame(QRect(492, 364, 40, 40)).colour; now != seen.back())
                seen.push_back(now);
        EXPECT_EQ(seen.size(), 6u) << qPrintable(list);
        EXPECT_NE(seen.back(), Colour::Black) << "after " << seen.size() - 1 << " changes";
        saver.kill();
        saver.waitForFinished(5000);
    }
}

}  // namespace
}  // namespace e2e
