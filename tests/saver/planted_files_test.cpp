#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QDir>
#include <QSignalSpy>
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

using Plant = std::function<void()>;

struct Target {
    const char* name;
    QString (*path)();
    void (*use)(const Plant& plant);
    bool followsLinksToOwnFiles = false;
};

void PrintTo(const Target& target, std::ostream* out) {
    *out << target.name;
}

QString inRuntime(const char* name) {
    return qEnvironmentVariable("XDG_RUNTIME_DIR") + u'/' + name;
}

const Target kTargets[] = {
    {"SaverLock", [] { return inRuntime("flickerdeck.lock"); },
     [](const Plant& plant) {
         plant();
         EXPECT_FALSE(platform::SingleInstance().anotherInstanceRunning());
     }},
    {"SettingsLock", [] { return inRuntime("flickerdeck-settings.lock"); },
     [](const Plant& plant) {
         plant();
         const platform::SingleEditor editor;
         EXPECT_TRUE(editor.claimed() && editor.problem().isEmpty());
     }},
    {"Knock", [] { return inRuntime("flickerdeck-settings.knock"); },
     [](const Plant& plant) {
         const platform::SingleEditor holder;
         plant();
         platform::SingleEditor().knock();
     }},
    {"Resume", [] { return saver::resumeStateFile(); },
     [](const Plant& plant) {
         plant();
         EXPECT_EQ(saver::readResumePosition(saver::resumeStateFile()), 0);
         EXPECT_TRUE(saver::writeResumePosition(saver::resumeStateFile(), 3));
         EXPECT_EQ(saver::readResumePosition(saver::resumeStateFile()), 3);
     }},
    {"StoreLock", [] { return testsupport::storeFilePath() + ".lock"; },
     [](const Plant& plant) {
         plant();
         EXPECT_TRUE(settings::writePlayList({"/m/a.avi (Origin)"}));
     }},
    {"DamagedStoreCopy", [] { return testsupport::storeFilePath() + ".corrupt"; },
     [](const Plant& plant) {
         plant();
         testsupport::writeStoreFile("[Movie\n");
         EXPECT_FALSE(settings::keepCopyOfDamagedStore(testsupport::storeFilePath()).isEmpty());
     }},
    // Followed only to a regular file of the user's own: the victim here belongs to another.
    {"Store", [] { return testsupport::storeFilePath(); },
     [](const Plant& plant) {
         plant();
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
        const QDir config = QFileInfo(testsupport::storeFilePath()).dir();
        for (const QString& name : config.entryList({"FDK.conf*"}, QDir::AllEntries | QDir::System))
            QFile::remove(config.filePath(name));
    }
};

TEST_P(PlantedFileTest, IsNeitherReadNorWrittenThrough) {
    const auto& [target, kind] = GetParam();
    QTemporaryDir elsewhere;
    const QString device = elsewhere.filePath("zero"), victim = elsewhere.filePath("victim");
    if (kind == Kind::DeviceLink &&
        ::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 5)) != 0)
        GTEST_SKIP() << "no device node can be made here";
    testsupport::writeStoreFile("");
    QFile file(victim);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("mine\n") == 5);
    file.close();
    const bool othersFile = ::chown(QFile::encodeName(victim).constData(), 65534, 65534) == 0;
    if (!othersFile && kind == Kind::LinkToVictim && target.followsLinksToOwnFiles)
        GTEST_SKIP() << "only root can give a file to another user";
    const QString path = target.path();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    target.use([&] {
        QFile::remove(path);
        const bool planted = kind == Kind::Fifo
                                 ? ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0
                                 : QFile::link(kind == Kind::DeviceLink ? device : victim, path);
        ASSERT_TRUE(planted);
    });
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "mine\n");
    struct stat status {};
    if (kind == Kind::DeviceLink) {
        EXPECT_TRUE(::stat(QFile::encodeName(device).constData(), &status) == 0 &&
                    S_ISCHR(status.st_mode));
    }
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
