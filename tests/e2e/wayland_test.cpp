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
// session is a headless sway of a throwaway user (sway refuses root) in mount and network
// namespaces of its own, where XWayland meets no other X server; wayvnc gives its seat a pointer
// and a keyboard. A second output (`swaymsg create_output`) plays the list's second movie.
namespace e2e {
namespace {

struct Case {
    const char* name;
    const char* platform;  // empty: Qt's own choice
    QStringList input;     // run in the session
    const char* entry;     // the same picture: the red clip, or one of half its size doubled
    int outputs = 1;       // on the second, the green clip, as Monitors=Each has it
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

const QStringList kKey{"wtype", "a"};
const QStringList kMove{"swaymsg", "--", "seat", "-", "cursor", "move", "-5", "-5"};
// Each output shows one movie all through the test.
const ClipSpec kLongRed{"red.avi", "0xff0000", QSize(320, 240), 30.0};
const ClipSpec kLongSmallRed{"small.avi", "0xff0000", QSize(160, 120), 30.0};
const ClipSpec kLongGreen{"green.avi", "0x00ff00", QSize(200, 150), 30.0};
const Case kCases[] = {{"NativeKey", "", kKey, "(Double)"},
                       {"NativePointer", "", kMove, "(Origin)"},
                       {"XwaylandKey", "xcb", kKey, "(Double)"},
                       {"XwaylandPointer", "xcb", kMove, "(Origin)"},
                       {"NativeTwoOutputsKey", "", kKey, "(Origin)", 2},
                       {"NativeTwoOutputsPointer", "", kMove, "(Double)", 2},
                       {"XwaylandTwoOutputsKey", "xcb", kKey, "(Double)", 2},
                       {"XwaylandTwoOutputsPointer", "xcb", kMove, "(Origin)", 2}};

class WaylandTest : public SaverTest, public ::testing::WithParamInterface<Case> {
protected:
    void SetUp() override {
        if (geteuid() != 0) GTEST_SKIP() << "sway needs a user and namespaces made by root";
        if (FDK_E2E_SANITIZED && *GetParam().platform)
            GTEST_SKIP() << "the sanitizers see the X11 player in every other end-to-end test";
        for (const char* tool : {"sway", "grim", "wtype", "wayvnc", "Xwayland"})
            if (QStandardPaths::findExecutable(tool).isEmpty())
                GTEST_SKIP() << tool << " is not installed (scripts/install-deps.sh)";
        const bool doubled = QString(GetParam().entry) == "(Double)";
        QStringList entries{clip(doubled ? kLongSmallRed : kLongRed) + " " + GetParam().entry};
        if (GetParam().outputs == 2) entries << clip(kLongGreen) + " (Origin)";
        writePlayList(entries);
        QFile::copy(testsupport::storeFilePath(), home_.filePath("FDK.conf"));
        QFile::copy(qEnvironmentVariable("FDK_E2E_BINARY", FDK_BINARY), home_.filePath("saver"));
        const QString config = home_.filePath("sway.conf");
        run({"sh", "-c",
             "printf 'xwayland enable\\noutput * bg #ffffff solid_color\\n' >" + config});
        run({"chmod", "go+rx", home_.path(), clipFolder()});
        QDir(home_.path()).mkdir("runtime");
        user_ = makeUser("fdkway", home_.path());
        sway_.setStandardOutputFile(home_.filePath("sway.log"));
        // XWayland's sockets in a folder of the session's own.
        start(
            sway_,
            QStringList{"unshare", "-mn", "--propagation", "private", "sh", "-c",
                        "mount -t tmpfs -o mode=1777 none /tmp/.X11-unix && exec \"$@\"", "sh"} +
                asUser(user_, {"env", "-i", "HOME=" + home_.path(), "XDG_RUNTIME_DIR=" + runtime(),
                               "WLR_BACKENDS=headless", "WLR_RENDERER=pixman",
                               "WLR_LIBINPUT_NO_DEVICES=1", "sway", "-c", config}));
        if (!soon({"swaymsg", "-t", "get_outputs"}, 20000))
            GTEST_SKIP() << "sway does not run here; see "
                         << home_.filePath("sway.log").toStdString();
        if (GetParam().outputs == 2) {
            ASSERT_TRUE(soon({"swaymsg", "create_output"}, 0));
        }
        start(input_, inside({"wayvnc", "--unix-socket", home_.filePath("vnc")}));
        ASSERT_TRUE(soon({"sh", "-c", "swaymsg -t get_seats | grep -q pointer"}, 10000));
        // Away from the picture: a pointer left showing spoils the screenshot. A pointer moved to
        // another output leaves its picture behind on this one in the headless sway.
        ASSERT_TRUE(soon({"swaymsg", "--", "seat", "-", "cursor", "set", "100", "100"}, 0));
    }

