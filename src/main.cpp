#include <QApplication>
#include <QTimer>
#include <clocale>
#include <cstdio>

#include "platform/process.h"
#include "platform/single_instance.h"
#include "platform/termination.h"
#include "saver/dispatch.h"
#include "saver/master.h"
#include "saver/startup.h"
#include "settings/xscreensaver_programs.h"

int main(int argc, char* argv[]) {
    // A host may end its saver while it is still starting up: that too ends with status 0.
    platform::catchTerminationRequests();
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    if (const auto text = saver::informationAsked(arguments, QStringLiteral(PROJECT_VERSION_TEXT)))
        return std::fputs(qPrintable(*text), stdout) < 0 ? 1 : 0;
    if (saver::addToXScreenSaverAsked(arguments)) {
        const settings::ProgramsResult result = settings::addSaverToXScreenSaver();
        std::fputs(qPrintable(result.message + u'\n'), result.ok ? stdout : stderr);
        return result.ok ? 0 : 1;
    }

    platform::withoutAutolaunchedSessionBus();
    QApplication app(argc, argv);
    // libmpv refuses to start under a locale whose decimal separator is not a point.
    std::setlocale(LC_NUMERIC, "C");
    QCoreApplication::setApplicationName(QStringLiteral("flickerdeck"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION_TEXT));

    const platform::SingleInstance instance;
    saver::Master master(saver::desktopServices(instance));
    master.start();
    // Not from the start: mapping and unmapping every large block while the first movie opens
    // costs it tens of milliseconds of page faults before its first picture.
    QTimer::singleShot(std::chrono::seconds(2), &platform::returnLargeBlocksWhenFreed);
    return app.exec();
}
