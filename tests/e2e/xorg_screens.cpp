#include "e2e/xorg_screens.h"

#include <unistd.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

namespace e2e {
namespace {

const char* const kDummyDriver = "/usr/lib/xorg/modules/drivers/dummy_drv.so";

QString run(const QString& program, const QStringList& arguments) {
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(program, arguments);
    if (!tool.waitForFinished(10000)) return program + QStringLiteral(" did not finish");
    if (tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0) return {};
    return program + u' ' + arguments.join(u' ') + QStringLiteral(" failed: ") +
           QString::fromLocal8Bit(tool.readAll()).trimmed();
}

QString logTail(const QString& log) {
    QFile file(log);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray text = file.readAll();
    return QString::fromLocal8Bit(text.right(1500));
}

}  // namespace

QString startTwoScreenXorg(XServer& server, const QString& logFolder) {
    if (geteuid() != 0) return QStringLiteral("Xorg with its own configuration needs root");
    if (QStandardPaths::findExecutable(QStringLiteral("Xorg")).isEmpty() ||
        !QFile::exists(kDummyDriver))
        return QStringLiteral("needs the packages xserver-xorg-core and xserver-xorg-video-dummy");
    if (QStandardPaths::findExecutable(QStringLiteral("xrandr")).isEmpty())
        return QStringLiteral("needs xrandr (package x11-xserver-utils)");

    const QString log = logFolder + QStringLiteral("/xorg.log");
    QString error;
    if (!server.start(QStringLiteral("Xorg"),
                      {"-noreset", "-novtswitch", "-nolisten", "tcp", "-wr", "-config",
                       QStringLiteral(FDK_E2E_XORG_CONFIG), "-logfile", log},
                      &error))
        return error + QStringLiteral("\n") + logTail(log);
    qputenv("DISPLAY", server.display().toLocal8Bit());

    for (const QStringList& step : {
             QStringList{"--newmode", "1024x768_60", "63.50", "1024", "1072", "1176", "1328", "768",
                         "771", "775", "798", "-hsync", "+vsync"},
             QStringList{"--addmode", "DUMMY1", "1024x768_60"},
         }) {
        error = xrandr(step);
        if (!error.isEmpty()) return error;
    }
    return restoreTwoScreens();
}

QString xrandr(const QStringList& arguments) {
    return run(QStringLiteral("xrandr"), arguments);
}

QString restoreTwoScreens() {
    const QString first = xrandr({"--output", "DUMMY0", "--mode", "1280x960", "--primary"});
    const QString second =
        xrandr({"--output", "DUMMY1", "--mode", "1024x768_60", "--right-of", "DUMMY0"});
    return first + second;
}

QString& twoScreensUnavailable() {
    static QString reason;
    return reason;
}

}  // namespace e2e
