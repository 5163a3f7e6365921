#pragma once

#include <QList>
#include <QSize>
#include <functional>
#include <optional>

#include "player/movie_player.h"
#include "settings/options.h"
#include "settings/playlist.h"

namespace saver {

// A pass as it is kept between runs: its order follows from the seed and "Count" at its
// beginning, so a later run goes on with it exactly.
struct ShufflePass {
    quint32 seed = 0;
    int count = -1;
    int next = 0;     // how many of its positions have been taken
    int before = -1;  // the position played last before it began
    bool operator==(const ShufflePass&) const = default;
};

// Shuffled passes over positions 0..Count: each pass plays every position once in a random
// order, then a new order begins. The list is looked at afresh for every movie: a position that
// no longer holds an entry is passed over within the pass, and positions added meanwhile join
// the next pass.
class ShuffledOrder {
public:
    // Puts the positions in the order the seed gives.
    using Shuffle = std::function<void(QList<int>& positions, quint32 seed)>;
    explicit ShuffledOrder(Shuffle shuffle = seededShuffle);

    // Nothing when no position of a fresh pass holds an entry: the list has become empty.
    std::optional<int> next(int count, const std::function<bool(int position)>& holdsEntry);

    // Nothing before the first pass began.
    std::optional<ShufflePass> pass() const;
    void goOnWith(const ShufflePass& pass);

    static void seededShuffle(QList<int>& positions, quint32 seed);

private:
    void beginPass(int count, quint32 seed, int before);

    Shuffle shuffle_;
    QList<int> pass_;
    ShufflePass begun_;
    qsizetype next_ = 0;
    int last_ = -1;
};

// Which entry the playback loop opens next: in stored order from intMovie, or shuffled when
// Shuffle is on.
class MovieOrder {
public:
    explicit MovieOrder(ShuffledOrder shuffled = ShuffledOrder());

    // Where an earlier run left off: shuffled, its first movie is `first` (when given), then its
    // pass goes on.
    void goOnFrom(std::optional<qint16> first, const std::optional<ShufflePass>& pass);

    // From a refreshed store; an empty entry means there is none.
    settings::PlaybackSlot next(settings::Store& store, const settings::SaverOptions& options,
                                qint16 intMovie);
    std::optional<ShufflePass> pass() const { return shuffled_.pass(); }

private:
    settings::PlaybackSlot nextShuffled(settings::Store& store);

    ShuffledOrder shuffled_;
    std::optional<qint16> first_;
};

// What the options ask of the player, for a saver whose area is `area` pixels (also where a
// movie at its Fit size is shrunk into), and where the movie starts.
player::PlaybackChoices playbackChoices(const settings::SaverOptions& options, QSize area,
                                        std::optional<player::MoviePlace> startAt = {});

}  // namespace saver
