#include "settings/store.h"

#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "platform/private_files.h"
#include "settings/store_format.h"

namespace settings {
namespace {

constexpr qint64 kLargestStoreFile = qint64(1) << 30;

QString storePath(const QString& application) {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QFileInfo(folder + u'/' + application + QStringLiteral(".conf")).absoluteFilePath();
}

QString path(const QString& section, const QString& key) {
    return section + u'/' + key;
}

}  // namespace

Store::Store(const QString& application) : path_(storePath(application)) {
    refresh();
}

void Store::refresh() {
    if (!mayReadStoreFile(path_)) return;
    if (settings_)
        settings_->sync();
    else
        settings_ = std::make_unique<QSettings>(path_, storeFormat());
}

QString Store::GetSetting(const QString& section, const QString& key,
                          const QString& defaultValue) const {
    const QVariant value = settings_ ? settings_->value(path(section, key)) : QVariant();
    return value.isValid() ? value.toString() : defaultValue;
}

QStringList Store::keysIn(const QString& section) const {
    if (!settings_) return {};
    settings_->beginGroup(section);
    const QStringList keys = settings_->childKeys();
    settings_->endGroup();
    return keys;
}

void Store::SaveSetting(const QString& section, const QString& key, const QString& value) {
    if (settings_) settings_->setValue(path(section, key), value);
}

bool Store::commit(QString* error) {
    if (!settings_ || !mayWriteStoreFile(path_)) {
        if (error) *error = QObject::tr("%1 is not a regular file of yours").arg(path_);
        return false;
    }
    settings_->sync();
    // A damaged file still gets written over (FormatError), so only AccessError means the save
    // did not reach the disk. status() never clears, so a save whose outcome matters uses a
    // fresh Store.
    if (settings_->status() != QSettings::AccessError) return true;
    if (error) *error = statusText(QSettings::AccessError);
    return false;
}

QString statusText(QSettings::Status status) {
    switch (status) {
        case QSettings::NoError:
            return QStringLiteral("no error");
        case QSettings::AccessError:
            return QStringLiteral("the settings file could not be written");
        case QSettings::FormatError:
            return QStringLiteral("the settings file is damaged");
    }
    return {};
}

bool mayReadStoreFile(const QString& path) {
    const QFileInfo file(path);
    return !file.exists() || file.isFile();
}

bool mayWriteStoreFile(const QString& path) {
    const QFileInfo file(path);
    return !file.exists() ||
           (file.isFile() && (!file.isSymLink() || file.ownerId() == ::geteuid()));
}

std::optional<QByteArray> readStoreFile(const QString& path) {
    if (!mayReadStoreFile(path)) return std::nullopt;
    return platform::readRegularFile(QFileInfo(path).canonicalFilePath(), kLargestStoreFile);
}

}  // namespace settings
