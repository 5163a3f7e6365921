#include <QDir>
#include <QFile>

#include "e2e/saver_test.h"

// The player engine stuck in a read that never returns: input must still end the saver.
namespace e2e {
namespace {

class StuckPlayerTest : public SaverTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(StuckPlayerTest, AKeyStillEndsTheSaver) {
    const QString stuck = QDir(clipFolder()).filePath("stuck.avi");
    QFile file(stuck);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    writePlayList({stuck + " (Origin)"});
    // AddressSanitizer wants its runtime first among the libraries; the interposer only needs
    // to come before the C library.
    const QString asan = qEnvironmentVariable("ASAN_OPTIONS");
    QProcess& saver = startSaver({"/S"}, {"LD_PRELOAD=" STUCK_READS_LIBRARY,
                                          "ASAN_OPTIONS=" + asan + (asan.isEmpty() ? "" : ":") +
                                              "verify_asan_link_order=0"});
    EXPECT_TRUE(keepsRunningFor(saver, 1500));
    EXPECT_TRUE(
        showsFrame([](const Frame& frame) { return frame.covered; }, "the black saver", 5000));
    ASSERT_TRUE(xdotool({"key", GetParam()}));
    EXPECT_TRUE(endsCleanlyWithin(saver, kEndsAfterSignalMs));
}

INSTANTIATE_TEST_SUITE_P(Keys, StuckPlayerTest, ::testing::Values("a", "Escape"));

}  // namespace
}  // namespace e2e
