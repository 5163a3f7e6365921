#include "e2e/saver_test.h"

#include <signal.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPixmap>
#include <QRegularExpression>
#include <QScreen>
#include <QThread>
#include <sstream>

#include "support/clips.h"
#include "support/store_file.h"

namespace e2e {

void SaverTest::TearDown() {
    for (const auto& saver : savers_) {
        if (saver->state() == QProcess::NotRunning) continue;
        saver->kill();
        saver->waitForFinished(5000);
    }
}

QString SaverTest::clip(const ClipSpec& wanted) {
    const QString path = testsupport::solidClip(clips_.path(), wanted.fileName, wanted.colour,
                                                wanted.size, wanted.seconds);
    if (path.isEmpty()) ADD_FAILURE() << "ffmpeg could not make " << wanted.fileName;
    return path;
}

QString SaverTest::tone(const char* fileName, double seconds) {
    const QString path = testsupport::toneClip(clips_.path(), fileName, seconds);
    if (path.isEmpty()) ADD_FAILURE() << "ffmpeg could not make " << fileName;
    return path;
}

QString SaverTest::rampClip(const char* fileName, double seconds) {
    const QString path = QDir(clips_.path()).absoluteFilePath(fileName);
    const QString ramp = QStringLiteral("color=s=320x240:r=25:d=%1,geq=r=255:g='255*T/%1':b=0");
    if (!testsupport::runFfmpeg({"-f", "lavfi", "-i", ramp.arg(seconds), "-c:v", "mpeg4", path}))
        ADD_FAILURE() << "ffmpeg could not make " << fileName;
    return path;
}

std::optional<double> SaverTest::rampSeconds(const Frame& frame, double length) {
    if (frame.picture.isEmpty() || qRed(frame.middle) < 160 || qBlue(frame.middle) > 90)
        return std::nullopt;
    return qGreen(frame.middle) * length / 255.0;
}

std::optional<double> SaverTest::waitForRamp(double length, double seconds) {
    std::optional<double> shown;
    const auto far = [&](const Frame& f) { return (shown = rampSeconds(f, length)) >= seconds; };
    return showsFrame(far, "the clip far enough", int(seconds) * 1000 + 20000) ? shown
                                                                               : std::nullopt;
}

void SaverTest::writePlayList(const QStringList& entries, int active) {
    QString ini = QStringLiteral("[Movies]\nCount=%1\n\n[Movie]\n").arg(entries.size() - 1);
    for (qsizetype i = 0; i < entries.size(); ++i)
        ini += QStringLiteral("%1=%2\n").arg(i).arg(entries.at(i));
    ini += QStringLiteral("\n[Settings]\nActive=%1\n").arg(active);
    testsupport::writeStoreFile(ini);
}

QProcess& SaverTest::startSaver(const QStringList& arguments, const QStringList& environment,
                                QProcess::ProcessChannelMode channels) {
    auto saver = std::make_unique<QProcess>();
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    // The test process itself runs on xcb; the program picks its own platform from DISPLAY.
    variables.remove(QStringLiteral("QT_QPA_PLATFORM"));
    for (const char* name : {"DISPLAY", "XDG_CONFIG_HOME", "XDG_RUNTIME_DIR", "XDG_STATE_HOME"})
        variables.insert(name, qEnvironmentVariable(name));
    for (const QString& entry : environment)
        variables.insert(entry.section(u'=', 0, 0), entry.section(u'=', 1));
    saver->setProcessEnvironment(variables);
    saver->setProcessChannelMode(channels);
    // Another build of the program may stand in, to compare its behaviour with this one's.
    saver->start(qEnvironmentVariable("FDK_E2E_BINARY", QStringLiteral(FDK_BINARY)), arguments);
    EXPECT_TRUE(saver->waitForStarted(10000)) << qPrintable(saver->errorString());
    savers_.push_back(std::move(saver));
    return *savers_.back();
}

QProcess* SaverTest::startPlayingRed(int active) {
    writePlayList({clip(kRedClip) + " (Origin)"}, active);
    QProcess& saver = startSaver();
    const auto playing = showsPicture(Colour::Red, kRedBox);
    EXPECT_TRUE(playing);
    return playing ? &saver : nullptr;
}

QStringList SaverTest::heldClips(const QProcess& saver) const {
    QStringList held;
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(saver.processId()));
    for (const QString& fd : fds.entryList(QDir::Files | QDir::System)) {
        const QFileInfo target(QFileInfo(fds.filePath(fd)).symLinkTarget());
        if (target.absolutePath() == QDir(clips_.path()).canonicalPath())
            held.append(target.fileName());
    }
    return held;
}

Frame SaverTest::grabFrame(const QRect& area) {
    // Only the area: a row of the screen is read many times faster than the whole screen.
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(),
                                                                      area.width(), area.height());
    Frame frame = analyseFrame(shot.toImage());
    if (!frame.picture.isEmpty()) frame.picture.translate(area.topLeft());
    return frame;
}

::testing::AssertionResult SaverTest::showsFrame(const std::function<bool(const Frame&)>& wanted,
                                                 const char* what, int timeoutMs,
                                                 const QRect& area) {
    const QDeadlineTimer deadline(timeoutMs);
    Frame frame;
    do {
        frame = grabFrame(area);
        if (wanted(frame)) return ::testing::AssertionSuccess();
        pause(100);
    } while (!deadline.hasExpired());
    return ::testing::AssertionFailure() << "never " << what << "; last seen: " << frame;
}

