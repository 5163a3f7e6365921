#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include "saver/monitor_layout.h"
#include "saver/same_board.h"
#include "saver/same_step.h"

using saver::SameMember;
using saver::SameStep;

TEST(MonitorLayout, NumbersByLeftThenTopEdgeAndStartsRoundTheList) {
    const std::pair<QList<QRect>, QList<int>> layouts[] = {
        {{{0, 0, 1280, 960}, {1280, 0, 1024, 768}}, {0, 1}},
        {{{1920, 0, 800, 600}, {0, 0, 1920, 1080}}, {1, 0}},
        {{{0, 1080, 1920, 1080}, {0, 0, 1920, 1080}, {-1024, 300, 1024, 768}}, {2, 1, 0}},
        {{{0, 0, 800, 600}, {0, 0, 800, 600}}, {0, 1}},  // mirrored: in the order given
        {{}, {}},
    };
    for (const auto& [screens, numbers] : layouts)
        EXPECT_EQ(saver::monitorNumbers(screens), numbers);

    const struct {
        int monitor, count;
        qint16 entry;
    } starts[] = {{0, 4, 0}, {1, 4, 1}, {3, 2, 0}, {2, 0, 0}, {1, -1, 0}};
    for (const auto& start : starts)
        EXPECT_EQ(saver::startEntry(start.monitor, start.count), start.entry)
            << start.monitor << " of " << start.count;
    EXPECT_EQ(saver::monitorStateFile("/s/resume", 0), "/s/resume");
    EXPECT_EQ(saver::monitorStateFile("/s/resume", 2), "/s/resume-2");
}

TEST(MonitorLayout, AHostWindowIsOnTheMonitorHoldingItsCentreAndAPreviewIsAlone) {
    const QList<QRect> screens{{1280, 0, 1024, 768}, {0, 0, 1280, 960}};
    const QSize left(1280, 960), right(1024, 768);
    const std::pair<QRect, saver::HostMonitor> cases[] = {
        {{1280, 0, 1024, 768}, {1, false, false, right}},
        {{0, 0, 1280, 960}, {0, true, false, left}},
        {{1000, 0, 1300, 960}, {1, false, false, right}},   // centre on the right one
        {{5000, 5000, 1280, 960}, {0, true, false, left}},  // off every monitor: the primary
        {{1400, 100, 566, 318}, {.size = right}},           // a preview
    };
    for (const auto& [window, monitor] : cases)
        EXPECT_EQ(saver::hostMonitor(window, screens, 1), monitor)
            << window.x() << "," << window.y() << " " << window.width();
    EXPECT_EQ(saver::hostMonitor({0, 0, 800, 600}, {{0, 0, 800, 600}}, 0),
              (saver::HostMonitor{0, true, true, {800, 600}}));
    EXPECT_EQ(saver::hostMonitor({0, 0, 800, 600}, {}, -1), saver::HostMonitor{});
}

namespace {
SameMember member(int monitor, int round, bool ended, bool guest = false, qint64 startedMs = 0) {
    return {.monitor = monitor,
            .round = round,
            .position = qint16(round),
            .startedMs = startedMs,
            .ended = ended,
            .guest = guest};
}
}  // namespace

TEST(SameStep, TheLeaderBeginsARoundWhenAllWhoBeganTheLastHaveEndedItAndTheOthersFollow) {
    constexpr qint64 now = 100000;
    const SameStep wait{}, lead{SameStep::Lead, {}};
    const auto follow = [](SameMember round, bool guest) {
        round.ended = false;
        round.guest = guest;
        return SameStep{SameStep::Follow, round};
    };
    const struct {
        const char* what;
        SameMember me;
        QList<SameMember> others;
        bool gathered;
        SameStep step;
    } cases[] = {
        {"alone, first round", member(0, 0, false), {}, true, lead},
        {"first round waits to gather", member(0, 0, false), {member(1, 0, false)}, false, wait},
        {"first round gathered", member(0, 0, false), {member(1, 0, false)}, true, lead},
        {"not the leader", member(1, 0, false), {member(0, 0, false)}, true, wait},
        {"its own movie plays on", member(0, 3, false), {member(1, 3, true)}, true, wait},
        {"another still plays", member(0, 3, true), {member(1, 3, false)}, true, wait},
        {"all ended", member(0, 3, true), {member(1, 3, true), member(2, 3, true)}, true, lead},
        {"nobody waits for a guest", member(0, 3, true), {member(1, 3, false, true)}, true, lead},
        {"a guest leader does not wait for itself",
         member(0, 3, false, true),
         {member(1, 3, true)},
         true,
         lead},
        {"guests alone play their movie out",
         member(0, 3, false, true),
         {member(1, 3, false, true)},
         true,
         wait},
        {"a late round is not waited for", member(0, 3, true), {member(1, 2, false)}, true, lead},
        {"follows at once",
         member(1, 3, true),
         {member(0, 4, false, false, now - 50)},
         true,
         follow(member(0, 4, false, false, now - 50), false)},
        {"joins late as a guest",
         member(1, 0, false),
         {member(0, 4, false, false, now - 5000)},
         false,
         follow(member(0, 4, false, false, now - 5000), true)},
        {"a guest is cut short",
         member(1, 3, false, true),
         {member(0, 4, false, false, now)},
         true,
         follow(member(0, 4, false, false, now), false)},
        {"the newest round of the lowest monitor",
         member(2, 3, true),
         {member(1, 4, false, false, now), member(0, 4, false, false, now)},
         true,
         follow(member(0, 4, false, false, now), false)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(saver::sameStep(c.me, c.others, c.gathered, now), c.step) << c.what;

    SameMember same{
        .monitor = 1, .id = 7, .round = 3, .position = 2, .startedMs = 99, .ended = true};
    auto read = saver::parseSameRecord(saver::sameRecordText(same, now));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->writtenMs, now);
    same.id = 0;  // the reader knows it from the file's name
    EXPECT_EQ(read->member, same);
    for (const char* bad : {"", "1 2 3", "1 2 3 4 5 6 x", "1 2 40000 4 0 0 5", "1 2 3 4 2 0 5",
                            "-1 2 3 4 0 0 5", "1 2 3 4 0 0 5 6"})
        EXPECT_FALSE(saver::parseSameRecord(bad)) << bad;
}

TEST(SameBoard, CountsFreshLinesOfLiveProcessesAndRemovesThoseOfEndedOnes) {
    QTemporaryDir runtime;
    const QString folder = saver::SameBoard::folderFor(runtime.path(), ":0.0");
    EXPECT_EQ(folder, runtime.path() + "/flickerdeck-same-_0.0");
    saver::SameBoard board(folder);
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const pid_t ended = fork();
    if (ended == 0) _exit(0);
    ASSERT_EQ(waitpid(ended, nullptr, 0), ended);
    const std::pair<qint64, qint64> lines[] = {
        {getppid(), now - 100}, {ended, now}, {1, now - 9000}};
    for (const auto& [id, writtenMs] : lines) {
        QFile file(folder + "/" + QString::number(id));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(saver::sameRecordText({.monitor = 1, .round = 2}, writtenMs));
    }
    board.publish({.monitor = 0, .round = 2}, now);
    const QList<SameMember> others = board.others(now);
    ASSERT_EQ(others.size(), 1);
    EXPECT_EQ(others.front().id, getppid());
    EXPECT_FALSE(QFile::exists(folder + "/" + QString::number(ended)));
    EXPECT_TRUE(QFile::exists(folder + "/1"));  // stopped, maybe: it may come back
    board.leave();
    EXPECT_FALSE(QFile::exists(folder + "/" + QString::number(board.ownId())));
}
