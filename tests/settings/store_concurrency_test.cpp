#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <iostream>
#include <set>

#include "settings/playlist.h"
#include "support/store_file.h"

// Another process saves while this one reads or kills it: whatever happens, a reader must see one
// whole save, never a mix of two, and a killed save must leave a store that parses.
namespace {

using settings::kSectionMovie;

constexpr int kDeadlineMs = 60000;

// The same text the stress tool saves.
QString entryFor(int generation, int position, int padding = 0) {
    return QStringLiteral("/gen%1/").arg(generation) + QString(padding, u'x') +
           QStringLiteral("movie%1.avi (Origin)").arg(position);
}

QStringList generation(int number, int size, int padding = 0) {
    QStringList entries;
    for (int k = 0; k < size; ++k) entries << entryFor(number, k, padding);
    return entries;
}

int generationOf(const QString& entry) {
    if (!entry.startsWith(QStringLiteral("/gen"))) return -1;
    bool ok = false;
    const int number = entry.section(u'/', 1, 1).mid(3).toInt(&ok);
    return ok ? number : -1;
}

QString entryAt(const settings::Store& store, int position) {
    return store.GetSetting(kSectionMovie, QString::number(position), {});
}

struct ReadTally {
    qint64 reads = 0;
    qint64 mixed = 0;
    qint64 partial = 0;
    std::set<int> generations;
    QString firstProblem;

    void problem(qint64& counter, const QString& what) {
        ++counter;
        if (firstProblem.isEmpty()) firstProblem = what;
    }
};

constexpr int kEvenSize = 5000;
constexpr int kOddSize = 4000;

// The saver's pattern: one refresh (inside readPlaybackSlot), then everything from that snapshot.
void readLikeTheSaver(settings::Store& store, qint16 position, QRandomGenerator& random,
                      ReadTally& tally) {
    const settings::PlaybackSlot slot = settings::readPlaybackSlot(store, position);
    ++tally.reads;
    bool countIsNumber = false;
    store.GetSetting(settings::kSectionMovies, settings::kKeyCount, {}).toInt(&countIsNumber);
    const int count = settings::movieCount(store);
    const int number = generationOf(entryAt(store, 0));
    if (!countIsNumber || number < 0)
        return tally.problem(tally.partial, QStringLiteral("no Count or no entry 0"));
    tally.generations.insert(number);
    if (count + 1 != (number % 2 ? kOddSize : kEvenSize))
        return tally.problem(tally.mixed,
                             QStringLiteral("Count %1 with generation %2").arg(count).arg(number));
    const int played = position > count ? 0 : position;
    std::vector<std::pair<int, QString>> seen = {{played, slot.entry},
                                                 {count, entryAt(store, count)},
                                                 {count / 2, entryAt(store, count / 2)},
                                                 {1, entryAt(store, 1)}};
    for (int k = 0; k < 3; ++k) {
        const int p = static_cast<int>(random.bounded(count + 1));
        seen.emplace_back(p, entryAt(store, p));
    }
    for (const auto& [p, entry] : seen) {
        if (entry == entryFor(number, p)) continue;
        qint64& counter = generationOf(entry) == number ? tally.partial : tally.mixed;
        return tally.problem(counter, QStringLiteral("position %1: %2").arg(p).arg(entry));
    }
    if (slot.following != (played == count ? 0 : played + 1))
        tally.problem(tally.partial, QStringLiteral("following %1").arg(slot.following));
}

}  // namespace

