#include "support/store_file.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

namespace testsupport {

QString storeFilePath() {
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/FDK.conf");
}

void writeStoreFile(const QString& iniText) {
    QFile::remove(storeFilePath());
    if (iniText.isEmpty()) return;
    QFile file(storeFilePath());
    if (!file.open(QIODevice::WriteOnly)) return;
    file.write(iniText.toUtf8());
    file.flush();
    // QSettings caches a file per process and knows it changed by size and modification time;
    // rewrites within one millisecond would otherwise go unseen.
    static int rewrites = 0;
    file.setFileTime(QDateTime::currentDateTime().addSecs(++rewrites),
                     QFileDevice::FileModificationTime);
}

QString readStoreFile() {
    QFile file(storeFilePath());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

}  // namespace testsupport
