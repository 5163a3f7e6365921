#pragma once

#include <QList>
#include <QSize>
#include <functional>
#include <optional>

#include "player/movie_player.h"
#include "settings/options.h"
#include "settings/playlist.h"

namespace saver {

// Shuffled passes over positions 0..Count: each pass plays every position once in a random
// order, then a new order begins. The list is looked at afresh for every movie: a position that
// no longer holds an entry is passed over within the pass, and positions added meanwhile join
// the next pass.
class ShuffledOrder {
public:
    using Shuffle = std::function<void(QList<int>& positions)>;
    explicit ShuffledOrder(Shuffle shuffle = randomShuffle);

    // Nothing when no position of a fresh pass holds an entry: the list has become empty.
    std::optional<int> next(int count, const std::function<bool(int position)>& holdsEntry);

    static void randomShuffle(QList<int>& positions);

private:
    void beginPass(int count);

    Shuffle shuffle_;
    QList<int> pass_;
    qsizetype next_ = 0;
    int last_ = -1;
};

// Which entry the playback loop opens next: in stored order from intMovie, starting where the
// last run left off when Resume is on, or shuffled when Shuffle is on.
class MovieOrder {
public:
    explicit MovieOrder(QString resumeFile, ShuffledOrder shuffled = ShuffledOrder());

    // From a refreshed store; an empty entry means there is none and the saver ends.
    settings::PlaybackSlot next(settings::Store& store, const settings::SaverOptions& options,
                                qint16 intMovie);

private:
    settings::PlaybackSlot nextShuffled(settings::Store& store);

    QString resumeFile_;
    ShuffledOrder shuffled_;
    bool started_ = false;
};

// What the options ask of the player, for a saver whose area is `area` pixels (also where a
// movie at its Fit size is shrunk into).
player::PlaybackChoices playbackChoices(const settings::SaverOptions& options, QSize area);

}  // namespace saver
