// The store file as other programs or hand edits may leave it: the input is the whole of
// $XDG_CONFIG_HOME/FDK.conf (an empty input: no file). Checks the play-list reads of the
// configuration window and of the playback loop, that saving what was read reads back alike, and
// that a file the damage check passes is one the store reads whole.

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz_check.h"
#include "settings/damage.h"
#include "settings/playlist.h"
#include "settings/store.h"
#include "settings/store_format.h"

namespace {

using settings::kHighestPosition;

QString storePath;

// QSettings keeps a parsed file per process and rereads it only when its size or modification
// time changed, so every input gets a time of its own, far from any real save's.
void writeStore(const uint8_t* data, size_t size) {
    QFile::remove(storePath);
    if (size == 0) return;
    QFile file(storePath);
    if (!file.open(QIODevice::WriteOnly)) return;
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    file.flush();
    static qint64 rewrites = 0;
    static const QDateTime base(QDate(2100, 1, 1), QTime(0, 0), Qt::UTC);
    file.setFileTime(base.addSecs(++rewrites), QFileDevice::FileModificationTime);
}

void checkPlaybackSlots(settings::Store& store, int count, const QStringList& playList) {
    const settings::PlaybackSlot first = settings::readPlaybackSlot(store, 0);
    const int highest = std::min(count + 1, static_cast<int>(kHighestPosition));
    for (const int position : {0, 1, 2, count, count + 1, highest, int{kHighestPosition}}) {
        if (position < 0) continue;
        const settings::PlaybackSlot slot =
            settings::readPlaybackSlot(store, static_cast<qint16>(position));
        FUZZ_CHECK(slot.following >= 0 && slot.following <= kHighestPosition);
        FUZZ_CHECK(slot.following <= std::max(count, 0));
        if (count < 0) FUZZ_CHECK(slot.entry.isEmpty() && slot.following == 0);
        if (!slot.entry.isEmpty()) FUZZ_CHECK(playList.contains(slot.entry));
        // A position left over from a longer list starts the list again.
        if (count >= 0 && position > count) {
            FUZZ_CHECK_EQ(slot.entry, first.entry);
            FUZZ_CHECK(slot.following == first.following);
        }
    }
    // One round of the playback loop plays the configuration window's list, in its order.
    if (count < 0 || count > 500) return;
    QStringList played;
    qint16 position = 0;
    for (int step = 0; step <= count; ++step) {
        const settings::PlaybackSlot slot = settings::readPlaybackSlot(store, position);
        if (!slot.entry.isEmpty()) played << slot.entry;
        position = slot.following;
        if (position == 0) break;
    }
    FUZZ_CHECK(position == 0);
    FUZZ_CHECK(played == playList);
}

bool startsWithByteOrderMark(const QByteArray& text) {
    return text.startsWith("\xEF\xBB\xBF");
}

// Lines of the text that give a key, as the damage check splits them.
qsizetype keyLines(const QByteArray& text) {
    qsizetype count = 0;
    const QByteArray body = startsWithByteOrderMark(text) ? text.mid(3) : text;
    for (const QByteArray& raw : body.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (!line.isEmpty() && !line.startsWith(';') && !line.startsWith('#') &&
            !line.startsWith('['))
            ++count;
    }
    return count;
}

// A file the damage check lets through gets no copy before the first save overwrites it, so
// the store must read all of it: a key for every key line.
void checkDamageVerdict(const QByteArray& text) {
    if (settings::isDamagedStoreText(text)) return;
    const QSettings direct(storePath, settings::storeFormat());
    FUZZ_CHECK(direct.allKeys().size() >= keyLines(text));
}

// The configuration window saves what it read: reading again gives the same list.
void checkSaveReadsBack(const QStringList& playList) {
    QString error;
    FUZZ_CHECK(settings::writePlayList(playList, &error));
    const settings::Store reread;
    FUZZ_CHECK(settings::movieCount(reread) == playList.size() - 1);
    FUZZ_CHECK(settings::activeFlag(reread) == 0);
    const QStringList again = settings::readPlayList(reread);
    FUZZ_CHECK(again.size() == playList.size());
    for (qsizetype i = 0; i < std::min(again.size(), playList.size()); ++i)
        FUZZ_CHECK_EQ(again.at(i), playList.at(i));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Never the user's store: a private folder, fixed before the first QSettings of the process.
    // A crash skips its removal; the name tells what the leftover is.
    static QTemporaryDir home(QDir::tempPath() + QStringLiteral("/fdk-store-fuzz-XXXXXX"));
    if (!home.isValid()) std::abort();
    const QString config = home.path() + QStringLiteral("/config");
    const QString runtime = home.path() + QStringLiteral("/runtime");
    QDir().mkpath(config);
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    storePath = config + QStringLiteral("/FDK.conf");
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "store_fuzz";
        static char* argv[] = {name, nullptr};
        new QCoreApplication(argc, argv);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    writeStore(data, size);
    checkDamageVerdict(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    settings::Store store;
    FUZZ_CHECK_EQ(store.fileName(), storePath);

    const int count = settings::movieCount(store);
    FUZZ_CHECK(count >= -1 && count <= kHighestPosition);
    const QStringList playList = settings::readPlayList(store);
    FUZZ_CHECK(playList.size() <= count + 1);
    for (const QString& entry : playList) FUZZ_CHECK(!entry.isEmpty());
    // Any number is a valid flag: reading it only has to survive any text.
    settings::activeFlag(store);

    checkPlaybackSlots(store, count, playList);
    checkSaveReadsBack(playList);
    return 0;
}
