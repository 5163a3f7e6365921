#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>

#include "e2e/xvfb_server.h"

// Like the shared test main, every process gets private settings and runtime folders; in
// addition it starts its own X server and becomes a client of it, so tests can grab the screen
// the saver draws on. Listing the tests (test discovery) needs neither.
int main(int argc, char* argv[]) {
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();

    QTemporaryDir home;
    if (!home.isValid()) return 2;
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", (home.path() + "/runtime").toLocal8Bit());
    QDir().mkpath(home.path() + "/config");
    QDir().mkpath(home.path() + "/runtime");
    QFile::setPermissions(home.path() + "/runtime",
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    e2e::XvfbServer xvfb;
    QString error;
    if (!xvfb.start(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 2;
    }
    qputenv("DISPLAY", xvfb.display().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "xcb");

    int result = 0;
    {
        // Gone before the server is, or Qt would see its display connection break.
        QGuiApplication app(argc, argv);
        result = RUN_ALL_TESTS();
    }
    return result;
}
