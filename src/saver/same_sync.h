#pragma once

#include <QHash>
#include <QObject>
#include <memory>

#include "saver/monitor_playback.h"
#include "saver/same_board.h"
#include "saver/same_step.h"

namespace saver {

// Keeps monitors that play the same movie in step: each step lets every monitor of this process
// lead, follow or wait by the in-step rule. Without a board all the monitors are in this
// process; with one, each other monitor is a process of its own that the board tells about.
class SameSync : public QObject {
    Q_OBJECT
public:
    // `expected`: how many monitors the first movie waits for, for a short while at most.
    SameSync(std::unique_ptr<SameBoard> board, int expected, QObject* parent = nullptr);

    // A tick may begin a round whatever played before; the end of a movie only while the list
    // has not been gone round without a picture. False when the saver ended on the way.
    bool step(const QList<MonitorPlayback*>& monitors, bool atTick);
    void leave();
    // A monitor that went away: a new one is never taken for it.
    void forget(const MonitorPlayback* monitor) { members_.remove(monitor); }

    SameBoard* board() const { return board_.get(); }

private:
    bool take(const SameStep& next, MonitorPlayback* monitor, bool atTick, qint64 nowMs);
    QList<SameMember> othersThan(const MonitorPlayback* monitor) const;

    std::unique_ptr<SameBoard> board_;
    int expected_;
    qint64 sinceMs_;
    QHash<const MonitorPlayback*, SameMember> members_;
    QList<SameMember> remote_;
    SameMember published_;
};

// How long the first movie waits for the monitors still starting.
inline constexpr qint64 kGatherMs = 2000;

}  // namespace saver
