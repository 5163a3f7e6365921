#include "saver/startup.h"

#include <QCoreApplication>

#include "comdlg/comdlg.h"
#include "platform/process.h"
#include "player/mpv_options.h"
#include "player/mpv_player.h"
#include "saver/dispatch.h"
#include "settings/settings_window.h"

namespace saver {

MasterServices desktopServices(const platform::SingleInstance& instance) {
    return {
        .commandLine = commandLineText(QCoreApplication::arguments()),
        .anotherInstanceRunning = instance.anotherInstanceRunning(),
        .hostWindow = platform::hostWindowFrom(QCoreApplication::arguments(),
                                               qEnvironmentVariable("XSCREENSAVER_WINDOW")),
        .createPlayer =
            [](QWidget* parent) {
                return new player::MpvPlayer(player::engineOptions(player::desktopEngine()),
                                             parent);
            },
        .showSettingsModal =
            [] {
                settings::SettingsWindow window(comdlg::ShowOpenDialog);
                window.showModal();
            },
        .endProgram = [](int exitCode) { platform::endProgram(exitCode); },
    };
}

}  // namespace saver
