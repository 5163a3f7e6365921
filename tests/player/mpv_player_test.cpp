#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QFile>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "player/mpv_options.h"
#include "player/player_factory.h"
#include "player/render_player.h"
#include "support/clips.h"

using namespace player;

// Real libmpv without a sound device, decoding as fast as it can, once for each way of drawing:
// the engine in a window of its own (showing nothing here), and the pictures drawn by the
// player itself.
class MpvPlayerTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        start(true);
        ASSERT_TRUE(control->isReady()) << qPrintable(control->engineError());
    }

    void start(bool untimed) {
        const EngineChoice inWindow{{"null", {}}, "null", untimed};
        control.reset(createPlayer(nullptr, GetParam() ? std::nullopt : std::optional(inWindow),
                                   {{kRenderApiOutput, {}}, "null", untimed}));
        opens = std::make_unique<QSignalSpy>(control.get(), &MoviePlayer::OpenComplete);
    }

    QString clip(const QString& name, QSize size, double seconds = 1.0,
                 const QString& sampleAspect = "1/1") {
        const QString path =
            testsupport::solidClip(folder.path(), name, "0x3366cc", size, seconds, sampleAspect);
        EXPECT_FALSE(path.isEmpty()) << "ffmpeg failed for " << qPrintable(name);
        return path;
    }

    QString file(const QString& name, const QByteArray& content) {
        QFile f(folder.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return f.fileName();
    }

    bool openCompletes(int count = 1) {
        return QTest::qWaitFor([&] { return opens->count() >= count; }, 10000);
    }
    bool reachesState(int state) {
        return QTest::qWaitFor([&] { return control->playState() == state; }, 10000);
    }

    QTemporaryDir folder;
    std::unique_ptr<EnginePlayer> control;
    std::unique_ptr<QSignalSpy> opens;
};

TEST_P(MpvPlayerTest, StartsWithTheInitialSizeAndNothingLoaded) {
    EXPECT_EQ(control->widthTwips(), 1815.0F);
    EXPECT_EQ(control->heightTwips(), 735.0F);
    EXPECT_EQ(control->playState(), NothingLoaded);
    EXPECT_EQ(control->fileName(), "");
}

// Each file opens once, at its final size: the size taken from the container before the first
// frame must be the one the engine then shows, or the box would jump. Played in real time, so
// the replies about a file arrive while it plays, as they do in the saver.
TEST_P(MpvPlayerTest, FitsItselfToThePictureInEachSizeMode) {
    start(false);
    // ffmpeg keeps a turn only when it copies the stream
    const auto turned = [&](const QString& name, const QString& codec) {
        const QString upright = folder.filePath("upright-" + name), path = folder.filePath(name);
        const QString source = "color=c=red:s=320x240:d=0.4:r=25";
        EXPECT_TRUE(testsupport::runFfmpeg({"-f", "lavfi", "-i", source, "-c:v", codec, upright}));
        EXPECT_TRUE(testsupport::runFfmpeg(
            {"-i", upright, "-c", "copy", "-metadata:s:v:0", "rotate=90", path}));
        return path;
    };
    struct Case {
        QString path;
        int mode;
        QSizeF twips;
        QSize screen = {};
    } cases[] = {{clip("native.avi", {320, 240}, 0.4), NativeSize, {4800, 3600}},
                 {clip("double.avi", {160, 120}, 0.4), DoubleSize, {4800, 3600}},
                 {clip("wide.avi", {320, 240}, 0.4, "2/1"), NativeSize, {9600, 3600}},
                 {clip("wide2.avi", {320, 240}, 0.4, "2/1"), DoubleSize, {19200, 7200}},
                 {clip("tall.avi", {320, 240}, 0.4, "1/2"), NativeSize, {4800, 7200}},
                 {turned("turned.mp4", "libx264"), DoubleSize, {7200, 9600}},
                 // no size in this container: the engine's first picture gives it
                 {turned("sizeless.mp4", "mpeg4"), NativeSize, {3600, 4800}},
                 {clip("fit.avi", {320, 240}, 0.4), FitSize, {2400, 1800}, {160, 160}},
                 {turned("fitturned.mp4", "libx264"), FitSize, {2250, 3000}, {200, 200}},
                 {clip("small.avi", {160, 120}, 0.4), FitSize, {2400, 1800}, {1024, 768}}};
    int opened = 0;
    for (const Case& c : cases) {
        control->setWindowSizeMode(c.mode);
        control->setPlaybackChoices({.screen = c.screen});
        control->setFileName(c.path);
        ASSERT_TRUE(openCompletes(++opened)) << qPrintable(c.path);
        ASSERT_TRUE(reachesState(Stopped)) << qPrintable(c.path);
        EXPECT_EQ(opens->count(), opened) << qPrintable(c.path);
        opened = int(opens->count());
        EXPECT_EQ(QSizeF(control->widthTwips(), control->heightTwips()), c.twips)
            << qPrintable(c.path);
        EXPECT_EQ(control->size(), (c.twips / 15).toSize()) << qPrintable(c.path);
    }
}

