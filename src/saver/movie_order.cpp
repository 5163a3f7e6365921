#include "saver/movie_order.h"

#include <QRandomGenerator>
#include <algorithm>
#include <numeric>
#include <utility>

namespace saver {

ShuffledOrder::ShuffledOrder(Shuffle shuffle) : shuffle_(std::move(shuffle)) {}

std::optional<int> ShuffledOrder::next(int count,
                                       const std::function<bool(int position)>& holdsEntry) {
    for (bool freshPass = false;; freshPass = true) {
        while (next_ < pass_.size()) {
            const int position = pass_.at(next_++);
            if (position <= count && holdsEntry(position)) return last_ = position;
        }
        if (freshPass || count < 0) return {};
        beginPass(count, QRandomGenerator::global()->generate(), last_);
    }
}

std::optional<ShufflePass> ShuffledOrder::pass() const {
    if (pass_.isEmpty()) return std::nullopt;
    ShufflePass pass = begun_;
    pass.next = static_cast<int>(next_);
    return pass;
}

void ShuffledOrder::goOnWith(const ShufflePass& pass) {
    beginPass(pass.count, pass.seed, pass.before);
    next_ = std::clamp<qsizetype>(pass.next, 0, pass_.size());
    if (next_ > 0) last_ = pass_.at(next_ - 1);
}

// The same order from the same seed, in every build: the pass is kept by its seed.
void ShuffledOrder::seededShuffle(QList<int>& positions, quint32 seed) {
    QRandomGenerator random(seed);
    for (qsizetype i = positions.size() - 1; i > 0; --i)
        std::swap(positions[i], positions[random.bounded(static_cast<int>(i + 1))]);
}

// A new pass does not open with the movie that closed the one before.
void ShuffledOrder::beginPass(int count, quint32 seed, int before) {
    begun_ = {seed, count, 0, before};
    pass_.resize(count + 1);
    std::iota(pass_.begin(), pass_.end(), 0);
    shuffle_(pass_, seed);
    if (pass_.size() > 1 && pass_.front() == before) std::swap(pass_.front(), pass_.back());
    next_ = 0;
}

MovieOrder::MovieOrder(ShuffledOrder shuffled) : shuffled_(std::move(shuffled)) {}

void MovieOrder::goOnFrom(std::optional<qint16> first, const std::optional<ShufflePass>& pass) {
    first_ = first;
    if (pass) shuffled_.goOnWith(*pass);
}

settings::PlaybackSlot MovieOrder::next(settings::Store& store,
                                        const settings::SaverOptions& options, qint16 intMovie) {
    const auto first = std::exchange(first_, std::nullopt);
    if (!options.shuffle) return settings::readPlaybackSlot(store, intMovie);
    return first ? settings::readPlaybackSlot(store, *first) : nextShuffled(store);
}

settings::PlaybackSlot MovieOrder::nextShuffled(settings::Store& store) {
    const int count = settings::movieCount(store);
    const auto entryAt = [&store](int position) {
        return store.GetSetting(settings::kSectionMovie, QString::number(position), {});
    };
    const auto position =
        shuffled_.next(count, [&](int candidate) { return !entryAt(candidate).isEmpty(); });
    if (!position) return {{}, 0};
    return {entryAt(*position), static_cast<qint16>(*position >= count ? 0 : *position + 1)};
}

player::PlaybackChoices playbackChoices(const settings::SaverOptions& options, QSize area,
                                        std::optional<player::MoviePlace> startAt) {
    return {
        .fitWithin = options.shrinkToFit ? std::optional(area) : std::nullopt,
        .volume = options.volume,
        .mute = options.mute,
        .screen = area,
        .startAt = startAt,
    };
}

}  // namespace saver
