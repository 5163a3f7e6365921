#include <QDir>
#include <QFileInfo>
#include <QtEndian>
#include <csignal>
#include <set>

#include "e2e/saver_test.h"
#include "support/clips.h"
#include "support/store_file.h"

// The saver's options as a user sees or hears them.
namespace e2e {
namespace {

class OptionsTest : public SaverTest {
protected:
    QProcess& startWith(const QStringList& entries, const QString& options,
                        const QStringList& environment = {}) {
        writePlayList(entries);
        testsupport::writeStoreFile(testsupport::readStoreFile() + options);
        return startSaver({"/S"}, environment);
    }

    static void writeFile(const QString& path, const QByteArray& content) {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    }

    // The loudest sample played, through an ALSA default device that writes into a file; sound
    // servers are kept out of the way, so the engine falls back to ALSA.
    int loudestPlayed(const QString& sound, const QString& options) {
        const QString home = clipFolder() + "/home", recording = clipFolder() + "/played.raw";
        QFile::remove(recording);
        writeFile(home + "/.asoundrc", "pcm.!default { type file; slave.pcm \"null\"; file \"" +
                                           recording.toUtf8() + "\"; format \"raw\" }\n");
        writeFile(QFileInfo(testsupport::storeFilePath()).path() + "/pulse/client.conf",
                  "autospawn = no\n");
        QProcess& saver = startWith({sound + " (Origin)"}, options, {"HOME=" + home});
        EXPECT_TRUE(eventually([&] { return QFileInfo(recording).size() > 64 * 1024; }, 10000));
        EXPECT_TRUE(sendSignal(saver, SIGTERM) && endsCleanlyWithin(saver, kEndsAfterSignalMs));
        QFile played(recording);
        const QByteArray bytes = played.open(QIODevice::ReadOnly) ? played.readAll() : "";
        int loudest = 0;
        for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
            loudest = std::max(loudest, std::abs(int(qFromLittleEndian<qint16>(bytes.data() + i))));
        return loudest;
    }
};

TEST_F(OptionsTest, ShrinkToFitShowsAWholeFourKMovieCentred) {
    startWith({clip({"big.avi", "0xff0000", QSize(3840, 2160), 1.5}) + " (Origin)"},
              "ShrinkToFit=1\n");
    EXPECT_TRUE(showsPicture(Colour::Red, centredBox(kScreenArea, QSize(1024, 576)), 20000));
}

// A phone's portrait movie (stored lying, with a quarter turn) and a 4K one, both at Fit.
TEST_F(OptionsTest, FitShowsAPortraitAndAFourKMovieWhole) {
    const QString lying = clipFolder() + "/lying.mp4", portrait = clipFolder() + "/portrait.mp4";
    ASSERT_TRUE(testsupport::runFfmpeg({"-f", "lavfi", "-i",
                                        "color=c=0x00ff00:s=1920x1080:d=3:r=25", "-c:v", "libx264",
                                        "-preset", "ultrafast", "-pix_fmt", "yuv420p", lying}));
    ASSERT_TRUE(testsupport::runFfmpeg(
        {"-i", lying, "-c", "copy", "-metadata:s:v:0", "rotate=90", portrait}));
    startWith(
        {portrait + " (Fit)", clip({"big.avi", "0xff0000", QSize(3840, 2160), 1.5}) + " (Fit)"},
        "");
    EXPECT_TRUE(showsPicture(Colour::Green, centredBox(kScreenArea, QSize(432, 768)), 20000));
    EXPECT_TRUE(showsPicture(Colour::Red, centredBox(kScreenArea, QSize(1024, 576)), 20000));
}

TEST_F(OptionsTest, MutePlaysSilence) {
    const QString sound = tone("tone.wav", 1.0);
    EXPECT_GT(loudestPlayed(sound, ""), 1000);  // the recording works
    EXPECT_EQ(loudestPlayed(sound, "Mute=1\n"), 0);
}

TEST_F(OptionsTest, EachShuffledPassPlaysEveryEntryOnce) {
    QProcess& saver = startWith({clip(kShortRed) + " (Origin)", clip(kShortGreen) + " (Origin)",
                                 clip(kShortBlue) + " (Origin)"},
                                "Shuffle=1\n");
    std::string uncovered;
    const std::vector<Colour> seen = watchPictures(saver, 6, 30000, &uncovered);
    ASSERT_EQ(seen.size(), 6U);
    for (auto pass = seen.begin(); pass != seen.end(); pass += 3)
        EXPECT_EQ(std::set<Colour>(pass, pass + 3).size(), 3U);
}

}  // namespace
}  // namespace e2e