TEST_P(MpvPlayerTest, PlaysToTheEndByItself) {
    const QString path = clip("short.avi", {64, 48}, 0.5);
    QSignalSpy ends(control.get(), &MoviePlayer::PlayStateChange);
    control->setFileName(path);
    EXPECT_EQ(control->fileName(), path);
    EXPECT_EQ(control->playState(), Running);
    ASSERT_TRUE(openCompletes());
    EXPECT_EQ(ends.count(), 0);
    ASSERT_TRUE(reachesState(Stopped));
    EXPECT_EQ(opens->count(), 1);
    EXPECT_EQ(ends.count(), 1);  // said at the end, so nobody has to poll for it

    control->setFileName(path);  // the same file again, as a one-entry list does
    ASSERT_TRUE(openCompletes(2));
    ASSERT_TRUE(reachesState(Stopped));
}

TEST_P(MpvPlayerTest, StopEndsPlayback) {
    control->setFileName(clip("long.avi", {64, 48}, 30));
    ASSERT_TRUE(openCompletes());
    control->stop();
    EXPECT_EQ(control->playState(), Stopped);
    QTest::qWait(200);
    EXPECT_EQ(control->playState(), Stopped);
}

// Hidden (before its window shows, while the next movie opens) the pictures are let go undrawn;
// shown, the player draws the one the engine has.
TEST_P(MpvPlayerTest, DrawsOnlyWhatCanBeSeen) {
    if (!GetParam()) GTEST_SKIP() << "the engine draws in its own window";
    start(false);
    control->setFileName(clip("long.avi", {64, 48}, 30));
    ASSERT_TRUE(openCompletes());
    const auto centre = [&] { return control->grab().toImage().pixelColor(32, 24); };
    QTest::qWait(500);
    EXPECT_EQ(centre(), QColor(Qt::black));
    control->show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return centre().blue() > 160; }, 5000))
        << qPrintable(centre().name());
}

TEST_P(MpvPlayerTest, ASoundOpensAndKeepsThePreviousSize) {
    control->setFileName(clip("first.avi", {200, 100}));
    ASSERT_TRUE(openCompletes());
    const QString tone = testsupport::toneClip(folder.path(), "tone.wav", 0.5);
    ASSERT_FALSE(tone.isEmpty());
    control->setFileName(tone);
    ASSERT_TRUE(openCompletes(2));
    EXPECT_EQ(control->widthTwips(), 3000.0F);
    EXPECT_EQ(control->heightTwips(), 1500.0F);
    EXPECT_TRUE(reachesState(Stopped));
}

TEST_P(MpvPlayerTest, FilesThatCannotBePlayedLeaveNothingLoaded) {
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.filePath("fifo.avi")).constData(), 0600), 0);
    const QString broken[] = {
        folder.filePath("missing.avi"),
        file("empty.avi", {}),
        file("text.avi", "this is not a movie\n"),
        file("random.avi", QByteArray(4096, '\x5a')),
        folder.path(),
        folder.filePath("fifo.avi"),
        "/dev/zero",
        file("edl.avi", "# mpv EDL v0\nav://lavfi:testsrc=d=5\n"),
        file("list.avi", "#EXTM3U\nav://lavfi:testsrc=d=5\nhttp://127.0.0.1:9/x.avi\n"),
        "relative.avi",
        "av://lavfi:testsrc",
        "http://127.0.0.1:9/x.avi",
        "",
    };
    QSignalSpy ends(control.get(), &MoviePlayer::PlayStateChange);
    for (const QString& path : broken) {
        control->setFileName(clip("good.avi", {64, 48}, 5));
        ASSERT_TRUE(reachesState(Running));
        const int endsBefore = ends.count();
        control->setFileName(path);
        EXPECT_TRUE(reachesState(NothingLoaded)) << qPrintable(path);
        EXPECT_EQ(ends.count(), endsBefore + 1) << qPrintable(path);
        EXPECT_EQ(control->fileName(), path);
    }
    QTest::qWait(300);
    EXPECT_EQ(control->playState(), NothingLoaded);
}

// The second open replaces the first before it is open: only its picture counts.
TEST_P(MpvPlayerTest, AQuickSecondOpenWins) {
    const QString first = clip("first.avi", {320, 240});
    const QString second = clip("second.avi", {96, 64});
    control->setFileName(first);
    control->setFileName(second);
    ASSERT_TRUE(openCompletes());
    QTest::qWait(300);
    EXPECT_EQ(opens->count(), 1);
    EXPECT_EQ(control->widthTwips(), 1440.0F);
    EXPECT_EQ(control->heightTwips(), 960.0F);
}

TEST_P(MpvPlayerTest, NothingRunsOrIsFetchedBehindTheSaversBack) {
    const std::pair<const char*, const char*> expected[] = {
        {"config", "no"},
        {"load-scripts", "no"},
        {"ytdl", "no"},
        {"osc", "no"},
        {"input-default-bindings", "no"},
        {"input-vo-keyboard", "no"},
        {"input-cursor", "no"},
        {"cursor-autohide", "no"},
        {"stop-screensaver", "no"},
        {"access-references", "no"},
        {"demuxer", "lavf"},
        {"stream-lavf-o", "protocol_whitelist=file"},
        {"demuxer-lavf-o", "protocol_whitelist=file"},
        {"terminal", "no"},
        {"osd-level", "0"},
    };
    for (const auto& [name, value] : expected)
        EXPECT_EQ(control->engineProperty(name), value) << name;
}

