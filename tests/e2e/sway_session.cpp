#include "e2e/sway_session.h"

#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

namespace e2e {
namespace {

constexpr char kConfig[] =
    "xwayland enable\n"
    // White wherever no window covers an output.
    "output * bg #ffffff solid_color\n"
    "default_border none\n";

void dieWithTheTest() {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
}

}  // namespace

QString SwaySession::start() {
    if (geteuid() != 0) return "needs root to make a user for sway and namespaces for XWayland";
    for (const char* tool : {"sway", "grim", "wtype", "Xwayland", "unshare", "nsenter"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            return QString(tool) + " is not installed (scripts/install-deps.sh)";
    if (!home_.isValid() || !QDir(home_.path()).mkpath("runtime")) return "no home folder";
    QFile config(home_.filePath("sway.conf"));
    if (!config.open(QIODevice::WriteOnly) || config.write(kConfig) < 0) return "no config";
    config.close();
    QFile::setPermissions(home_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                            QFile::ReadOther | QFile::ExeOther);
    user_ = std::make_unique<ThrowawayUser>("fdkway", home_.path());
    QFile::setPermissions(home_.filePath("runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QStringList sway = user_->as(
        {"env", "-i", "PATH=/usr/bin:/bin", "HOME=" + home(),
         "XDG_RUNTIME_DIR=" + home() + "/runtime", "WLR_BACKENDS=headless", "WLR_RENDERER=pixman",
         "WLR_LIBINPUT_NO_DEVICES=1", "sway", "-c", home_.filePath("sway.conf")});
    sway_.setChildProcessModifier(dieWithTheTest);
    sway_.setProcessChannelMode(QProcess::MergedChannels);
    sway_.setStandardOutputFile(home_.filePath("sway.log"));
    // XWayland's sockets in a folder of this session's own.
    sway_.start("unshare", QStringList{"--mount", "--net", "--propagation", "private", "sh", "-c",
                                       "mount -t tmpfs -o mode=1777 none /tmp/.X11-unix && "
                                       "exec \"$@\"",
                                       "sh"} +
                               sway);
    if (!sway_.waitForStarted(10000)) return "unshare did not start";
    pid_ = QString::number(sway_.processId());
    return waitUntilReady();
}

QString SwaySession::waitUntilReady() {
    const QDeadlineTimer deadline(20000);
    const QDir runtime(home_.filePath("runtime"));
    QStringList x;
    while (!deadline.hasExpired() && sway_.state() == QProcess::Running) {
        const QStringList sockets = runtime.entryList({"wayland-*"}, QDir::System);
        if (!sockets.isEmpty() && run({"swaymsg", "-t", "get_outputs"})) {
            waylandDisplay_ = sockets.filter(QRegularExpression("^wayland-\\d+$")).value(0);
            x = ThrowawayUser::run({"nsenter", "-t", pid_, "-m", "ls", "/tmp/.X11-unix"})
                    .split('\n', Qt::SkipEmptyParts);
            if (!waylandDisplay_.isEmpty() && !x.isEmpty()) break;
        }
        QThread::msleep(100);
    }
    if (x.isEmpty()) return "sway did not come up; its log is " + home_.filePath("sway.log");
    xDisplay_ = ":" + x.first().mid(1);
    devices_.setChildProcessModifier(dieWithTheTest);
    devices_.start(inside({QStringLiteral(FDK_E2E_VIRTUAL_INPUT)}).first(),
                   inside({QStringLiteral(FDK_E2E_VIRTUAL_INPUT)}).mid(1));
    if (!devices_.waitForReadyRead(10000)) return "no virtual pointer and keyboard in sway";
    return {};
}

SwaySession::~SwaySession() {
    for (QProcess* process : {&devices_, &sway_}) {
        if (process->state() == QProcess::NotRunning) continue;
        process->terminate();
        if (!process->waitForFinished(5000)) process->kill();
        process->waitForFinished(5000);
    }
    user_.reset();
}

QStringList SwaySession::inside(const QStringList& command, const QStringList& environment) const {
    QStringList session{"env",
                        "-i",
                        "PATH=/usr/bin:/bin",
                        "HOME=" + home(),
                        "XDG_RUNTIME_DIR=" + home() + "/runtime",
                        "WAYLAND_DISPLAY=" + waylandDisplay_,
                        "DISPLAY=" + xDisplay_};
    const QStringList sockets =
        QDir(home_.filePath("runtime")).entryList({"sway-ipc.*"}, QDir::System);
    if (!sockets.isEmpty()) session << "SWAYSOCK=" + home_.filePath("runtime/" + sockets.first());
    return QStringList{"nsenter", "-t", pid_, "-m", "-n"} +
           user_->as(session + environment + command);
}

bool SwaySession::run(const QStringList& command) const {
    const QStringList full = inside(command);
    QProcess tool;
    tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tool.start(full.first(), full.mid(1));
    return tool.waitForFinished(15000) && tool.exitStatus() == QProcess::NormalExit &&
           tool.exitCode() == 0;
}

QImage SwaySession::screenshot() const {
    const QString file = home_.filePath("screen.png");
    QFile::remove(file);
    return run({"grim", "-c", file}) ? QImage(file) : QImage();
}

}  // namespace e2e
