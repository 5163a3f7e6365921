#include <sys/stat.h>

#include <QDir>
#include <QTcpServer>

#include "e2e/saver_test.h"

// Entries that name something other than a plain local movie file, as someone who can write the
// store might plant them: none is opened, and the list plays on to the movie after them.
namespace e2e {
namespace {

// One tick of the once-a-second playback loop for each entry passed over.
constexpr int kReachesTheMovieMs = 20000;

using HostileEntriesTest = SaverTest;

TEST_F(HostileEntriesTest, AreNeverOpenedAndTheMovieAfterThemPlays) {
    QTcpServer listener;
    ASSERT_TRUE(listener.listen(QHostAddress::LocalHost));
    // A real movie behind the URL and the relative forms: if either were followed, green would
    // show.
    const QString green = clip(kShortGreen);
    const QString fifo = clipFolder() + "/fifo.avi";
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QDir(clipFolder()).mkdir("folder.avi"));
    const QStringList hostile = {
        "av://lavfi:testsrc=size=320x240",
        QStringLiteral("http://127.0.0.1:%1/x.avi").arg(listener.serverPort()),
        "file://" + green,
        QDir::current().relativeFilePath(green),
        "/dev/zero",
        fifo,
        clipFolder() + "/folder.avi",
    };
    QStringList entries;
    for (const QString& entry : hostile) entries << entry + " (Origin)";
    writePlayList(entries << clip(kRedClip) + " (Origin)");
    ASSERT_FALSE(HasFailure());
    QProcess& saver = startSaver();

    std::string uncovered;
    const std::vector<Colour> pictures = watchPictures(saver, 1, kReachesTheMovieMs, &uncovered);
    EXPECT_EQ(pictures, std::vector<Colour>{Colour::Red});
    EXPECT_EQ(uncovered, "");
    EXPECT_TRUE(showsPicture(Colour::Red, kRedBox));
    EXPECT_TRUE(keepsRunningFor(saver, 0));
    EXPECT_FALSE(listener.waitForNewConnection(0)) << "the saver reached out to the network";
}

// Written by hand, names with characters INI files treat otherwise reach the player as they
// stand, in the list's order.
TEST_F(HostileEntriesTest, HandWrittenNamesWithOddCharactersPlayInOrder) {
    const ClipSpec clips[] = {{R"(say "hi".avi)", kShortRed.colour, kShortRed.size, 1.0},
                              {"a,b.avi", kShortGreen.colour, kShortGreen.size, 1.0},
                              {R"(c;d\e.avi)", kShortBlue.colour, kShortBlue.size, 1.0}};
    QStringList entries;
    for (const ClipSpec& named : clips) entries << clip(named) + " (Origin)";
    writePlayList(entries);
    ASSERT_FALSE(HasFailure());
    QProcess& saver = startSaver();
    std::string uncovered;
    EXPECT_EQ(watchPictures(saver, 3, kReachesTheMovieMs, &uncovered),
              (std::vector<Colour>{Colour::Red, Colour::Green, Colour::Blue}));
}

}  // namespace
}  // namespace e2e
