#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>

#include "platform/single_editor.h"
#include "settings/playlist.h"
#include "support/store_file.h"

using testsupport::writeStoreFile;

namespace {

QStringList playListIn(const QString& ini) {
    writeStoreFile(ini);
    settings::Store store;
    return settings::readPlayList(store);
}

QString storedValue(const QString& key) {
    QSettings s(QSettings::NativeFormat, QSettings::UserScope, "FDK");
    return s.value(key).toString();
}

}  // namespace

TEST(ReadPlayList, ReadsPositionsUpToCountAndClosesGaps) {
    EXPECT_EQ(playListIn(""), QStringList());
    EXPECT_EQ(playListIn("[Movies]\nCount=-1\n[Movie]\n0=/a.avi (Origin)\n"), QStringList());
    EXPECT_EQ(playListIn("[Movie]\n0=/a.avi (Origin)\n1=/b.avi (Origin)\n"),
              QStringList{"/a.avi (Origin)"});
    EXPECT_EQ(playListIn("[Movies]\nCount=3\n[Movie]\n0=/a (Origin)\n1=\n2=/c (Double)\n3=/d "
                         "(Origin)\n4=/stale (Origin)\n"),
              (QStringList{"/a (Origin)", "/c (Double)", "/d (Origin)"}));
}

TEST(ReadPlayList, ValuesWithIniSpecialCharactersRoundTrip) {
    const QStringList entries{"/clips (old)/a;b,c=d#e@f.avi (Double)", "/日本/ü é.avi (Origin)",
                              "/x/\\back\\slash.avi (Origin)", "/x/ lead and trail .avi (Origin)"};
    ASSERT_TRUE(settings::writePlayList(entries));
    settings::Store store;
    EXPECT_EQ(settings::readPlayList(store), entries);
}

// Values the program never writes must neither hide nor lose stored entries.
TEST(MovieCount, CorruptCountFallsBackToTheHighestStoredPosition) {
    const QString entries =
        "[Movie]\n0=/a (Origin)\n1=/b (Origin)\n7=/h (Origin)\n"
        "x=/junk\n007=/zero-padded\n-1=/negative\n99999=/too-far\n";
    struct Case {
        const char* count;
        int expected;
    } cases[] = {{"abc", 7}, {"2.5", 7}, {"-2", 7}, {"32767", 7},    {"", 7},
                 {"-1", -1}, {"0", 0},   {"5", 5},  {"32766", 32766}};
    for (const Case& c : cases) {
        writeStoreFile(QStringLiteral("[Movies]\nCount=%1\n").arg(c.count) + entries);
        settings::Store store;
        EXPECT_EQ(settings::movieCount(store), c.expected) << "Count=" << c.count;
    }
    writeStoreFile("[Movies]\nCount=junk\n");
    EXPECT_EQ(settings::movieCount(settings::Store()), -1);
    writeStoreFile("");
    EXPECT_EQ(settings::movieCount(settings::Store()), 0);
}

// A flag counts only while a live configuration window holds its claim.
TEST(ActiveFlag, NonNumbersAndFlagsNoWindowBacksCountAsClosed) {
    auto window = std::make_unique<platform::SingleEditor>();
    for (const auto& [text, expected] : std::initializer_list<std::pair<const char*, int>>{
             {"1", 1}, {"0", 0}, {"yes", 0}, {"", 0}, {"2", 2}}) {
        writeStoreFile(QStringLiteral("[Settings]\nActive=%1\n").arg(text));
        EXPECT_EQ(settings::activeFlag(settings::Store()), expected) << text;
    }
    window.reset();
    EXPECT_EQ(settings::activeFlag(settings::Store()), 0) << "left by a window that is gone";
    writeStoreFile("");
    EXPECT_EQ(settings::activeFlag(settings::Store()), 0);
}

TEST(WritePlayList, WritesCountEntriesAndClosedFlagKeepingKeysAboveCount) {
    writeStoreFile(
        "[Settings]\nActive=1\n[Movies]\nCount=4\n[Movie]\n0=/a (Origin)\n1=/b "
        "(Origin)\n2=/c (Origin)\n3=/d (Origin)\n4=/e (Origin)\n");
    ASSERT_TRUE(settings::writePlayList({"/b (Double)", "/a (Origin)"}));
    EXPECT_EQ(storedValue("Movies/Count"), "1");
    EXPECT_EQ(storedValue("Movie/0"), "/b (Double)");
    EXPECT_EQ(storedValue("Movie/1"), "/a (Origin)");
    EXPECT_EQ(storedValue("Movie/2"), "/c (Origin)");
    EXPECT_EQ(storedValue("Movie/4"), "/e (Origin)");
    EXPECT_EQ(storedValue("Settings/Active"), "0");

    ASSERT_TRUE(settings::writePlayList({}));
    EXPECT_EQ(storedValue("Movies/Count"), "-1");
    EXPECT_EQ(storedValue("Movie/0"), "/b (Double)");
    settings::Store store;
    EXPECT_EQ(settings::readPlayList(store), QStringList());
}

