#include <signal.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <iostream>

#include "e2e/saver_test.h"
#include "e2e/x_client.h"
#include "e2e/xorg_screens.h"
#include "support/store_file.h"

// The saver under the screen-saver hosts users run, on two monitors: each host starts one saver
// per monitor in a window of its own. The hack the host runs is a wrapper that logs every start
// and how each saver ended. FDK_E2E_HOST_ROUNDS activates each host that many times and reports
// each round, for comparing builds.
namespace e2e {
namespace {

struct Host {
    const char* name;
    const char* program;  // skipped where it is not installed
    bool asUser;          // refuses to run hacks as root
    bool systemHack;      // runs hacks only from the system's hack folder
    QStringList daemon;   // runs for the whole test; the saver's activation when nothing else
    QStringList activate, deactivate;  // empty: the daemon's start and SIGTERM
    const char* monitors;              // the setting; Each begins the monitors at 0 and 1
};

void PrintTo(const Host& host, std::ostream* out) {
    *out << host.name;
}

const Host kXScreenSaver{"XScreenSaver",
                         "xscreensaver",
                         true,
                         false,
                         {"xscreensaver", "-no-splash", "-log", "@/host.log"},
                         {"xscreensaver-command", "-activate"},
                         {"xscreensaver-command", "-deactivate"},
                         "Each"};

Host inStep(Host host, const char* name) {
    host.name = name;
    host.monitors = "Same";
    return host;
}

const Host kHosts[] = {
    kXScreenSaver,
    inStep(kXScreenSaver, "XScreenSaverSame"),
    {"Xsecurelock", "xsecurelock", false, false, {"xsecurelock"}, {}, {}, "Each"},
    {"MateScreensaver",
     "mate-screensaver",
     false,
     true,
     {"mate-screensaver", "--no-daemon"},
     {"mate-screensaver-command", "--activate"},
     {"mate-screensaver-command", "--deactivate"},
     "Each"},
};

// Long enough that both monitors still show their first movie when the last saver has started.
const ClipSpec kHostRed{"red.avi", "0xff0000", QSize(320, 240), 4.0};
const ClipSpec kHostGreen{"green.avi", "0x00ff00", QSize(200, 150), 4.0};

constexpr char kWrapper[] = R"(#!/bin/bash
export XDG_CONFIG_HOME=@/config XDG_RUNTIME_DIR=@/runtime
echo start >> @/savers.log
@BINARY "$@" & saver=$!
for signal in TERM INT HUP USR1; do trap "kill -$signal $saver 2>/dev/null" $signal; done
while kill -0 $saver 2>/dev/null; do wait $saver; done
wait $saver; status=$?
echo "exit $status" >> @/savers.log
exit $status
)";

class RealHostTest : public SaverTest, public ::testing::WithParamInterface<Host> {
protected:
    void SetUp() override {
        if (FDK_E2E_SANITIZED) GTEST_SKIP() << "the real hosts run in the plain build only";
        if (!twoScreensUnavailable().isEmpty())
            GTEST_SKIP() << "no two-screen X server: " << twoScreensUnavailable().toStdString();
        if (QStandardPaths::findExecutable(GetParam().program).isEmpty())
            GTEST_SKIP() << GetParam().program << " is not installed (scripts/install-deps.sh)";
        if ((GetParam().asUser || GetParam().systemHack) && geteuid() != 0)
            GTEST_SKIP() << GetParam().name << " needs root here: it runs hacks only as an "
                         << "ordinary user or only from its own folder";
        hack_ = GetParam().systemHack
                    ? QStringLiteral("/usr/libexec/xscreensaver/flickerdeck-test-%1").arg(getpid())
                    : home_.filePath("hack");
        ASSERT_TRUE(home_.isValid() && x_.connected());
        for (const char* folder :
             {"config/glib-2.0/settings", "runtime", "share/applications/screensavers"})
            ASSERT_TRUE(QDir(home_.path()).mkpath(folder));
        writeFile("config/glib-2.0/settings/keyfile",
                  "[org/mate/screensaver]\nmode='single'\nthemes=['screensavers-flickerdeck']\n"
                  "lock-enabled=false\n");
        writeFile(".xscreensaver",
                  "mode: one\nselected: 0\nverbose: True\nlock: False\n"
                  "splash: False\nprograms: \"Flickerdeck\" " +
                      hack_ + " -root\n");
        QFile theme(QStringLiteral(FDK_E2E_THEME));
        ASSERT_TRUE(theme.open(QIODevice::ReadOnly));
        writeFile("share/applications/screensavers/flickerdeck.desktop",
                  QString::fromUtf8(theme.readAll())
                      .replace(QRegularExpression("^((Try)?Exec)=.*$",
                                                  QRegularExpression::MultilineOption),
                               "\\1=" + QFileInfo(hack_).fileName()));
        // The host's own user may not reach the build folder (a checkout under /root): it runs
        // a copy from the test's home.
        QString binary = qEnvironmentVariable("FDK_E2E_BINARY", FDK_BINARY);
        if (GetParam().asUser) {
            ASSERT_TRUE(QFile::copy(binary, home_.filePath("flickerdeck")));
            binary = home_.filePath("flickerdeck");
        }
        QString wrapper = QString::fromLatin1(kWrapper);
        writeFile(hack_, wrapper.replace("@BINARY", binary));
        QFile::setPermissions(
            hack_, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
        writePlayList({clip(kHostRed) + " (Origin)", clip(kHostGreen) + " (Origin)"});
        testsupport::writeStoreFile(testsupport::readStoreFile() +
                                    "Monitors=" + GetParam().monitors + "\n");
        ASSERT_TRUE(QFile::copy(testsupport::storeFilePath(), home_.filePath("config/FDK.conf")));
        QFile::setPermissions(clipFolder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                QFile::ReadOther | QFile::ExeOther);
        if (GetParam().asUser) makeUser();
        startDaemons();
    }

    void TearDown() override {
        for (auto* process : {&host_, &bus_}) {
            process->terminate();
            if (!process->waitForFinished(5000)) process->kill();
        }
        if (GetParam().systemHack) QFile::remove(hack_);
        if (!user_.isEmpty()) removeUser(user_);
        SaverTest::TearDown();
    }

    // A relative name is in the test's home folder.
    void writeFile(const QString& name, QString text) {
        QFile file(QDir(home_.path()).absoluteFilePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.replace(u'@', home_.path()).toUtf8());
    }

    void makeUser() {
        user_ = SaverTest::makeUser("fdkhost", home_.path());
        QFile::setPermissions(home_.filePath("runtime"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // The host's environment is its own: nothing of the test's session.
    QProcessEnvironment environment() const {
        QProcessEnvironment variables;
        // XScreenSaver finds a hack named without its folder here, as in its own folder.
        variables.insert("PATH", home_.path() + ":/usr/bin:/bin");
        variables.insert("DISPLAY", qEnvironmentVariable("DISPLAY"));
        variables.insert("HOME", home_.path());
        variables.insert("XDG_CONFIG_HOME", home_.filePath("config"));
        variables.insert("XDG_DATA_DIRS", home_.filePath("share") + ":/usr/share");
        variables.insert("GSETTINGS_BACKEND", "keyfile");
        variables.insert("XDG_CURRENT_DESKTOP", "MATE");
        variables.insert("XSECURELOCK_SAVER", hack_);
        variables.insert("XSECURELOCK_NO_COMPOSITE", "1");
        if (!busAddress_.isEmpty()) variables.insert("DBUS_SESSION_BUS_ADDRESS", busAddress_);
        return variables;
    }

    QStringList asHost(QStringList command) const {
        command.replaceInStrings("@", home_.path());
        return user_.isEmpty() ? command : asUser(user_, command);
    }

    void startDaemons() {
        if (QString(GetParam().program) == "mate-screensaver") {
            bus_.start("dbus-daemon", {"--session", "--nofork", "--print-address"});
            ASSERT_TRUE(bus_.waitForReadyRead(10000));
            busAddress_ = QString::fromLatin1(bus_.readLine()).trimmed();
        }
        if (GetParam().activate.isEmpty()) return;
        launch(host_, GetParam().daemon);
        // Time to set itself up before it is told to activate.
        pause(1500);
    }

    void launch(QProcess& process, const QStringList& command) {
        process.setProcessEnvironment(environment());
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.setStandardOutputFile(home_.filePath("host.out"));
        const QStringList full = asHost(command);
        process.start(full.first(), full.mid(1));
        ASSERT_TRUE(process.waitForStarted(10000)) << command.join(' ').toStdString();
    }

    void command(const QStringList& words) {
        QProcess tool;
        launch(tool, words);
        EXPECT_TRUE(tool.waitForFinished(15000) && tool.exitCode() == 0)
            << words.join(' ').toStdString() << " failed";
    }

    void activate() {
        if (GetParam().activate.isEmpty()) return launch(host_, GetParam().daemon);
        command(GetParam().activate);
    }

    void deactivate() {
        if (!GetParam().deactivate.isEmpty()) return command(GetParam().deactivate);
        host_.terminate();
        host_.waitForFinished(10000);
    }

    QStringList saverLog() const {
        QFile log(home_.filePath("savers.log"));
        if (!log.open(QIODevice::ReadOnly)) return {};
        return QString::fromLatin1(log.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

    // Monitors that show the picture the full-screen saver shows there first: the first entry
    // on the left, and on the right the second with Each, the first with Same.
    int monitorsPlaying() {
        const QImage root = x_.grab(kPrimaryScreen.united(kSecondScreen));
        const bool each = QString(GetParam().monitors) == "Each";
        int playing = 0;
        for (const auto& [monitor, shown] :
             {std::pair(kPrimaryScreen, &kHostRed),
              std::pair(kSecondScreen, each ? &kHostGreen : &kHostRed)}) {
            const Frame frame = analyseArea(root, monitor);
            playing += frame.colour == (shown == &kHostRed ? Colour::Red : Colour::Green) &&
                       nearlyEqual(frame.picture, centredBox(monitor, shown->size));
        }
        return playing;
    }

    QTemporaryDir home_;
    QString hack_;
    XClient x_;
    QString user_;
    QString busAddress_;
    QProcess host_;
    QProcess bus_;
};

TEST_P(RealHostTest, EveryMonitorPlaysAndEverySaverEndsWithStatusZero) {
    const int rounds = qEnvironmentVariableIntValue("FDK_E2E_HOST_ROUNDS");
    for (int round = 0; round < std::max(rounds, 1); ++round) {
        const qsizetype logged = saverLog().size();
        activate();
        int playing = 0;
        eventually([&] { return (playing = monitorsPlaying()) == 2; }, 15000);
        // Long enough for a host to have restarted a saver that ended.
        pause(2000);
        const QStringList started = saverLog().mid(logged).filter("start");
        deactivate();
        eventually([&] { return saverLog().mid(logged).filter("exit").size() >= started.size(); },
                   10000);
        const QStringList exits = saverLog().mid(logged).filter("exit");
        if (rounds) {
            std::cout << "[ measured ] " << GetParam().name << " round " << round + 1 << ": "
                      << playing << " monitors playing, " << started.size() << " starts, "
                      << exits.join(", ").toStdString() << "\n";
            continue;
        }
        EXPECT_EQ(playing, 2) << "monitors with the movie";
        EXPECT_EQ(started.size(), 2) << "one saver per monitor, never restarted";
        EXPECT_EQ(exits.join(", ").toStdString(), "exit 0, exit 0");
    }
}

// An account without XScreenSaver settings: the one step writes them, and XScreenSaver plays the
// saver's entry, the last of its list, by name.
TEST_P(RealHostTest, OneStepListsTheSaverForAnAccountWithoutSettings) {
    if (!GetParam().asUser) GTEST_SKIP() << "XScreenSaver's own list";
    ASSERT_TRUE(QFile::remove(home_.filePath(".xscreensaver")));
    command({home_.filePath("flickerdeck"), "--add-to-xscreensaver"});
    QFile written(home_.filePath(".xscreensaver"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray text = written.readAll();
    ASSERT_TRUE(text.contains("\"Flickerdeck\"  flickerdeck -root"));
    command({"xscreensaver-command", "-select", QString::number(text.count("\\n"))});
    EXPECT_TRUE(eventually([&] { return monitorsPlaying() == 2; }, 15000));
    EXPECT_EQ(saverLog(), QStringList()) << "played through the fixture's own entry";
    deactivate();
}

INSTANTIATE_TEST_SUITE_P(Hosts, RealHostTest, ::testing::ValuesIn(kHosts),
                         [](const auto& info) { return std::string(info.param.name); });

using SettingsPreviewTest = SaverTest;

// A settings dialog's preview on one monitor while the host's saver plays on the other: both
// play, the preview a miniature of the full-screen view of its monitor.
TEST_F(SettingsPreviewTest, PlaysBesideAFullScreenHostedSaver) {
    if (!twoScreensUnavailable().isEmpty())
        GTEST_SKIP() << "no two-screen X server: " << twoScreensUnavailable().toStdString();
    XClient x;
    const QRect preview(kSecondScreen.topLeft() + QPoint(200, 100), QSize(566, 318));
    const xcb_window_t full = x.createWindow(kPrimaryScreen, 0xffffff);
    const xcb_window_t small = x.createWindow(preview, 0xffffff);
    ASSERT_TRUE(full && small);
    writePlayList({clip(kRedClip) + " (Origin)"});
    ASSERT_FALSE(HasFailure());
    QProcess& settings = startSaver({"--window-id", QString::number(small)});
    QProcess& saver = startSaver({}, {QStringLiteral("XSCREENSAVER_WINDOW=%1").arg(full)});

    const double scale = 318.0 / kSecondScreen.height();
    const QRect fullBox = centredBox(kPrimaryScreen, kRedClip.size);
    const QRect previewBox = centredBox(preview, (QSizeF(kRedClip.size) * scale).toSize());
    Frame seen[2];
    EXPECT_TRUE(eventually(
        [&] {
            const QImage root = x.grab(kPrimaryScreen.united(kSecondScreen));
            seen[0] = analyseArea(root, kPrimaryScreen);
            seen[1] = analyseArea(root, preview);
            return seen[0].colour == Colour::Red && nearlyEqual(seen[0].picture, fullBox) &&
                   seen[1].colour == Colour::Red && nearlyEqual(seen[1].picture, previewBox);
        },
        15000))
        << "full screen: " << seen[0] << "; preview: " << seen[1]
        << "; running: " << saver.waitForFinished(0) << settings.waitForFinished(0);
    for (QProcess* process : {&settings, &saver}) {
        ASSERT_TRUE(sendSignal(*process, SIGTERM));
        EXPECT_TRUE(endsCleanlyWithin(*process, kEndsAfterSignalMs));
    }
}

}  // namespace
}  // namespace e2e
