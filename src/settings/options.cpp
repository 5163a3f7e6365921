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

const QString kMonitorWords[] = {QStringLiteral("Each"), QStringLiteral("Same"),
                                 QStringLiteral("Primary")};

}  // namespace

Monitors monitorsFromWord(const QString& word) {
    for (const Monitors monitors : {Monitors::Same, Monitors::Primary})
        if (word.trimmed() == monitorsWord(monitors)) return monitors;
    return Monitors::Each;
}

QString monitorsWord(Monitors monitors) {
    return kMonitorWords[static_cast<int>(monitors)];
}

SaverOptions readSaverOptions(const Store& store) {
    return {
        .shuffle = storedSwitch(store, kKeyShuffle),
        .resume = storedSwitch(store, kKeyResume),
        .volume = storedNumber(store, kKeyVolume, 0, 100, 100),
        .mute = storedSwitch(store, kKeyMute),
        .shrinkToFit = storedSwitch(store, kKeyShrinkToFit),
        .monitors = monitorsFromWord(store.GetSetting(kSectionSettings, kKeyMonitors, {})),
    };
}

void writeSaverOptions(Store& store, const SaverOptions& options) {
    store.SaveSetting(kSectionSettings, kKeyShuffle, switchText(options.shuffle));
    store.SaveSetting(kSectionSettings, kKeyResume, switchText(options.resume));
    store.SaveSetting(kSectionSettings, kKeyVolume, QString::number(options.volume));
    store.SaveSetting(kSectionSettings, kKeyMute, switchText(options.mute));
    store.SaveSetting(kSectionSettings, kKeyShrinkToFit, switchText(options.shrinkToFit));
    store.SaveSetting(kSectionSettings, kKeyMonitors, monitorsWord(options.monitors));
}

}  // namespace settings
