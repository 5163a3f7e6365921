#include "e2e/test_session.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>

namespace e2e {

bool usePrivateFolders(const QTemporaryDir& home) {
    if (!home.isValid()) return false;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", (home.path() + "/runtime").toLocal8Bit());
    qputenv("XDG_STATE_HOME", (home.path() + "/state").toLocal8Bit());
    return QDir().mkpath(home.path() + "/config") && QDir().mkpath(home.path() + "/runtime") &&
           QFile::setPermissions(home.path() + "/runtime", QFileDevice::ReadOwner |
                                                               QFileDevice::WriteOwner |
                                                               QFileDevice::ExeOwner);
}

int runTestsOn(const QString& display, int argc, char* argv[]) {
    qputenv("DISPLAY", display.toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "xcb");
    // Gone before the server is, or Qt would see its display connection break.
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}

}  // namespace e2e