TEST(WritePlayList, TheEleventhEntryIsKeyTen) {
    QStringList entries;
    for (int i = 0; i < 11; ++i) entries << QStringLiteral("/m%1.avi (Origin)").arg(i);
    ASSERT_TRUE(settings::writePlayList(entries));
    EXPECT_EQ(storedValue("Movie/10"), "/m10.avi (Origin)");
    EXPECT_EQ(storedValue("Movies/Count"), "10");
}

// A folder where the file should be defeats the save even for root, who writes through
// permissions.
TEST(WritePlayList, ReportsAFailedSaveInsteadOfSucceeding) {
    writeStoreFile("");
    ASSERT_TRUE(QDir().mkpath(testsupport::storeFilePath()));
    QString error;
    const bool saved = settings::writePlayList({"/new (Origin)"}, &error);
    QDir(testsupport::storeFilePath()).removeRecursively();
    EXPECT_FALSE(saved);
    EXPECT_FALSE(error.isEmpty());
}

struct SlotCase {
    const char* ini;
    qint16 intMovie;
    const char* entry;
    qint16 following;
};

class PlaybackSlotTest : public ::testing::TestWithParam<SlotCase> {};

TEST_P(PlaybackSlotTest, ReadsTheEntryAndTheNextPosition) {
    const SlotCase& c = GetParam();
    writeStoreFile(c.ini);
    settings::Store store;
    const settings::PlaybackSlot slot = settings::readPlaybackSlot(store, c.intMovie);
    EXPECT_EQ(slot.entry, QString::fromUtf8(c.entry));
    if (!slot.entry.isEmpty()) {
        EXPECT_EQ(slot.following, c.following);
    }
}

constexpr const char* kThree =
    "[Movies]\nCount=2\n[Movie]\n0=/a (Origin)\n1=/b (Double)\n2=/c (Origin)\n";
constexpr const char* kShrunk =
    "[Movies]\nCount=1\n[Movie]\n0=/a (Origin)\n1=/b (Origin)\n2=/stale (Origin)\n";
constexpr const char* kEmptied = "[Movies]\nCount=-1\n[Movie]\n0=/stale (Origin)\n";
constexpr const char* kNoCount = "[Movie]\n0=/a (Origin)\n1=/b (Origin)\n";
constexpr const char* kGap = "[Movies]\nCount=2\n[Movie]\n0=/a (Origin)\n2=/c (Origin)\n";

INSTANTIATE_TEST_SUITE_P(Positions, PlaybackSlotTest,
                         ::testing::Values(SlotCase{kThree, 0, "/a (Origin)", 1},
                                           SlotCase{kThree, 2, "/c (Origin)", 0},
                                           SlotCase{kShrunk, 2, "/a (Origin)", 1},
                                           SlotCase{kEmptied, 0, "", 0},
                                           SlotCase{kNoCount, 0, "/a (Origin)", 0},
                                           SlotCase{kGap, 1, "", 0}, SlotCase{"", 0, "", 0}));

TEST(PlaybackSlot, SeesAListSavedByAnotherProcessAfterItsFirstRead) {
    writeStoreFile(kThree);
    settings::Store store;
    EXPECT_EQ(settings::readPlaybackSlot(store, 1).entry, "/b (Double)");
    {
        QSettings other(QSettings::NativeFormat, QSettings::UserScope, "FDK");
        other.setValue("Movie/1", "/replaced (Origin)");
    }
    EXPECT_EQ(settings::readPlaybackSlot(store, 1).entry, "/replaced (Origin)");
}

TEST(ReadPlayList, AHandWrittenCommaDoesNotLoseTheEntry) {
    EXPECT_EQ(playListIn("[Movies]\nCount=0\n[Movie]\n0=/films/train, ride.avi (Double)\n"),
              QStringList{"/films/train, ride.avi (Double)"});
}
