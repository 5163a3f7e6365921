#include "saver/same_sync.h"

#include <QDateTime>
#include <algorithm>

namespace saver {

SameSync::SameSync(std::unique_ptr<SameBoard> board, int expected, QObject* parent)
    : QObject(parent),
      board_(std::move(board)),
      expected_(expected),
      sinceMs_(QDateTime::currentMSecsSinceEpoch()) {}

bool SameSync::step(const QList<MonitorPlayback*>& monitors, bool atTick) {
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    QHash<const MonitorPlayback*, SameMember> members;
    for (const MonitorPlayback* monitor : monitors) {
        SameMember member = members_.value(monitor);
        member.monitor = monitor->number;
        member.id = board_ ? board_->ownId() : 0;
        member.ended = member.round > 0 && monitor->finished();
        members.insert(monitor, member);
    }
    members_ = members;
    remote_ = board_ ? board_->others(now) : QList<SameMember>();
    const bool gathered =
        remote_.size() + monitors.size() >= expected_ || now - sinceMs_ >= kGatherMs;
    QList<MonitorPlayback*> inOrder = monitors;
    std::sort(
        inOrder.begin(), inOrder.end(),
        [](const MonitorPlayback* a, const MonitorPlayback* b) { return a->number < b->number; });
    for (MonitorPlayback* monitor : inOrder) {
        const SameStep next = sameStep(members_.value(monitor), othersThan(monitor), gathered, now);
        if (!take(next, monitor, atTick, now)) return false;
    }
    // Each tick renews the line, so the others know this process is alive.
    if (board_ && !monitors.isEmpty() &&
        (atTick || members_.value(monitors.front()) != published_)) {
        published_ = members_.value(monitors.front());
        board_->publish(published_, now);
    }
    return true;
}

bool SameSync::take(const SameStep& next, MonitorPlayback* monitor, bool atTick, qint64 nowMs) {
    SameMember& me = members_[monitor];
    switch (next.kind) {
        case SameStep::Wait:
            return true;
        case SameStep::Lead:
            if (!atTick && me.round > 0 && !monitor->passesOverAtOnce()) return true;
            if (!monitor->openNextMovie()) return false;
            me = {me.monitor, me.id, me.round + 1, monitor->playingPosition(), nowMs};
            return true;
        case SameStep::Follow:
            if (!monitor->openMovieAt(next.round.position)) return false;
            me = {me.monitor,           me.id, next.round.round, next.round.position,
                  next.round.startedMs, false, next.round.guest};
            return true;
    }
    return true;
}

QList<SameMember> SameSync::othersThan(const MonitorPlayback* monitor) const {
    QList<SameMember> others = remote_;
    for (auto it = members_.begin(); it != members_.end(); ++it)
        if (it.key() != monitor) others << it.value();
    return others;
}

void SameSync::leave() {
    if (board_) board_->leave();
}

}  // namespace saver
