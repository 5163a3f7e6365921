#include "settings/damage.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include "platform/private_files.h"
#include "settings/store.h"
#include "settings/store_format.h"

namespace settings {
namespace {

constexpr int kKeptCopies = 5;

QString copyName(const QString& storeFile, int number) {
    return storeFile +
           (number == 1 ? QStringLiteral(".corrupt") : QStringLiteral(".corrupt.%1").arg(number));
}

}  // namespace

bool isDamagedStoreText(const QByteArray& text) {
    return parseStoreText(text).damaged;
}

QString keepCopyOfDamagedStore(const QString& storeFile) {
    const auto text = readStoreFile(storeFile);
    if (!text || !isDamagedStoreText(*text)) return {};
    QString free, oldest;
    QDateTime oldestTime;
    for (int number = kKeptCopies; number >= 1; --number) {
        const QString copy = copyName(storeFile, number);
        const QFileInfo kept(copy);
        if (!kept.exists() && !kept.isSymLink()) {
            free = copy;
            continue;
        }
        if (platform::readRegularFile(copy, text->size()) == *text) return copy;
        if (oldest.isEmpty() || kept.lastModified() <= oldestTime) {
            oldest = copy;
            oldestTime = kept.lastModified();
        }
    }
    const QString copy = free.isEmpty() ? oldest : free;
    return platform::replaceFile(copy, *text) ? copy : QString();
}

void removeAbandonedLock(const QString& storeFile) {
    const QByteArray lock = QFile::encodeName(storeFile + QStringLiteral(".lock"));
    struct stat status {};
    if (::lstat(lock.constData(), &status) != 0) return;
    if (S_ISDIR(status.st_mode)) {
        ::rmdir(lock.constData());
    } else if (!S_ISREG(status.st_mode) ||
               (status.st_size == 0 && QDateTime::currentSecsSinceEpoch() - status.st_mtime > 5)) {
        ::unlink(lock.constData());
    }
}

}  // namespace settings
