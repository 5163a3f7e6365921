#include "settings/options.h"

namespace settings {
namespace {

int storedNumber(const Store& store, const QString& key, int lowest, int highest, int fallback) {
    bool ok = false;
    const int value = store.GetSetting(kSectionSettings, key, {}).trimmed().toInt(&ok);
    return ok && value >= lowest && value <= highest ? value : fallback;
}

bool storedSwitch(const Store& store, const QString& key) {
    return storedNumber(store, key, 0, 1, 0) == 1;
}

QString switchText(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

}  // namespace

SaverOptions readSaverOptions(const Store& store) {
    return {
        .shuffle = storedSwitch(store, kKeyShuffle),
        .resume = storedSwitch(store, kKeyResume),
        .volume = storedNumber(store, kKeyVolume, 0, 100, 100),
        .mute = storedSwitch(store, kKeyMute),
        .shrinkToFit = storedSwitch(store, kKeyShrinkToFit),
    };
}

void writeSaverOptions(Store& store, const SaverOptions& options) {
    store.SaveSetting(kSectionSettings, kKeyShuffle, switchText(options.shuffle));
    store.SaveSetting(kSectionSettings, kKeyResume, switchText(options.resume));
    store.SaveSetting(kSectionSettings, kKeyVolume, QString::number(options.volume));
    store.SaveSetting(kSectionSettings, kKeyMute, switchText(options.mute));
    store.SaveSetting(kSectionSettings, kKeyShrinkToFit, switchText(options.shrinkToFit));
}

}  // namespace settings
