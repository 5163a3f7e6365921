#pragma once

#include <QSettings>
#include <QString>
#include <memory>
#include <optional>

// The per-user store of application "FDK": the file $XDG_CONFIG_HOME/FDK.conf, in the format of
// store_format.h. Other processes read and write it at the same time, so readers refresh once and
// then read everything they need from that one snapshot, and every save is one sync().
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

    QString fileName() const { return path_; }

private:
    QString path_;
    // None while something other than a regular file stands at the path: a FIFO there would
    // hold up every read, a device link would be replaced by the first save.
    std::unique_ptr<QSettings> settings_;
};

QString statusText(QSettings::Status status);

// The store file may be read when it is missing or a regular file (through links); it may be
// written when, besides, a link to it leads to a file of this user's own (a dotfile manager's
// link), so a save never replaces a device node or another user's file.
bool mayReadStoreFile(const QString& path);
bool mayWriteStoreFile(const QString& path);

// The store file's contents as they are on disk, read as mayReadStoreFile allows.
std::optional<QByteArray> readStoreFile(const QString& path);

}  // namespace settings
