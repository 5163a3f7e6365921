#include "settings/playlist.h"

#include "platform/single_editor.h"
#include "settings/damage.h"

namespace settings {
namespace {

// Only the canonical form the program writes: no sign, blank or leading zero.
std::optional<int> positionFromKey(const QString& key) {
    if (key.isEmpty() || key.size() > 5 || (key.size() > 1 && key.front() == u'0')) return {};
    for (QChar c : key)
        if (c < u'0' || c > u'9') return {};
    const int position = key.toInt();
    return position <= kHighestPosition ? std::optional(position) : std::nullopt;
}

int highestStoredPosition(const Store& store) {
    int highest = -1;
    for (const QString& key : store.keysIn(kSectionMovie))
        highest = std::max(highest, positionFromKey(key).value_or(-1));
    return highest;
}

}  // namespace

int movieCount(const Store& store) {
    bool ok = false;
    const int count = store.GetSetting(kSectionMovies, kKeyCount, QStringLiteral("0")).toInt(&ok);
    if (ok && count >= -1 && count <= kHighestPosition) return count;
    return highestStoredPosition(store);
}

int activeFlag(const Store& store) {
    const int flag = store.GetSetting(kSectionSettings, kKeyActive, QStringLiteral("0")).toInt();
    return flag != 0 && platform::SingleEditor::windowOpen() ? flag : 0;
}

QStringList readPlayList(const Store& store) {
    QStringList entries;
    const int count = movieCount(store);
    for (int position = 0; position <= count; ++position) {
        const QString entry = store.GetSetting(kSectionMovie, QString::number(position), {});
        if (!entry.isEmpty()) entries.append(entry);
    }
    return entries;
}

bool writePlayList(const QStringList& entries, QString* error, const SaverOptions* options) {
    Store store;
    removeAbandonedLock(store.fileName());
    store.SaveSetting(kSectionMovies, kKeyCount, QString::number(entries.size() - 1));
    for (qsizetype position = 0; position < entries.size(); ++position)
        store.SaveSetting(kSectionMovie, QString::number(position), entries.at(position));
    if (options) writeSaverOptions(store, *options);
    store.SaveSetting(kSectionSettings, kKeyActive, QStringLiteral("0"));
    return store.commit(error);
}

bool markSettingsWindowOpen() {
    Store store;
    removeAbandonedLock(store.fileName());
    store.SaveSetting(kSectionSettings, kKeyActive, QStringLiteral("1"));
    return store.commit();
}

PlaybackSlot readPlaybackSlot(Store& store, qint16 intMovie) {
    store.refresh();
    const int count = movieCount(store);
    int position = intMovie;
    if (position > count) {
        if (count < 0) return {{}, 0};
        position = 0;
    }
    const QString entry = store.GetSetting(kSectionMovie, QString::number(position), {});
    const int following = position + 1 > count ? 0 : position + 1;
    return {entry, static_cast<qint16>(following)};
}

}  // namespace settings
