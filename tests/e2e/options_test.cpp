#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <csignal>
#include <set>

#include "e2e/saver_test.h"
#include "support/store_file.h"

// The saver's options as a user sees or hears them.
namespace e2e {
namespace {

const ClipSpec k4K{"big.avi", "0xff0000", QSize(3840, 2160), 1.5};
// Long enough that the saver is surely ended while it still plays the first.
const ClipSpec kLongRed{"red.avi", "0xff0000", QSize(320, 240), 4.0};
const ClipSpec kLongGreen{"green.avi", "0x00ff00", QSize(200, 150), 4.0};
constexpr int kPicturesWithinMs = 30000;

class OptionsTest : public SaverTest {
protected:
    void writeList(const QStringList& entries, const QString& options) {
        writePlayList(entries);
        testsupport::writeStoreFile(testsupport::readStoreFile() + options);
    }

    // The loudest sample the saver played of `sound`, through an ALSA default device that writes
    // what it is given into a file. Sound servers are kept out of the way, so the engine falls
    // back to ALSA.
    int loudestPlayed(const QString& sound, const QString& options) {
        const QString home = clipFolder() + "/home";
        const QString recording = clipFolder() + "/played.raw";
        QFile::remove(recording);
        writeFile(home + "/.asoundrc",
                  "pcm.!default { type file; slave.pcm \"null\"; format \"raw\"; file \"" +
                      recording.toUtf8() + "\" }\n");
        writeFile(QFileInfo(testsupport::storeFilePath()).path() + "/pulse/client.conf",
                  "autospawn = no\n");
        writeList({sound + " (Origin)"}, options);
        QProcess& saver = startSaver({"/S"}, {"HOME=" + home});
        EXPECT_TRUE(eventually([&] { return QFileInfo(recording).size() > 64 * 1024; }, 10000));
        EXPECT_TRUE(sendSignal(saver, SIGTERM));
        EXPECT_TRUE(endsCleanlyWithin(saver, kEndsAfterSignalMs));
        QFile played(recording);
        if (!played.open(QIODevice::ReadOnly)) return -1;
        const QByteArray bytes = played.readAll();
        int loudest = 0;
        for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
            loudest = std::max(loudest, std::abs(int(qFromLittleEndian<qint16>(bytes.data() + i))));
        return loudest;
    }

    static void writeFile(const QString& path, const QByteArray& content) {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            ADD_FAILURE() << "could not write " << path.toStdString();
    }
};

TEST_F(OptionsTest, ShrinkToFitShowsAWholeFourKMovieCentred) {
    writeList({clip(k4K) + " (Origin)"}, "ShrinkToFit=1\n");
    startSaver();
    EXPECT_TRUE(showsPicture(Colour::Red, centredBox(kScreenArea, QSize(1024, 576)), 20000));
}

TEST_F(OptionsTest, MutePlaysSilenceAndVolumeTurnsTheSoundDown) {
    const QString sound = tone("tone.wav", 1.0);
    const int full = loudestPlayed(sound, "");
    EXPECT_GT(full, 1000);  // the recording works: the tone is there at full volume
    EXPECT_EQ(loudestPlayed(sound, "Mute=1\n"), 0);
    const int half = loudestPlayed(sound, "Volume=50\n");
    EXPECT_GT(half, 0);
    EXPECT_LT(half, full / 2);
}

TEST_F(OptionsTest, EachShuffledPassPlaysEveryEntryOnce) {
    writeList({clip(kShortRed) + " (Origin)", clip(kShortGreen) + " (Origin)",
               clip(kShortBlue) + " (Origin)"},
              "Shuffle=1\n");
    QProcess& saver = startSaver();
    std::string uncovered;
    const std::vector<Colour> pictures = watchPictures(saver, 6, kPicturesWithinMs, &uncovered);
    ASSERT_EQ(pictures.size(), 6U);
    for (size_t pass = 0; pass < 2; ++pass)
        EXPECT_EQ(std::set<Colour>(pictures.begin() + pass * 3, pictures.begin() + pass * 3 + 3),
                  (std::set<Colour>{Colour::Red, Colour::Green, Colour::Blue}));
    EXPECT_EQ(uncovered, "");
}

TEST_F(OptionsTest, ResumeStartsAfterTheMovieStartedLastTime) {
    writeList({clip(kLongRed) + " (Origin)", clip(kLongGreen) + " (Origin)"}, "Resume=1\n");
    for (Colour first : {Colour::Red, Colour::Green, Colour::Red}) {
        QProcess& saver = startSaver();
        std::string uncovered;
        EXPECT_EQ(watchPictures(saver, 1, kPicturesWithinMs, &uncovered), std::vector<Colour>{first});
        EXPECT_TRUE(sendSignal(saver, SIGTERM));
        EXPECT_TRUE(endsCleanlyWithin(saver, kEndsAfterSignalMs));
    }
}

}  // namespace
}  // namespace e2e
