#pragma once

#include <QStringList>

#include "settings/options.h"
#include "settings/store.h"

// The play-list and open-flag rules on top of the store: "Count" in "Movies" is the position of
// the last entry (-1 for an empty list), entries are keys "0", "1", ... in "Movie".
namespace settings {

inline constexpr int kHighestPosition = 32766;
inline constexpr int kMostEntries = kHighestPosition + 1;

// "Count" as stored; a value the program never writes (not a whole number, below -1, above
// 32766) counts as the highest numbered entry present, so nothing stored gets hidden.
int movieCount(const Store& store);

// "Active" as a number; missing or not a number counts as 0, and so does a flag that no live
// configuration window backs (one left by a window that was killed).
int activeFlag(const Store& store);

// The configuration window's read: positions 0..Count, empty entries skipped.
QStringList readPlayList(const Store& store);

// The configuration window's save: "Count", every entry in order, the options when given, then
// "Active" = "0", as one atomic write. Keys above the new "Count" stay as they are.
bool writePlayList(const QStringList& entries, QString* error = nullptr,
                   const SaverOptions* options = nullptr);

// "Active" = "1": a configuration window is open, so a second instance may run.
bool markSettingsWindowOpen();

struct PlaybackSlot {
    QString entry;     // empty: the position holds no entry, the saver ends
    qint16 following;  // the position to open after this one
};

// The playback loop's read for position intMovie, from one refreshed snapshot. A position above
// "Count" is stale from an earlier, longer list: it wraps to 0, or ends when the list is empty.
PlaybackSlot readPlaybackSlot(Store& store, qint16 intMovie);

}  // namespace settings
