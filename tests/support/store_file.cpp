#include "support/store_file.h"

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
    if (file.open(QIODevice::WriteOnly)) file.write(iniText.toUtf8());
}

QString readStoreFile() {
    QFile file(storeFilePath());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

}  // namespace testsupport
