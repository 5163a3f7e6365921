#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include "e2e/saver_test.h"
#include "support/store_file.h"

// The saver in a Wayland session, natively and through XWayland: the movie shows (and no pointer
// over it), the saver stays while nothing happens, and a key or a pointer move ends it. The
// session is a headless sway of a throwaway user (sway refuses root), with a virtual pointer and
// keyboard, in mount and network namespaces of its own where XWayland meets no other X server.
// More outputs: `swaymsg create_output` in the session.
namespace e2e {
namespace {

struct Case {
    const char* name;
    const char* platform;  // empty: Qt's own choice
    QStringList input;     // run in the session
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

const QStringList kKey{"wtype", "a"};
const QStringList kMove{"swaymsg", "--", "seat", "-", "cursor", "move", "-5", "-5"};
const Case kCases[] = {{"NativeKey", "", kKey},
                       {"NativePointer", "", kMove},
                       {"XwaylandKey", "xcb", kKey},
                       {"XwaylandPointer", "xcb", kMove}};

void dieWithTheTest() {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
}

class WaylandTest : public SaverTest, public ::testing::WithParamInterface<Case> {
protected:
    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "sway needs a user and namespaces made by root";
        for (const char* tool : {"sway", "grim", "wtype", "Xwayland"})
            if (QStandardPaths::findExecutable(tool).isEmpty())
                GTEST_SKIP() << tool << " is not installed (scripts/install-deps.sh)";
        QDir(home_.path()).mkpath("runtime");
        writePlayList({clip(kRedClip) + " (Origin)"});
        QFile::copy(testsupport::storeFilePath(), home_.filePath("FDK.conf"));
        QFile::copy(qEnvironmentVariable("FDK_E2E_BINARY", FDK_BINARY), home_.filePath("saver"));
        QFile config(home_.filePath("sway.conf"));
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write("xwayland enable\noutput * bg #ffffff solid_color\ndefault_border none\n");
        config.close();
        for (const QString& folder : {home_.path(), clipFolder()})
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                              QFile::ReadOther | QFile::ExeOther);
        user_ = makeUser("fdkway", home_.path());
        QFile::setPermissions(runtime(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        sway_.setProcessChannelMode(QProcess::MergedChannels);
        sway_.setStandardOutputFile(home_.filePath("sway.log"));
        start(sway_,
              {"unshare", "--mount", "--net", "--propagation", "private", "sh", "-c",
               "mount -t tmpfs none /tmp/.X11-unix && chmod 1777 /tmp/.X11-unix && "
               "exec \"$@\"",
               "sh"},
              asUser(user_, {"env", "-i", "HOME=" + home_.path(), "XDG_RUNTIME_DIR=" + runtime(),
                             "WLR_BACKENDS=headless", "WLR_RENDERER=pixman",
                             "WLR_LIBINPUT_NO_DEVICES=1", "sway", "-c", config.fileName()}));
        if (!eventually([&] { return inSession({"swaymsg", "-t", "get_outputs"}); }, 20000))
            GTEST_SKIP() << "sway does not run here: "
                         << run({"tail", "-3", home_.filePath("sway.log")}).toStdString();
        start(input_, inside({FDK_E2E_VIRTUAL_INPUT}), {});
        ASSERT_TRUE(input_.waitForReadyRead(10000)) << "no virtual pointer and keyboard";
        // Away from the picture: a pointer left showing spoils the screenshot.
        ASSERT_TRUE(inSession({"swaymsg", "--", "seat", "-", "cursor", "set", "100", "100"}));
    }

    void TearDown() override {
        for (QProcess* process : {&saver_, &input_, &sway_}) {
            process->terminate();
            if (!process->waitForFinished(5000)) process->kill();
        }
        if (!user_.isEmpty()) removeUser(user_);
    }

    QString runtime() const { return home_.filePath("runtime"); }

    static void start(QProcess& process, const QStringList& command, const QStringList& more) {
        process.setChildProcessModifier(dieWithTheTest);
        process.start(command.first(), command.mid(1) + more);
        ASSERT_TRUE(process.waitForStarted(10000));
    }

    // As the user, with the session's environment only.
    QStringList inside(const QStringList& command) const {
        const QDir folder(runtime());
        const QString x = run(
            {"nsenter", "-t", QString::number(sway_.processId()), "-m", "ls", "/tmp/.X11-unix"});
        return QStringList{"nsenter", "-t", QString::number(sway_.processId()), "-m", "-n"} +
               asUser(
                   user_,
                   QStringList{
                       "env", "-i", "PATH=/usr/bin:/bin", "HOME=" + home_.path(),
                       "XDG_RUNTIME_DIR=" + runtime(),
                       "WAYLAND_DISPLAY=" + folder.entryList({"wayland-?"}, QDir::System).value(0),
                       "SWAYSOCK=" + folder.absoluteFilePath(
                                         folder.entryList({"sway-ipc.*"}, QDir::System).value(0)),
                       "DISPLAY=:" + x.mid(1), "XDG_CONFIG_HOME=" + home_.path()} +
                       command);
    }

    bool inSession(const QStringList& command) const {
        QProcess tool;
        const QStringList full = inside(command);
        tool.start(full.first(), full.mid(1));
        return tool.waitForFinished(15000) && tool.exitStatus() == QProcess::NormalExit &&
               tool.exitCode() == 0;
    }

    ::testing::AssertionResult showsTheMovie() {
        const QString file = home_.filePath("screen.png");
        Frame frame;
        const auto shown = [&] {
            QFile::remove(file);
            const QImage screen(inSession({"grim", "-c", file}) ? file : QString());
            frame = analyseArea(screen, screen.rect());
            return frame.covered && frame.colour == Colour::Red &&
                   nearlyEqual(frame.picture, centredBox(screen.rect(), kRedClip.size));
        };
        if (eventually(shown, 15000)) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the movie is not shown; last seen: " << frame;
    }

    QTemporaryDir home_;
    QString user_;
    QProcess sway_, input_, saver_;
};

TEST_P(WaylandTest, ShowsTheMovieStaysWithoutInputAndEndsAtInput) {
    QStringList environment;
    if (*GetParam().platform) environment << QString("QT_QPA_PLATFORM=") + GetParam().platform;
    for (const char* sanitizer : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
        if (qEnvironmentVariableIsSet(sanitizer))
            environment << QString(sanitizer) + "=" + qEnvironmentVariable(sanitizer);
    saver_.setProcessChannelMode(QProcess::ForwardedChannels);
    start(saver_,
          inside(QStringList{"env"} + environment + QStringList{home_.filePath("saver"), "/S"}),
          {});
    ASSERT_TRUE(showsTheMovie());
    // Through XWayland it used to end by itself after about a second.
    EXPECT_TRUE(keepsRunningFor(saver_, 5000));
    ASSERT_TRUE(showsTheMovie());
    ASSERT_TRUE(inSession(GetParam().input));
    EXPECT_TRUE(endsCleanlyWithin(saver_, 3000));
}

INSTANTIATE_TEST_SUITE_P(Sessions, WaylandTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