    void TearDown() override {
        for (QProcess* process : {&saver_, &input_, &sway_}) {
            process->terminate();
            if (!process->waitForFinished(5000)) process->kill();
        }
        if (!user_.isEmpty()) removeUser(user_);
    }

    QString runtime() const { return home_.filePath("runtime"); }
    static void start(QProcess& process, const QStringList& command) {
        process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
        process.start(command.first(), command.mid(1));
        ASSERT_TRUE(process.waitForStarted(10000));
    }
    // As the user, with the session's environment only.
    QStringList inside(const QStringList& command) const {
        const QString sway = QString::number(sway_.processId());
        const QDir folder(runtime());
        // Its root and folder too: entering a mount namespace alone leaves a chroot.
        const QStringList enter{"nsenter", "-t", sway, "-m", "-r", "-w"};
        const QString x = run(enter + QStringList{"ls", "/tmp/.X11-unix"});
        QStringList environment{"env", "-i", "HOME=" + home_.path(),
                                "XDG_RUNTIME_DIR=" + runtime()};
        environment << "XDG_CONFIG_HOME=" + home_.path() << "DISPLAY=:" + x.mid(1)
                    << "SWAYSOCK=" +
                           folder.filePath(folder.entryList({"sway-ipc.*"}, QDir::System).value(0))
                    << "WAYLAND_DISPLAY=" + folder.entryList({"wayland-?"}, QDir::System).value(0);
        return enter + QStringList{"-n"} + asUser(user_, environment + command);
    }
    bool inSession(const QStringList& command) const {
        QProcess tool;
        const QStringList full = inside(command);
        tool.start(full.first(), full.mid(1));
        return tool.waitForFinished(15000) && tool.exitStatus() == QProcess::NormalExit &&
               tool.exitCode() == 0;
    }
    bool soon(const QStringList& command, int ms) const {
        return eventually([&] { return inSession(command); }, ms);
    }

    // Each output on its own: sway's outputs differ in size, and a screenshot of them all has
    // gaps no output covers. Through XWayland sway may go on drawing its own arrow over the saver
    // until the pointer moves: the pointer's corner is left out there.
    ::testing::AssertionResult showsTheMovie() {
        const QString file = home_.filePath("screen.png");
        const struct {
            const char* output;
            Colour colour;
            QSize size;
        } wanted[] = {{"HEADLESS-1", Colour::Red, kLongRed.size},
                      {"HEADLESS-2", Colour::Green, kLongGreen.size}};
        Frame frame;
        int output = 0;
        const auto shown = [&] {
            for (output = 0; output < GetParam().outputs; ++output) {
                const auto& w = wanted[output];
                const QImage screen(inSession({"grim", "-c", "-o", w.output, file}) ? file : "");
                frame = analyseArea(
                    screen, screen.rect().adjusted(0, *GetParam().platform ? 150 : 0, 0, 0));
                if (!frame.covered || frame.colour != w.colour ||
                    !nearlyEqual(frame.picture, centredBox(screen.rect(), w.size)))
                    return false;
            }
            return true;
        };
        if (eventually(shown, 15000)) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "the movie is not shown on output " << output + 1 << "; last seen: " << frame;
    }

    QTemporaryDir home_;
    QString user_;
    QProcess sway_, input_, saver_;
};

TEST_P(WaylandTest, ShowsTheMovieStaysWithoutInputAndEndsAtInput) {
    QStringList command{"env", home_.filePath("saver"), "/S"};
    if (*GetParam().platform) command.insert(1, QString("QT_QPA_PLATFORM=") + GetParam().platform);
    for (const char* sanitizer : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
        if (qEnvironmentVariableIsSet(sanitizer))
            command.insert(1, QString(sanitizer) + "=" + qgetenv(sanitizer));
    saver_.setProcessChannelMode(QProcess::ForwardedChannels);
    start(saver_, inside(command));
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
