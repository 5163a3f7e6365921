#include "saver/movie_order.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <numeric>
#include <utility>

#include "saver/resume_state.h"

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
        beginPass(count);
    }
}

void ShuffledOrder::randomShuffle(QList<int>& positions) {
    std::shuffle(positions.begin(), positions.end(), *QRandomGenerator::global());
}

// A new pass does not open with the movie that closed the one before.
void ShuffledOrder::beginPass(int count) {
    pass_.resize(count + 1);
    std::iota(pass_.begin(), pass_.end(), 0);
    shuffle_(pass_);
    if (pass_.size() > 1 && pass_.front() == last_) std::swap(pass_.front(), pass_.back());
    next_ = 0;
}

MovieOrder::MovieOrder(QString resumeFile, ShuffledOrder shuffled)
    : resumeFile_(std::move(resumeFile)), shuffled_(std::move(shuffled)) {}

settings::PlaybackSlot MovieOrder::next(settings::Store& store,
                                        const settings::SaverOptions& options, qint16 intMovie) {
    const bool first = !std::exchange(started_, true);
    if (options.shuffle) return nextShuffled(store);
    // Without a place kept, a monitor begins at its own first entry.
    if (first && options.resume && QFileInfo::exists(resumeFile_))
        intMovie = readResumePosition(resumeFile_);
    const settings::PlaybackSlot slot = settings::readPlaybackSlot(store, intMovie);
    if (options.resume && !slot.entry.isEmpty()) writeResumePosition(resumeFile_, slot.following);
    return slot;
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

player::PlaybackChoices playbackChoices(const settings::SaverOptions& options, QSize area) {
    return {
        .fitWithin = options.shrinkToFit ? std::optional(area) : std::nullopt,
        .volume = options.volume,
        .mute = options.mute,
        .screen = area,
    };
}

}  // namespace saver