TEST(StoreConcurrency, ASaverReadingWhileTheWindowSavesSeesOneWholeSaveAtATime) {
    ASSERT_TRUE(settings::writePlayList(generation(0, kEvenSize)));
    QProcess writer;
    writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // At least 3 s and 6 saves, so the reader sees lists come and go whatever the machine's speed.
    writer.start(QStringLiteral(STORE_TOOL), {"save-loop", "1", QString::number(kEvenSize),
                                              QString::number(kOddSize), "3000", "6"});
    ASSERT_TRUE(writer.waitForStarted(kDeadlineMs));

    settings::Store store;
    QRandomGenerator random(20240611);
    const qint16 positions[] = {0, 1, 2500, 3999, 4000, 4999, 5000, 9000};
    ReadTally tally;
    const QDeadlineTimer deadline(kDeadlineMs);
    while (writer.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        readLikeTheSaver(store, positions[tally.reads % std::size(positions)], random, tally);
        if (tally.reads % 32 == 0) writer.waitForFinished(0);
    }
    ASSERT_TRUE(writer.state() == QProcess::NotRunning || writer.waitForFinished(kDeadlineMs))
        << "the writer did not finish";
    EXPECT_EQ(writer.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(writer.exitCode(), 0) << "a save failed";
    const QString summary = QString::fromUtf8(writer.readAllStandardOutput()).trimmed();
    std::cout << "concurrency: " << tally.reads << " reads, " << qPrintable(summary) << ", "
              << tally.generations.size() << " generations seen" << std::endl;

    RecordProperty("reads", static_cast<int>(tally.reads));
    RecordProperty("saves", summary.toStdString());
    EXPECT_EQ(tally.mixed, 0) << qPrintable(tally.firstProblem);
    EXPECT_EQ(tally.partial, 0) << qPrintable(tally.firstProblem);
    EXPECT_GE(tally.generations.size(), 2u) << "the reader never saw a save";
}

namespace {

// Starts the stress tool on one save and returns once it is about to write (nullptr if it never
// got there).
std::unique_ptr<QProcess> startSave(int number, int size, int padding) {
    auto tool = std::make_unique<QProcess>();
    tool->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tool->start(QStringLiteral(STORE_TOOL),
                {"save", QString::number(number), QString::number(size), QString::number(padding)});
    const QDeadlineTimer deadline(kDeadlineMs);
    while (!tool->canReadLine() && tool->waitForReadyRead(deadline.remainingTime())) {
    }
    if (tool->readLine().trimmed() != "saving") return nullptr;
    return tool;
}

bool finishedWell(QProcess& tool) {
    return tool.waitForFinished(kDeadlineMs) && tool.exitStatus() == QProcess::NormalExit &&
           tool.exitCode() == 0;
}

struct ParsedStore {
    QSettings::Status status = QSettings::AccessError;
    QStringList entries;  // positions 0..Count
};

// QSettings keeps one parsed copy per path and process and re-parses only when the file looks
// changed; a private copy under a new name is parsed for certain.
ParsedStore parseCopyOfStore(const QString& folder) {
    static int copies = 0;
    const QString copy = QStringLiteral("%1/copy%2.ini").arg(folder).arg(++copies);
    if (!QFile::copy(testsupport::storeFilePath(), copy)) return {};
    QSettings parsed(copy, QSettings::IniFormat);
    ParsedStore result{parsed.status(), {}};
    const int count = parsed.value(QStringLiteral("Movies/Count")).toString().toInt();
    for (int k = 0; k <= count; ++k)
        result.entries << parsed.value(QStringLiteral("Movie/%1").arg(k)).toString();
    QFile::remove(copy);
    return result;
}

int leftoverTemporaryFiles() {
    const QDir folder = QFileInfo(testsupport::storeFilePath()).dir();
    int leftovers = 0;
    for (const QString& name : folder.entryList({"FDK.conf.*"}, QDir::Files | QDir::Hidden))
        if (name != "FDK.conf.lock") ++leftovers;
    return leftovers;
}

// Sanitized builds save several times slower; a third of the list still takes long enough to kill.
#ifdef __SANITIZE_ADDRESS__
constexpr int kKillListSize = 10000;
#else
constexpr int kKillListSize = 30000;
#endif

}  // namespace

TEST(StoreKill, AKilledSaveLeavesTheWholeOldOrTheWholeNewListAndNoLockInTheWay) {
    constexpr int kPadding = 170;  // entries of about 200 characters: saves of up to 6 MB
    const auto sizeOf = [](int number) { return kKillListSize - (number % 2) * 1000; };
    QTemporaryDir copies;
    ASSERT_TRUE(copies.isValid());

    // A save over an existing list tells how long one takes, so that kills land before, during and
    // after the rename.
    qint64 saveMs = 0;
    const auto completeSave = [&](int number) {
        auto tool = startSave(number, sizeOf(number), kPadding);
        QElapsedTimer saving;
        saving.start();
        const bool saved = tool && finishedWell(*tool);
        saveMs = saving.elapsed();
        return saved;
    };
    ASSERT_TRUE(completeSave(0));

    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    int keptOld = 0, tookNew = 0, staleLocks = 0;
    for (int round = 0, held = 0; round < 10; ++round) {
        SCOPED_TRACE(QStringLiteral("round %1, seed %2").arg(round).arg(seed).toStdString());
        const int killed = 2 * round + 1;
        auto tool = startSave(killed, sizeOf(killed), kPadding);
        ASSERT_TRUE(tool);
        // One kill in each tenth of the span, at a random point within it.
        const double share = (round + random.generateDouble()) / 10;
        QThread::msleep(static_cast<unsigned long>(share * saveMs * 3 / 2));
        tool->kill();
        ASSERT_TRUE(tool->waitForFinished(kDeadlineMs));

        const ParsedStore afterKill = parseCopyOfStore(copies.path());
        EXPECT_EQ(afterKill.status, QSettings::NoError);
        const int found = generationOf(afterKill.entries.value(0));
        ASSERT_TRUE(found == held || found == killed) << "generation " << found;
        EXPECT_EQ(afterKill.entries, generation(found, sizeOf(found), kPadding));
        ++(found == held ? keptOld : tookNew);
        if (QFile::exists(testsupport::storeFilePath() + ".lock")) ++staleLocks;

        // The next save has to get past whatever lock the killed one left behind; the next round
        // (or the end) checks that it saved everything.
        held = killed + 1;
        ASSERT_TRUE(completeSave(held));
    }
    const ParsedStore last = parseCopyOfStore(copies.path());
    EXPECT_EQ(last.status, QSettings::NoError);
    EXPECT_EQ(last.entries, generation(20, sizeOf(20), kPadding));
    EXPECT_FALSE(QFile::exists(testsupport::storeFilePath() + ".lock"));
    RecordProperty("kept_old", keptOld);
    RecordProperty("took_new", tookNew);
    RecordProperty("stale_locks", staleLocks);
    std::cout << "kill: last save " << saveMs << " ms; kept old " << keptOld << ", took new "
              << tookNew << ", stale locks taken over " << staleLocks << ", temporary files left "
              << leftoverTemporaryFiles() << ", seed " << seed << std::endl;
}
