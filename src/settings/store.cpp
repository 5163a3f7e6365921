#include "settings/store.h"

namespace settings {
namespace {

std::unique_ptr<QSettings> openStore(const QString& application) {
    auto s =
        std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, application);
    s->setFallbacksEnabled(false);
    return s;
}

QString path(const QString& section, const QString& key) {
    return section + u'/' + key;
}

}  // namespace

Store::Store(const QString& application) : settings_(openStore(application)) {}

void Store::refresh() {
    settings_->sync();
}

QString Store::GetSetting(const QString& section, const QString& key,
                          const QString& defaultValue) const {
    const QVariant value = settings_->value(path(section, key));
    if (!value.isValid()) return defaultValue;
    // An unquoted comma written by hand ("/films/train, ride.avi") makes QSettings read a list.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

QStringList Store::keysIn(const QString& section) const {
    settings_->beginGroup(section);
    const QStringList keys = settings_->childKeys();
    settings_->endGroup();
    return keys;
}

void Store::SaveSetting(const QString& section, const QString& key, const QString& value) {
    settings_->setValue(path(section, key), value);
}

bool Store::commit(QString* error) {
    settings_->sync();
    // A damaged file still gets written over (FormatError), so only AccessError means the save
    // did not reach the disk. status() never clears, so a save whose outcome matters uses a
    // fresh Store.
    if (settings_->status() != QSettings::AccessError) return true;
    if (error) *error = statusText(QSettings::AccessError);
    return false;
}

QString Store::fileName() const {
    return settings_->fileName();
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

}  // namespace settings
