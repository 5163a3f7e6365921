#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <random>

#include "settings/playlist.h"
#include "settings/settings_window.h"
#include "support/store_file.h"

// Broken store files, each read the way the saver reads it and then opened and closed in the
// configuration window: nothing readable may get lost, and a damaged file is kept aside as it was.
namespace {

using testsupport::storeFilePath;

// Where and how the broken file sits.
// Link: to a file of the user's own elsewhere, as dotfile managers make.
enum class Place { File, Unreadable, WriteOnly, ReadOnlyFolder, FolderInPlace, DanglingLink, Link };

// Of closing the window. KeptAside: saved, and FDK.conf.corrupt holds the original as it was;
// Unchanged: saved, and the file is as it was, byte for byte.
enum class Outcome { Saved, KeptAside, NotSaved, Unchanged };

struct BrokenStore {
    std::string name;
    QByteArray bytes;
    int count;           // movieCount
    QStringList played;  // readPlaybackSlot for positions 0..3
    QStringList shown;   // the window's list
    Outcome outcome;
    Place place = Place::File;
    settings::SaverOptions options = {};
};

QString folder() {
    return qEnvironmentVariable("XDG_CONFIG_HOME");
}

void setMode(const QString& path, QFile::Permissions mode) {
    QFile::setPermissions(path, mode);
}

const QFile::Permissions kFolderMode = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

void emptyFolder() {
    setMode(folder(), kFolderMode);
    QDir(folder()).removeRecursively();
    QDir().mkpath(folder());
}

// Every rewrite gets its own modification time: QSettings re-parses a file only when its size or
// time changed.
bool writeFile(const QString& path, const QByteArray& bytes) {
    static int rewrites = 0;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
        return false;
    return file.setFileTime(QDateTime::currentDateTime().addDays(-1).addSecs(++rewrites),
                            QFileDevice::FileModificationTime);
}

void put(const BrokenStore& row) {
    emptyFolder();
    switch (row.place) {
        case Place::FolderInPlace:
            QDir().mkpath(storeFilePath());
            return;
        case Place::DanglingLink:
            QFile::link(folder() + "/elsewhere.conf", storeFilePath());
            return;
        case Place::Link:
            ASSERT_TRUE(writeFile(folder() + "/dotfiles.conf", row.bytes));
            QFile::link(folder() + "/dotfiles.conf", storeFilePath());
            return;
        default:
            break;
    }
    ASSERT_TRUE(writeFile(storeFilePath(), row.bytes));
    if (row.place == Place::Unreadable) setMode(storeFilePath(), {});
    if (row.place == Place::WriteOnly) setMode(storeFilePath(), QFile::WriteOwner);
    if (row.place == Place::ReadOnlyFolder) setMode(folder(), QFile::ReadOwner | QFile::ExeOwner);
}

// Root reads and writes through file permissions. Taking that override out of this thread's
// effective capabilities for a while makes the permission rows mean for root what they mean for
// a user.
class WithoutFileOverride {
public:
    WithoutFileOverride() {
        if (::geteuid() != 0) return;
        if (::syscall(SYS_capget, &header_, saved_) != 0) return;
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        changed_ = ::syscall(SYS_capset, &header_, reduced) == 0;
    }
    ~WithoutFileOverride() {
        if (changed_) ::syscall(SYS_capset, &header_, saved_);
    }
    WithoutFileOverride(const WithoutFileOverride&) = delete;
    WithoutFileOverride& operator=(const WithoutFileOverride&) = delete;

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2] = {};
    bool changed_ = false;
};

bool permissionsHold(Place place) {
    switch (place) {
        case Place::Unreadable:
        case Place::WriteOnly:
            return !QFile(storeFilePath()).open(QIODevice::ReadOnly);
        case Place::ReadOnlyFolder:
            return !QFile(folder() + "/probe").open(QIODevice::WriteOnly);
        default:
            return true;
    }
}

