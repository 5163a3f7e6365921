#pragma once

#include "settings/store.h"

// The saver's options, plain keys in [Settings] beside "Active". Each is read when the saver
// needs it, so a store edited by hand takes effect at the next movie; a missing key or a value
// the program would not write reads as the default, and every default keeps the saver as it
// was before the options existed.
namespace settings {

inline const QString kKeyShuffle = QStringLiteral("Shuffle");
inline const QString kKeyResume = QStringLiteral("Resume");
inline const QString kKeyVolume = QStringLiteral("Volume");
inline const QString kKeyMute = QStringLiteral("Mute");
inline const QString kKeyShrinkToFit = QStringLiteral("ShrinkToFit");
inline const QString kKeyMonitors = QStringLiteral("Monitors");

// What plays on several monitors: each its own place in the list ("Each"), all the same movie
// together ("Same"), or only the primary monitor, the others black ("Primary").
enum class Monitors { Each, Same, Primary };

// The stored word, compared exactly; anything else is the default, Each.
Monitors monitorsFromWord(const QString& word);
QString monitorsWord(Monitors monitors);

struct SaverOptions {
    bool shuffle = false;
    bool resume = false;
    int volume = 100;  // 0-100
    bool mute = false;
    bool shrinkToFit = false;
    Monitors monitors = Monitors::Each;
    bool operator==(const SaverOptions&) const = default;
};

SaverOptions readSaverOptions(const Store& store);

// Buffered in the store until its next commit.
void writeSaverOptions(Store& store, const SaverOptions& options);

}  // namespace settings
