#include <gtest/gtest.h>

#include <QGuiApplication>

#include "e2e/test_session.h"
#include "e2e/xorg_screens.h"

// The main of the tests that need two monitors: the same private folders as every end-to-end
// test, on a two-screen Xorg instead of Xvfb. Where that server cannot run, the tests still run
// and skip themselves, saying why.
int main(int argc, char* argv[]) {
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();

    QTemporaryDir home;
    if (!e2e::usePrivateFolders(home)) return 2;
    e2e::XServer xorg;
    e2e::twoScreensUnavailable() = e2e::startTwoScreenXorg(xorg, home.path());
    if (e2e::twoScreensUnavailable().isEmpty()) return e2e::runTestsOn(xorg.display(), argc, argv);

    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