// QSettings keeps one parsed copy per path and process; a private copy is parsed for certain.
struct OnDisk {
    QSettings::Status status = QSettings::AccessError;
    QStringList list;  // positions 0..Count
    QString active;
};

OnDisk readBack() {
    static int copies = 0;
    QTemporaryDir scratch;
    const QString copy = scratch.filePath(QStringLiteral("copy%1.ini").arg(++copies));
    if (!QFile::copy(storeFilePath(), copy)) return {};
    QSettings parsed(copy, QSettings::IniFormat);
    OnDisk result{parsed.status(), {}, parsed.value("Settings/Active").toString()};
    const int count = parsed.value("Movies/Count", -1).toString().toInt();
    for (int k = 0; k <= count; ++k)
        result.list << parsed.value(QString("Movie/%1").arg(k)).toString();
    return result;
}

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Answers the save-failure question with "Close without saving" and remembers what it said.
class FailureAnswer {
public:
    FailureAnswer() {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            text = box->text();
            for (QAbstractButton* button : box->buttons())
                if (button->text() == "Close without saving") button->click();
        });
        timer_.start();
    }
    QString text;

private:
    QTimer timer_;
};

// Names the row in test listings.
void PrintTo(const BrokenStore& row, std::ostream* out) {
    *out << row.name;
}

class BrokenStoreTest : public ::testing::TestWithParam<BrokenStore> {
protected:
    // A failed save leaves its values pending in QSettings' per-process copy of the file, where
    // the next row would read them; writing them into the emptied folder drains them.
    void TearDown() override {
        emptyFolder();
        settings::Store().refresh();
        emptyFolder();
    }
};

TEST_P(BrokenStoreTest, WhatIsReadableIsPlayedShownAndKept) {
    const BrokenStore& row = GetParam();
    const WithoutFileOverride asAUser;
    ASSERT_NO_FATAL_FAILURE(put(row));
    if (!permissionsHold(row.place)) GTEST_SKIP() << "file permissions do not apply here";

    {
        settings::Store saverStore;
        EXPECT_EQ(settings::movieCount(saverStore), row.count);
        QStringList played;
        for (qint16 position = 0; position < 4; ++position)
            played << settings::readPlaybackSlot(saverStore, position).entry;
        EXPECT_EQ(played, row.played);
        EXPECT_TRUE(settings::readSaverOptions(saverStore) == row.options);
    }

    ASSERT_NO_FATAL_FAILURE(put(row));  // as a configuration process of its own would find it
    settings::SettingsWindow window([](QString&, qint16&, const QString&) { return QString(); });
    EXPECT_EQ(window.entries(), row.shown);
    const QByteArray copiedAside = contentsOf(storeFilePath() + ".corrupt");
    FailureAnswer answer;
    EXPECT_TRUE(window.close());

    const bool saves = row.outcome != Outcome::NotSaved;
    if (row.outcome == Outcome::Unchanged) {
        EXPECT_EQ(contentsOf(storeFilePath()), row.bytes);
    } else if (saves) {
        EXPECT_TRUE(answer.text.isEmpty()) << qPrintable(answer.text);
        const OnDisk after = readBack();
        EXPECT_EQ(after.status, QSettings::NoError);
        EXPECT_EQ(after.list, row.shown);
        EXPECT_EQ(after.active, "0");
    } else {
        EXPECT_TRUE(answer.text.contains("could not be saved")) << qPrintable(answer.text);
    }
    setMode(folder(), kFolderMode);
    EXPECT_EQ(QFileInfo(storeFilePath()).isSymLink(),
              row.place == Place::DanglingLink || row.place == Place::Link);
    EXPECT_EQ(QFileInfo(storeFilePath()).isDir(), row.place == Place::FolderInPlace);
    if (!saves && row.place != Place::FolderInPlace) {
        setMode(storeFilePath(), QFile::ReadOwner | QFile::WriteOwner);
        EXPECT_EQ(contentsOf(storeFilePath()), row.bytes);
    }

    if (row.outcome == Outcome::KeptAside) {
        EXPECT_EQ(copiedAside, row.bytes);
    } else {
        EXPECT_FALSE(QFile::exists(storeFilePath() + ".corrupt"));
    }
}

