#pragma once

#include <QSettings>
#include <QString>
#include <memory>

// The per-user store of application "FDK": the INI file $XDG_CONFIG_HOME/FDK.conf on Linux, the
// registry on Windows. Other processes read and write it at the same time, so readers refresh
// once and then read everything they need from that one snapshot, and every save is one sync().
namespace settings {

inline const QString kAppName = QStringLiteral("FDK");
inline const QString kSectionSettings = QStringLiteral("Settings");
inline const QString kKeyActive = QStringLiteral("Active");
inline const QString kSectionMovies = QStringLiteral("Movies");
inline const QString kKeyCount = QStringLiteral("Count");
inline const QString kSectionMovie = QStringLiteral("Movie");

class Store {
public:
    explicit Store(const QString& application = kAppName);

    // Picks up what other processes saved since the last refresh.
    void refresh();

    QString GetSetting(const QString& section, const QString& key,
                       const QString& defaultValue) const;
    QStringList keysIn(const QString& section) const;

    // Values are buffered until commit(), which writes them all at once; false with a reason
    // when the file could not be written.
    void SaveSetting(const QString& section, const QString& key, const QString& value);
    bool commit(QString* error = nullptr);

    QString fileName() const;

private:
    std::unique_ptr<QSettings> settings_;
};

QString statusText(QSettings::Status status);

}  // namespace settings
