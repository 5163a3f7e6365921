#include <signal.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSysInfo>

#include "e2e/saver_test.h"
#include "support/store_file.h"

// A second start while one saver runs (both share the test's runtime folder), and what earlier
// runs or other programs may have left in the place of the locks.
namespace e2e {
namespace {

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

class OpenWindowTest : public SaverTest {
protected:
    // The configuration window marks itself open in the store as it loads.
    static bool windowOpens() {
        return eventually([] { return testsupport::readStoreFile().contains("Active=1"); }, 10000);
    }
};

TEST_F(OpenWindowTest, ASecondSaverRunsWhileAConfigurationWindowIsOpen) {
    writePlayList({});
    QProcess& window = startSaver({QStringLiteral("/C")});
    ASSERT_TRUE(windowOpens());
    QProcess* first = startPlayingRed(1);
    ASSERT_TRUE(first);
    QProcess& second = startSaver();
    EXPECT_TRUE(keepsRunningFor(second, 1500));
    EXPECT_TRUE(keepsRunningFor(*first, 0));
    EXPECT_TRUE(keepsRunningFor(window, 0));
}

// Whatever is left where a lock goes keeps neither a saver nor a configuration window out:
// nothing, garbage, a folder, or the id of a live process that is no flickerdeck (named as the
// holder, as another user's process is to QLockFile: its name cannot be read).
TEST_F(OpenWindowTest, LeftoversInPlaceOfTheLocksKeepNoOneOut) {
    const QByteArray liveProcess =
        QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
        QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8() + '\n' +
        QSysInfo::machineHostName().toUtf8() + '\n';
    const std::pair<const char*, std::optional<QByteArray>> leftovers[] = {
        {"empty", ""}, {"garbage", "\x01\xfe garbage\n\n"}, {"folder", {}}, {"pid", liveProcess}};
    for (const auto& [what, contents] : leftovers) {
        for (const QString mode : {"/S", "/C"}) {
            SCOPED_TRACE(what + (" " + mode.toStdString()));
            const QString lock =
                qEnvironmentVariable("XDG_RUNTIME_DIR") +
                (mode == "/S" ? "/flickerdeck.lock" : "/flickerdeck-settings.lock");
            QFile::remove(lock);
            QDir().rmdir(lock);
            QFile file(lock);
            ASSERT_TRUE(contents ? file.open(QIODevice::WriteOnly) && file.write(*contents) >= 0
                                 : QDir().mkdir(lock));
            file.close();
            QProcess* started = mode == "/S" ? startPlayingRed() : &startSaver({mode});
            ASSERT_TRUE(started && (mode == "/S" || windowOpens()));
            EXPECT_TRUE(sendSignal(*started, SIGTERM));
            EXPECT_TRUE(endsCleanlyWithin(*started, kEndsAfterSignalMs));
        }
    }
}

}  // namespace
}  // namespace e2e
