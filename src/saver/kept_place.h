#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

#include "player/movie_place.h"
#include "saver/movie_order.h"

// Where a monitor is in the play list and in its movie, kept between runs: hosts end and start
// their saver many times in one idle period, and the run that follows goes on from there.
namespace saver {

struct KeptPlace {
    qint16 position = 0;  // of the movie in the list
    // The entry at that position then; empty in a file of an earlier version, which held only
    // the position Resume starts at.
    QString entry{};
    player::MoviePlace movie{};
    qint64 writtenMs = 0;  // wall clock; 0 in a file of an earlier version
    std::optional<ShufflePass> pass{};
    bool operator==(const KeptPlace&) const = default;
};

QByteArray keptPlaceText(const KeptPlace& place);
// Nothing for anything but such a text, or an earlier version's one position.
std::optional<KeptPlace> parseKeptPlace(const QByteArray& text);

struct StartPlace {
    qint16 position = 0;
    player::MoviePlace movie{};  // seconds 0: from its beginning
    bool goesOnWithIt = false;   // the movie at `position` comes first, shuffled or not
    std::optional<ShufflePass> pass{};
    bool operator==(const StartPlace&) const = default;
};

struct StartRules {
    qint64 nowMs = 0;
    bool resume = false;
    qint16 ownFirst = 0;  // where a new run begins on this monitor
    int count = -1;
    std::function<QString(int position)> entryAt;
};

// A saver that starts within kHandOverMs of the last write of the place (however the saver
// before ended: the last write, at most a second old, stands for the end) goes on with the same
// movie where it was; a later one is a new run, which Resume makes go on all the same. Nothing
// kept is trusted: an entry number past "Count" begins a new run, another entry at that number
// or a position that is not inside the movie begins that entry, and a movie within
// kNearEndSeconds of its end gives way to the entry after it.
StartPlace whereToStart(const std::optional<KeptPlace>& kept, const StartRules& rules);

// Where the movie of the last open is now. Played out, it is at its end; playing, where the
// engine last told (`agoMs` ago, on the tick), moved on by the time since, unless that is longer
// than a tick: then the process was stopped or held up, and so was the movie. Before the engine
// told anything, at the place it was started at.
player::MoviePlace moviePlaceNow(int playState, const std::optional<player::MoviePlace>& told,
                                 qint64 agoMs, const std::optional<player::MoviePlace>& startedAt);

inline constexpr qint64 kHandOverMs = 10000;
inline constexpr double kNearEndSeconds = 2.0;

}  // namespace saver