const QString a = "/m/a.avi (Origin)", b = "/m/b.avi (Double)", d = "/m/d.avi (Origin)";
const QString cut = "/m/c.av", bad = QString::fromUtf8("/m/caf\xef\xbf\xbd.avi (Origin)");
const QString bare = "/m/Old (2019)/a.avi", bareB = "/m/b.avi";
const QString big = "/m/" + QString(1 << 20, u'y') + ".avi (Double)";
const QStringList kNothing = {"", "", "", ""};

QByteArray randomBytes() {
    std::mt19937 generator(7);
    QByteArray bytes;
    for (int i = 0; i < 2048; ++i) bytes += static_cast<char>(generator() & 0xff);
    return bytes + "\n[Movies]\nCount=0\n[Movie]\n0=/m/a.avi (Origin)\n";
}

const QByteArray kTwo = "[Movies]\nCount=1\n[Movie]\n0=/m/a.avi (Origin)\n1=/m/b.avi (Double)\n";
const QByteArray kGap = "[Movie]\n0=/m/a.avi (Origin)\n1=/m/b.avi (Double)\n3=/m/d.avi (Origin)\n";
const QByteArray kCut =
    "[Movies]\nCount=2\n[Movie]\n0=/m/a.avi (Origin)\n1=/m/b.avi (Double)\n2=/m/c.av";
const QByteArray kLatin1 =
    "[Movies]\nCount=1\n[Movie]\n0=/m/caf\xe9.avi (Origin)\n1=/m/b.avi (Double)\n";
const QByteArray kBig = "[Movies]\nCount=1\n[Movie]\n0=/m/a.avi (Origin)\n1=" + big.toUtf8() + "\n";
const QByteArray kBare = "[Movies]\nCount=1\n[Movie]\n0=/m/Old (2019)/a.avi\n1=/m/b.avi\n";
const QByteArray kHeader = "[Movies]\nCount=1\n[Movie\n0=/m/a.avi (Origin)\n1=/m/b.avi (Double)\n";
const QByteArray kDamaged = kTwo + "[Sett";
const QByteArray kRandom = randomBytes();
// Written by hand, with characters INI files treat otherwise, and as QSettings wrote them.
const QStringList kOdd = {R"(/m/say "hi".avi (Origin))", "/m/a,b.avi (Double)",
                          R"(/m/c;d\e.avi (Origin))", R"(/m/"f.avi (Origin))"};
const QByteArray kOddByHand =
    "[Movies]\nCount=3\n\n[Movie]\n0=/m/say \"hi\".avi (Origin)\n1=/m/a,b.avi (Double)\n"
    "2=/m/c;d\\e.avi (Origin)\n3=/m/\"f.avi (Origin)\n\n[Settings]\nActive=0\nVolume=40\nMute=1\n";
const QStringList kEscaped = {"/m/a,b.avi (Origin)", R"(/m/c\d.avi (Double))"};
const QByteArray kEscapedByQSettings =
    "[Movies]\nCount=1\n\n[Movie]\n0=\"/m/a,b.avi (Origin)\"\n1=/m/c\\\\d.avi (Double)\n\n"
    "[Settings]\nActive=0\n";
const QByteArray kDuplicates =
    "[Movies]\nCount=1\n[Movie]\n0=/m/first.avi (Origin)\n0=/m/a.avi (Origin)\n[Settings]\n"
    "Active=1\n[Movie]\n1=/m/b.avi (Double)\n";

QByteArray withCrLf(QByteArray text) {
    return text.replace("\n", "\r\n");
}

