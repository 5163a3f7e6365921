#include "saver/resume_state.h"

#include <QDir>
#include <QFileInfo>

#include "platform/private_files.h"

namespace saver {

QString resumeStateFile() {
    QString folder = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(folder)) folder = QDir::homePath() + QStringLiteral("/.local/state");
    return folder + QStringLiteral("/flickerdeck/resume");
}

qint16 readResumePosition(const QString& file) {
    bool ok = false;
    const int position =
        QString::fromLatin1(platform::readRegularFile(file, 16).value_or(QByteArray()))
            .trimmed()
            .toInt(&ok);
    return ok && position >= 0 && position <= 32766 ? static_cast<qint16>(position) : 0;
}

bool writeResumePosition(const QString& file, qint16 position) {
    return platform::makePrivateFolder(QFileInfo(file).path()) &&
           platform::replaceFile(file, QByteArray::number(position) + '\n');
}

}  // namespace saver