::testing::AssertionResult SaverTest::showsPicture(Colour colour, const QRect& box, int timeoutMs,
                                                   const QRect& area) {
    const std::string what = std::string("a ") + colourName(colour) + " picture in its box";
    return showsFrame(
        [&](const Frame& frame) {
            return frame.covered && frame.colour == colour && nearlyEqual(frame.picture, box);
        },
        what.c_str(), timeoutMs, area);
}

std::optional<Frame> SaverTest::firstPicture() {
    Frame shown;
    const auto picture = [&](const Frame& f) {
        return (shown = f).covered && !f.picture.isEmpty();
    };
    return showsFrame(picture, "a picture", 10000) ? std::optional(shown) : std::nullopt;
}

std::vector<Colour> SaverTest::watchPictures(QProcess& saver, size_t enough, int timeoutMs,
                                             std::string* uncovered, const QRect& area) {
    std::vector<Colour> pictures;
    bool windowUp = false;
    const QDeadlineTimer deadline(timeoutMs);
    while (pictures.size() < enough && !deadline.hasExpired()) {
        const Frame frame = grabFrame(area);
        // The window goes away a moment before the process ends.
        if (saver.state() == QProcess::NotRunning || saver.waitForFinished(0)) break;
        windowUp = windowUp || frame.covered;
        if (!windowUp) {
            pause(50);
            continue;
        }
        if (!frame.covered) {
            std::ostringstream where;
            where << frame << "\n";
            uncovered->append(where.str());
        }
        if (frame.colour != Colour::Black && (pictures.empty() || pictures.back() != frame.colour))
            pictures.push_back(frame.colour);
        pause(150);
    }
    return pictures;
}

::testing::AssertionResult SaverTest::sendSignal(QProcess& saver, int signal) {
    if (saver.state() == QProcess::NotRunning || saver.waitForFinished(0))
        return ::testing::AssertionFailure() << "the saver has already ended";
    const auto pid = static_cast<pid_t>(saver.processId());
    if (pid <= 0 || ::kill(pid, signal) != 0)
        return ::testing::AssertionFailure() << "could not signal process " << pid;
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult SaverTest::endsCleanlyWithin(QProcess& saver, int timeoutMs) {
    if (saver.state() != QProcess::NotRunning && !saver.waitForFinished(timeoutMs))
        return ::testing::AssertionFailure() << "still running " << timeoutMs << " ms later";
    if (saver.exitStatus() != QProcess::NormalExit)
        return ::testing::AssertionFailure() << "crashed";
    if (saver.exitCode() != 0)
        return ::testing::AssertionFailure() << "ended with exit code " << saver.exitCode();
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult SaverTest::keepsRunningFor(QProcess& saver, int ms) {
    if (saver.state() != QProcess::NotRunning && !saver.waitForFinished(ms))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "ended " << (saver.exitStatus() == QProcess::NormalExit ? "" : "by a crash ")
           << "with exit code " << saver.exitCode();
}

QRect SaverTest::centredBox(const QRect& area, QSize picture) {
    QRect box(QPoint(0, 0), picture - QSize(0, 2));
    box.moveTo(area.x() + (area.width() - box.width()) / 2,
               area.y() + (area.height() - box.height()) / 2);
    return box;
}

bool SaverTest::eventually(const std::function<bool()>& condition, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    do {
        if (condition()) return true;
        pause(100);
    } while (!deadline.hasExpired());
    return false;
}

QString SaverTest::makeUser(const QString& prefix, const QString& home) {
    const QString user = prefix + QString::number(getpid());
    run({"useradd", "--system", "--no-create-home", "--home-dir", home, "--shell",
         "/usr/sbin/nologin", user});
    run({"chown", "-R", user + ":", home});
    return user;
}

// The parent's death signal set for the test survives the change of user.
QStringList SaverTest::asUser(const QString& user, const QStringList& command) {
    return QStringList{"setpriv", "--reuid=" + user, "--regid=" + user, "--init-groups",
                       "--pdeathsig=keep"} +
           command;
}

void SaverTest::removeUser(const QString& user) {
    QString left;
    eventually([&] { return (left = run({"pgrep", "-a", "-u", user})).isEmpty(); }, 3000);
    EXPECT_EQ(left.toStdString(), "") << "processes of " << user.toStdString() << " left behind";
    run({"pkill", "-KILL", "-u", user});
    run({"userdel", user});
}

QString SaverTest::run(const QStringList& command) {
    QProcess tool;
    tool.start(command.first(), command.mid(1));
    tool.waitForFinished(15000);
    return QString::fromLocal8Bit(tool.readAll()).trimmed();
}

bool SaverTest::xdotool(const QStringList& arguments) {
    QProcess tool;
    tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tool.start(QStringLiteral("xdotool"), arguments);
    return tool.waitForFinished(10000) && tool.exitStatus() == QProcess::NormalExit &&
           tool.exitCode() == 0;
}

std::optional<QPoint> SaverTest::pointer() {
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), {QStringLiteral("getmouselocation")});
    if (!tool.waitForFinished(10000)) return std::nullopt;
    static const QRegularExpression location(QStringLiteral("x:(\\d+) y:(\\d+)"));
    const auto match = location.match(QString::fromLocal8Bit(tool.readAllStandardOutput()));
    if (!match.hasMatch()) return std::nullopt;
    return QPoint(match.captured(1).toInt(), match.captured(2).toInt());
}

bool SaverTest::waitForPointer(QPoint position, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    do {
        if (pointer() == position) return true;
        pause(100);
    } while (!deadline.hasExpired());
    return false;
}

void SaverTest::pause(int ms) {
    QThread::msleep(static_cast<unsigned long>(ms));
}

}  // namespace e2e
