#include "support/clips.h"

#include <QDir>
#include <QProcess>

namespace testsupport {

bool runFfmpeg(const QStringList& arguments) {
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 QStringList{"-hide_banner", "-loglevel", "error", "-nostdin", "-y"} + arguments);
    return ffmpeg.waitForFinished(60000) && ffmpeg.exitStatus() == QProcess::NormalExit &&
           ffmpeg.exitCode() == 0;
}

QString solidClip(const QString& folder, const QString& name, const QString& colour, QSize size,
                  double seconds, const QString& sampleAspect) {
    const QString path = QDir(folder).absoluteFilePath(name);
    const QString source = QStringLiteral("color=c=%1:s=%2x%3:d=%4:r=25")
                               .arg(colour)
                               .arg(size.width())
                               .arg(size.height())
                               .arg(seconds);
    const bool ok = runFfmpeg({"-f", "lavfi", "-i", source, "-vf", "setsar=" + sampleAspect, "-c:v",
                               "mpeg4", "-q:v", "2", path});
    return ok ? path : QString();
}

QString toneClip(const QString& folder, const QString& name, double seconds) {
    const QString path = QDir(folder).absoluteFilePath(name);
    const bool ok =
        runFfmpeg({"-f", "lavfi", "-i", QStringLiteral("sine=d=%1").arg(seconds), path});
    return ok ? path : QString();
}

}  // namespace testsupport
