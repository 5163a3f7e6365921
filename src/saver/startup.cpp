#include "saver/startup.h"

#include <QCoreApplication>
#include <clocale>

#include "comdlg/comdlg.h"
#include "platform/process.h"
#include "player/player_factory.h"
#include "saver/dispatch.h"
#include "settings/qt_translations.h"
#include "settings/single_window.h"

namespace saver {

MasterServices desktopServices(const platform::SingleInstance& instance) {
    const auto hostWindow = platform::hostWindowFrom(QCoreApplication::arguments(),
                                                     qEnvironmentVariable("XSCREENSAVER_WINDOW"));
    return {
        .commandLine = commandLineText(QCoreApplication::arguments()),
        // One saver per host window, never one per machine: hosts start one for each monitor,
        // and the next one of a cycle while the last is still on its way out. A hosted saver
        // neither heeds nor takes the lock, so a full-screen saver is not kept out by it either.
        .anotherInstanceRunning = !hostWindow && instance.anotherInstanceRunning(),
        .hostWindow = hostWindow,
        .createPlayer =
            [](QWidget* parent) {
                // libmpv's X11 output opens an input method for the character locale, which in
                // a UTF-8 locale means parsing its whole compose table: 10-25 ms before the first
                // file opens. Keys reach the saver through Qt, so the plain locale does.
                std::setlocale(LC_CTYPE, "C");
                return player::createDesktopPlayer(parent);
            },
        .showSettingsModal =
            [] {
                settings::installQtTranslations();
                settings::runSettingsWindow(comdlg::ShowOpenDialog);
            },
        .endProgram = [](int exitCode) { platform::endProgram(exitCode); },
    };
}

}  // namespace saver