TEST_P(MpvPlayerTest, ACloseMidPlayIsFinal) {
    control->setFileName(clip("long.avi", {64, 48}, 30));
    ASSERT_TRUE(openCompletes());
    control->close();
    control->setFileName(clip("again.avi", {64, 48}));
    EXPECT_EQ(control->playState(), NothingLoaded);
    QTest::qWait(200);
    EXPECT_EQ(opens->count(), 1);
}

// Play-list entries are untrusted text: none of these may open a stream, load a library or reach
// the network, and the player must be ready for the next entry after each.
TEST_P(MpvPlayerTest, HostileEntriesOpenNothing) {
    QTcpServer listener;
    ASSERT_TRUE(listener.listen(QHostAddress::LocalHost));
    const QString http = QStringLiteral("http://127.0.0.1:%1").arg(listener.serverPort());
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.filePath("pipe.avi")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(folder.filePath("loop-b"), folder.filePath("loop-a.avi")));
    ASSERT_TRUE(QFile::link(folder.filePath("loop-a.avi"), folder.filePath("loop-b")));
    const QString hostile[] = {
        "av://lavfi:testsrc=d=5",
        "av://lavfi:ladspa=file=/tmp/x.so",
        "lavf://file:" + clip("inner.avi", {64, 48}),
        "edl://" + clip("edl-inner.avi", {64, 48}),
        "memory://not a movie",
        "fd://0",
        "-",
        "file://" + clip("file-url.avi", {64, 48}),
        http + "/x.avi",
        QStringLiteral("rtsp://127.0.0.1:%1/x").arg(listener.serverPort()),
        "ytdl://example",
        "slice://0-100@" + clip("slice.avi", {64, 48}),
        "relative.avi",
        "../" + folder.path().section('/', -1) + "/inner.avi",
        "",
        "/" + QString(5000, u'x') + ".avi",
        QString::fromUtf8("/tmp/\xff\xfe-invalid.avi"),
        folder.filePath("pipe.avi"),
        "/dev/zero",
        "/dev/urandom",
        folder.path(),
        folder.filePath("loop-a.avi"),
        file("list.avi", ("#EXTM3U\n" + http + "/a.avi\nav://lavfi:testsrc=d=5\n").toUtf8()),
        file("stream.avi", ("#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:2\n#EXTINF:2.0,\n" +
                            http + "/segment0.ts\n#EXT-X-ENDLIST\n")
                               .toUtf8()),
        file("concat.avi", ("ffconcat version 1.0\nfile " + http + "/a.avi\n").toUtf8()),
        file("edl.mkv", "# mpv EDL v0\nav://lavfi:testsrc=d=5\n"),
        file("sdp.avi", ("v=0\no=- 0 0 IN IP4 127.0.0.1\ns=x\nc=IN IP4 127.0.0.1\nt=0 0\n"
                         "m=video " +
                         QString::number(listener.serverPort()) + " RTP/AVP 96\n")
                            .toUtf8()),
    };
    ASSERT_GE(std::size(hostile), 25u);
    for (const QString& entry : hostile) {
        control->setFileName(entry);
        EXPECT_TRUE(reachesState(NothingLoaded)) << qPrintable(entry.left(80));
    }
    QTest::qWait(500);
    EXPECT_EQ(opens->count(), 0);
    EXPECT_FALSE(listener.hasPendingConnections());
    EXPECT_FALSE(listener.waitForNewConnection(0));
}

INSTANTIATE_TEST_SUITE_P(Drawing, MpvPlayerTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Drawn" : "InWindow"; });

// Where the engine cannot start in a window (no X display for its x11 output), the player draws
// the pictures itself; where neither starts, it plays nothing and says so in one line.
TEST(PlayerFactoryTest, FallsBackToDrawingAndOpensNothingWhereNeitherStarts) {
    const QByteArray display = qgetenv("DISPLAY");
    qunsetenv("DISPLAY");
    const EngineChoice noWindow{{"x11", {}}, "null", true};
    static int said = 0;
    const auto before = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString&) { ++said; });
    std::unique_ptr<EnginePlayer> fallback(
        createPlayer(nullptr, noWindow, {{kRenderApiOutput, {}}, "null", true}));
    std::unique_ptr<EnginePlayer> neither(createPlayer(nullptr, noWindow, noWindow));
    qInstallMessageHandler(before);
    if (!display.isEmpty()) qputenv("DISPLAY", display);
    EXPECT_TRUE(fallback->isReady() && dynamic_cast<RenderPlayer*>(fallback.get()));
    EXPECT_EQ(said, 1);
    QTemporaryDir folder;
    neither->setFileName(testsupport::solidClip(folder.path(), "red.avi", "red", {64, 48}, 1));
    EXPECT_EQ(neither->playState(), NothingLoaded);
}
