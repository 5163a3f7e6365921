#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSysInfo>

#include "e2e/saver_test.h"

// A second start while one saver runs (both share the test's runtime folder), and what earlier
// runs or other programs may have left in the place of the locks.
namespace e2e {
namespace {

const QString kWindowTitle = QStringLiteral("Flickerdeck, Version 1.0");

// The open flag at 0, or at 1 as a configuration window killed by SIGKILL or by the end of its X
// server leaves it: no live window backs either.
class SecondInstanceTest : public SaverTest, public ::testing::WithParamInterface<int> {};

TEST_P(SecondInstanceTest, EndsAtOnceWhileTheFirstPlaysOn) {
    QProcess* first = startPlayingRed(GetParam());
    ASSERT_TRUE(first);
    QProcess& second = startSaver();
    EXPECT_TRUE(endsCleanlyWithin(second, 5000));
    EXPECT_TRUE(keepsRunningFor(*first, 1000));
}

INSTANTIATE_TEST_SUITE_P(OpenFlag, SecondInstanceTest, ::testing::Values(0, 1));

using OpenWindowTest = SaverTest;

TEST_F(OpenWindowTest, ASecondSaverRunsWhileAConfigurationWindowIsOpen) {
    writePlayList({});
    QProcess& window = startSaver({QStringLiteral("/C")});
    ASSERT_TRUE(showsWindow(kWindowTitle));
    QProcess* first = startPlayingRed(1);
    ASSERT_TRUE(first);
    QProcess& second = startSaver();
    EXPECT_TRUE(keepsRunningFor(second, 1500));
    EXPECT_TRUE(keepsRunningFor(*first, 0));
    EXPECT_TRUE(keepsRunningFor(window, 0));
}

struct Leftover {
    const char* name;
    void (*leave)(const QString& path);
};

void leaveFile(const QString& path, const QByteArray& contents) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size());
}

const Leftover kLeftovers[] = {
    {"Empty", [](const QString& path) { leaveFile(path, ""); }},
    {"Garbage", [](const QString& path) { leaveFile(path, "\x01\xfe garbage\n\n"); }},
    {"Folder", [](const QString& path) { EXPECT_TRUE(QDir().mkpath(path)); }},
    // A live process that is no flickerdeck, named as the lock's holder (as it would be named
    // where its name cannot be read: another user's process).
    {"LiveProcessOfAnotherProgram",
     [](const QString& path) {
         leaveFile(path,
                   QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
                       QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8() +
                       '\n' + QSysInfo::machineHostName().toUtf8() + '\n');
     }},
};

struct LockedMode {
    const char* name;
    const char* lockFile;
    const char* argument;
};

const LockedMode kModes[] = {{"Saver", "flickerdeck.lock", "/S"},
                             {"Configuration", "flickerdeck-settings.lock", "/C"}};

void PrintTo(const Leftover& leftover, std::ostream* out) {
    *out << leftover.name;
}

void PrintTo(const LockedMode& mode, std::ostream* out) {
    *out << mode.name;
}

class LeftoverLockTest : public SaverTest,
                         public ::testing::WithParamInterface<std::tuple<Leftover, LockedMode>> {};

TEST_P(LeftoverLockTest, KeepsNoOneOut) {
    const auto& [leftover, mode] = GetParam();
    const QString lock = qEnvironmentVariable("XDG_RUNTIME_DIR") + u'/' + mode.lockFile;
    QFile::remove(lock);
    leftover.leave(lock);
    if (QString(mode.argument) == "/S") {
        EXPECT_TRUE(startPlayingRed());
    } else {
        writePlayList({});
        QProcess& window = startSaver({mode.argument});
        EXPECT_TRUE(showsWindow(kWindowTitle));
        EXPECT_TRUE(keepsRunningFor(window, 0));
    }
}

std::string rowName(const ::testing::TestParamInfo<LeftoverLockTest::ParamType>& info) {
    return std::string(std::get<1>(info.param).name) + std::get<0>(info.param).name;
}

INSTANTIATE_TEST_SUITE_P(Leftovers, LeftoverLockTest,
                         ::testing::Combine(::testing::ValuesIn(kLeftovers),
                                            ::testing::ValuesIn(kModes)),
                         rowName);

}  // namespace
}  // namespace e2e
