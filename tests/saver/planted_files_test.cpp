#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>

#include "platform/single_editor.h"
#include "platform/single_instance.h"
#include "saver/resume_state.h"
#include "settings/damage.h"
#include "settings/playlist.h"
#include "support/store_file.h"

// Whatever stands where the program writes a file of its own (a FIFO, a link to a device, a link
// to someone else's file) is never read or written through and holds nothing up.
namespace {

using testsupport::storeFilePath;

struct Target {
    const char* name;
    QString (*path)();
    void (*use)();
    bool followsLinksToOwnFiles = false;
};

QString inRuntime(const char* name) {
    return qEnvironmentVariable("XDG_RUNTIME_DIR") + u'/' + name;
}

const Target kTargets[] = {
    {"SaverLock", [] { return inRuntime("flickerdeck.lock"); },
     [] { EXPECT_FALSE(platform::SingleInstance().anotherInstanceRunning()); }},
    {"SettingsLock", [] { return inRuntime("flickerdeck-settings.lock"); },
     [] { EXPECT_TRUE(platform::SingleEditor().problem().isEmpty()); }},
    {"Knock", [] { return inRuntime("flickerdeck-settings.knock"); },
     [] {
         const platform::ProcessLock holder("flickerdeck-settings.lock");
         platform::SingleEditor().knock();
     }},
    {"Resume", &saver::resumeStateFile,
     [] {
         EXPECT_EQ(saver::readKeptPlace(saver::resumeStateFile()), std::nullopt);
         const saver::KeptPlace place{3, "/m/a.avi (Origin)", {1, 2}, 1};
         EXPECT_TRUE(saver::writeKeptPlace(saver::resumeStateFile(), place));
         EXPECT_EQ(saver::readKeptPlace(saver::resumeStateFile()), place);
     }},
    {"StoreLock", [] { return storeFilePath() + ".lock"; },
     [] { EXPECT_TRUE(settings::writePlayList({"/m/a.avi (Origin)"})); }},
    {"DamagedStoreCopy", [] { return storeFilePath() + ".corrupt"; },
     [] {
         testsupport::writeStoreFile("[Movie\n");
         EXPECT_FALSE(settings::keepCopyOfDamagedStore(storeFilePath()).isEmpty());
     }},
    {"Store", &storeFilePath,
     [] {
         EXPECT_EQ(settings::readPlayList(settings::Store()), QStringList());
         EXPECT_FALSE(settings::writePlayList({"/m/a.avi (Origin)"}));
     },
     true},
};

enum class Kind { Fifo, DeviceLink, LinkToVictim };

class PlantedFileTest : public ::testing::TestWithParam<std::tuple<Target, Kind>> {
protected:
    void TearDown() override {
        QFile::remove(std::get<0>(GetParam()).path());
        const QDir config = QFileInfo(storeFilePath()).dir();
        for (const QString& name : config.entryList({"FDK.conf*"}, QDir::AllEntries | QDir::System))
            QFile::remove(config.filePath(name));
    }
};

TEST_P(PlantedFileTest, IsNeitherReadNorWrittenThrough) {
    const auto& [target, kind] = GetParam();
    QTemporaryDir elsewhere;
    const QString device = elsewhere.filePath("zero"), victim = elsewhere.filePath("victim");
    const QByteArray path = QFile::encodeName(target.path());
    if (kind == Kind::DeviceLink &&
        ::mknod(QFile::encodeName(device), S_IFCHR | 0666, makedev(1, 5)))
        GTEST_SKIP() << "no device node can be made here";
    QFile file(victim);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("mine\n") == 5);
    file.close();
    if (::chown(QFile::encodeName(victim), 65534, 65534) != 0 && kind == Kind::LinkToVictim &&
        target.followsLinksToOwnFiles)
        GTEST_SKIP() << "only root can give a file to another user";
    testsupport::writeStoreFile("");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(target.path()).path()));
    QFile::remove(target.path());
    ASSERT_TRUE(kind == Kind::Fifo
                    ? ::mkfifo(path, 0600) == 0
                    : QFile::link(kind == Kind::DeviceLink ? device : victim, target.path()));
    target.use();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "mine\n");
    struct stat status {};
    EXPECT_TRUE(kind != Kind::DeviceLink ||
                (::stat(QFile::encodeName(device), &status) == 0 && S_ISCHR(status.st_mode)));
}

std::string rowName(const ::testing::TestParamInfo<PlantedFileTest::ParamType>& info) {
    static const char* const kinds[] = {"Fifo", "DeviceLink", "LinkToVictim"};
    return std::string(std::get<0>(info.param).name) +
           kinds[static_cast<int>(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(Files, PlantedFileTest,
                         ::testing::Combine(::testing::ValuesIn(kTargets),
                                            ::testing::Values(Kind::Fifo, Kind::DeviceLink,
                                                              Kind::LinkToVictim)),
                         rowName);

}  // namespace
