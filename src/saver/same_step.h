#pragma once

#include <QByteArray>
#include <QList>
#include <optional>

// Monitors that play the same movie change movie together. One of them, the leader (the lowest
// monitor number), begins each round, a new movie on every monitor, once every monitor that took
// part in the last round from its start has ended it; the others follow at once. A monitor that
// joins a round late (just started, or back from being stopped) is its guest: it plays that
// movie too, nobody waits for it, and it is cut short when the next round begins.
namespace saver {

struct SameMember {
    int monitor = 0;
    qint64 id = 0;         // tells apart members that claim the same monitor (a process id)
    int round = 0;         // rounds begun so far; 0: none yet
    qint16 position = 0;   // the play-list position of its round
    qint64 startedMs = 0;  // when the leader began that round
    bool ended = false;    // its movie of the round has ended, or never opened
    bool guest = false;
    bool operator==(const SameMember&) const = default;
};

struct SameStep {
    enum Kind { Wait, Lead, Follow };
    Kind kind = Wait;
    SameMember round;  // Follow: the round to join, with `guest` telling how
    bool operator==(const SameStep&) const = default;
};

// A round joined later than this after it began is joined as a guest.
inline constexpr qint64 kJoinedLateMs = 1000;

// What `me` does next among the `others` that are alive. `gathered`: the first round may begin
// (every monitor expected is there, or waiting for them has lasted long enough).
SameStep sameStep(const SameMember& me, const QList<SameMember>& others, bool gathered,
                  qint64 nowMs);

// A member as one line of text, with the time it was written; anything else reads as nothing.
struct SameRecord {
    SameMember member;
    qint64 writtenMs = 0;
};
QByteArray sameRecordText(const SameMember& member, qint64 nowMs);
std::optional<SameRecord> parseSameRecord(const QByteArray& text);

}  // namespace saver
