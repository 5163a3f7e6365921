#include "saver/resume_state.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace saver {

QString resumeStateFile() {
    QString folder = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(folder)) folder = QDir::homePath() + QStringLiteral("/.local/state");
    return folder + QStringLiteral("/flickerdeck/resume");
}

qint16 readResumePosition(const QString& file) {
    QFile state(file);
    if (!state.open(QIODevice::ReadOnly)) return 0;
    bool ok = false;
    const int position = QString::fromLatin1(state.read(16)).trimmed().toInt(&ok);
    return ok && position >= 0 && position <= 32766 ? static_cast<qint16>(position) : 0;
}

bool writeResumePosition(const QString& file, qint16 position) {
    if (!QDir().mkpath(QFileInfo(file).path())) return false;
    QSaveFile state(file);
    if (!state.open(QIODevice::WriteOnly)) return false;
    state.write(QByteArray::number(position) + '\n');
    return state.commit();
}

}  // namespace saver