using enum Outcome;
const std::vector<BrokenStore> kBrokenStores = {
    {"TruncatedInsideAnEntry", kCut, 2, {a, b, cut, a}, {a, b, cut}, Saved},
    {"TruncatedInsideAHeader", kDamaged, 1, {a, b, a, a}, {a, b}, KeptAside},
    {"RandomBytes", kRandom, 0, {a, a, a, a}, {a}, KeptAside},
    {"InvalidUtf8", kLatin1, 1, {bad, b, bad, bad}, {bad, b}, KeptAside},
    {"AMegabyteLine", kBig, 1, {a, big, a, a}, {a, big}, Saved},
    {"CountNotANumber", "[Movies]\nCount=lots\n" + kGap, 3, {a, b, "", d}, {a, b, d}, Saved},
    {"CountHuge", "[Movies]\nCount=99999999999\n" + kGap, 3, {a, b, "", d}, {a, b, d}, Saved},
    {"CountNegative", "[Movies]\nCount=-7\n" + kGap, 3, {a, b, "", d}, {a, b, d}, Saved},
    {"EntriesWithoutModeWord", kBare, 1, {bare, bareB, bare, bare}, {bare, bareB}, Saved},
    {"BrokenSectionHeader", kHeader, 1, {a, b, a, a}, {a, b}, KeptAside},
    {"DuplicateKeysAndSections", kDuplicates, 1, {a, b, a, a}, {a, b}, KeptAside},
    {"CrLfLineEnds", withCrLf(kTwo), 1, {a, b, a, a}, {a, b}, Saved},
    {"ByteOrderMark", "\xef\xbb\xbf" + kTwo, 1, {a, b, a, a}, {a, b}, Saved},
    {"EmptyFile", "", 0, kNothing, {}, Saved},
    {"UnreadableFile", kTwo, 0, kNothing, {}, NotSaved, Place::Unreadable},
    {"WriteOnlyFile", kTwo, 0, kNothing, {}, NotSaved, Place::WriteOnly},
    {"UnwritableFolder", kTwo, 1, {a, b, a, a}, {a, b}, NotSaved, Place::ReadOnlyFolder},
    {"DamagedInReadOnlyFolder", kDamaged, 1, {a, b, a, a}, {a, b}, NotSaved, Place::ReadOnlyFolder},
    {"FolderInPlaceOfTheFile", "", 0, kNothing, {}, NotSaved, Place::FolderInPlace},
    {"DanglingLink", "", 0, kNothing, {}, Saved, Place::DanglingLink},
    {"LinkToAFileOfTheUsersOwn",
     kTwo + "\n[Settings]\nActive=0\n",
     1,
     {a, b, a, a},
     {a, b},
     Unchanged,
     Place::Link},
    {"OddCharactersByHand",
     kOddByHand,
     3,
     kOdd,
     kOdd,
     Unchanged,
     Place::File,
     {.volume = 40, .mute = true}},
    {"EscapedByQSettings", kEscapedByQSettings, 1, kEscaped + QStringList{kEscaped[0], kEscaped[0]},
     kEscaped, Unchanged},
};

INSTANTIATE_TEST_SUITE_P(Rows, BrokenStoreTest, ::testing::ValuesIn(kBrokenStores));

}  // namespace

// flickerdeck /C reads the store for its start-up decision before the window opens, in the same
// process.
TEST(DamagedStore, IsKeptAsideAlthoughTheProcessReadItBeforeTheWindowOpened) {
    const QByteArray damaged = kTwo + "[Sett\n\x01\x02no key here\n";
    ASSERT_TRUE(writeFile(storeFilePath(), damaged));
    settings::Store startUp;
    startUp.refresh();
    EXPECT_EQ(settings::activeFlag(startUp), 0);
    settings::SettingsWindow window([](QString&, qint16&, const QString&) { return QString(); });
    EXPECT_EQ(contentsOf(storeFilePath() + ".corrupt"), damaged);
    EXPECT_EQ(window.entries(), (QStringList{a, b}));
    EXPECT_TRUE(window.close());
}
