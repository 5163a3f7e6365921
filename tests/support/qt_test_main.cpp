#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <clocale>

// Every test process gets its own home, settings and runtime folders before Qt fixes the store's
// path, and widgets default to the offscreen platform unless a test binary asks for a display.
int main(int argc, char* argv[]) {
    ::testing::InitGoogleTest(&argc, argv);
    QTemporaryDir home;
    if (!home.isValid()) return 2;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", (home.path() + "/runtime").toLocal8Bit());
    qputenv("XDG_STATE_HOME", (home.path() + "/state").toLocal8Bit());
    QDir().mkpath(home.path() + "/config");
    QDir().mkpath(home.path() + "/runtime");
    QFile::setPermissions(home.path() + "/runtime",
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    return RUN_ALL_TESTS();
}
