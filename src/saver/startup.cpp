#include "saver/startup.h"

#include <QCoreApplication>

#include "platform/process.h"
#include "player/mpv_options.h"
#include "player/mpv_player.h"
#include "saver/dispatch.h"

namespace saver {

MasterServices desktopServices(const platform::SingleInstance& instance) {
    return {
        .commandLine = commandLineText(QCoreApplication::arguments()),
        .anotherInstanceRunning = instance.anotherInstanceRunning(),
        .createPlayer =
            [](QWidget* parent) {
                return new player::MpvPlayer(player::engineOptions(player::desktopEngine()),
                                             parent);
            },
        .showSettingsModal = [] {},
        .endProgram = [](int exitCode) { platform::endProgram(exitCode); },
    };
}

}  // namespace saver
