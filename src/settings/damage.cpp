#include "settings/damage.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>

namespace settings {
namespace {

bool isUtf8(QByteArrayView text) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] const QString decoded = decoder.decode(text);
    return !decoder.hasError();
}

}  // namespace

bool isDamagedStoreText(const QByteArray& text) {
    QByteArrayView body(text);
    if (body.startsWith("\xEF\xBB\xBF")) body = body.sliced(3);
    if (!isUtf8(body)) return true;
    QByteArray section;
    QSet<QByteArray> keys;
    for (const QByteArray& rawLine : QByteArray(body.data(), body.size()).split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#')) continue;
        if (line.startsWith('[')) {
            if (!line.endsWith(']')) return true;
            section = line;
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0) return true;
        const QByteArray key = section + '\n' + line.left(equals).trimmed();
        if (keys.contains(key)) return true;
        keys.insert(key);
    }
    return false;
}

QString keepCopyOfDamagedStore(const QString& storeFile) {
    QFile file(storeFile);
    if (!file.open(QIODevice::ReadOnly) || !isDamagedStoreText(file.readAll())) return {};
    QString copy = storeFile + QStringLiteral(".corrupt");
    for (int n = 2; QFile::exists(copy); ++n)
        copy = storeFile + QStringLiteral(".corrupt.%1").arg(n);
    return QFile::copy(storeFile, copy) ? copy : QString();
}

void removeAbandonedLock(const QString& storeFile) {
    const QFileInfo lock(storeFile + QStringLiteral(".lock"));
    if (lock.exists() && lock.size() == 0 &&
        lock.lastModified().secsTo(QDateTime::currentDateTime()) > 5)
        QFile::remove(lock.filePath());
}

}  // namespace settings
