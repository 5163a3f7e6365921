#include <gtest/gtest.h>

#include <QGuiApplication>

#include "e2e/test_session.h"

// The main of the tests in a Wayland session: the same private folders as every end-to-end
// test; each test starts its own compositor, so the test process needs no display.
int main(int argc, char* argv[]) {
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
    QTemporaryDir home;
    if (!e2e::usePrivateFolders(home)) return 2;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
