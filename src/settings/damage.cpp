#include "settings/damage.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSettings>
#include <QStringDecoder>
#include <QTemporaryFile>
#include <optional>

namespace settings {
namespace {

bool isUtf8(QByteArrayView text) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] const QString decoded = decoder.decode(text);
    return !decoder.hasError();
}

// The keys the text gives, read the plain way the program writes them; none when a line is
// neither blank, a comment, a [section] nor key=value, or a key comes twice.
std::optional<QSet<QString>> plainKeys(QByteArrayView body) {
    QByteArray section;
    QSet<QString> keys;
    for (QByteArray line : QByteArray(body.data(), body.size()).replace('\r', '\n').split('\n')) {
        while (line.startsWith(' ') || line.startsWith('\t')) line.remove(0, 1);
        while (line.endsWith(' ') || line.endsWith('\t')) line.chop(1);
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#')) continue;
        if (line.startsWith('[')) {
            if (!line.endsWith(']')) return std::nullopt;
            section = line.mid(1, line.size() - 2);
            if (section == "General") section.clear();
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0) return std::nullopt;
        const QByteArray key = line.left(equals).trimmed();
        const QString path = QString::fromUtf8(section.isEmpty() ? key : section + '/' + key);
        if (keys.contains(path)) return std::nullopt;
        keys.insert(path);
    }
    return keys;
}

// The keys QSettings itself finds in the text, read from a private copy: the store's own path
// would be answered from the process's cache.
QSet<QString> keysQSettingsReads(QByteArrayView text) {
    QTemporaryFile copy(QDir::tempPath() + QStringLiteral("/fdk-check-XXXXXX.conf"));
    if (!copy.open() || copy.write(text.data(), text.size()) != text.size() || !copy.flush())
        return {};
    const QSettings reader(copy.fileName(), QSettings::IniFormat);
    const QStringList keys = reader.allKeys();
    return QSet<QString>(keys.begin(), keys.end());
}

}  // namespace

bool isDamagedStoreText(const QByteArray& text) {
    QByteArrayView body(text);
    if (body.startsWith("\xEF\xBB\xBF")) body = body.sliced(3);
    if (!isUtf8(body)) return true;
    const auto keys = plainKeys(body);
    return !keys || *keys != keysQSettingsReads(text);
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
