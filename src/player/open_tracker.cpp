#include "player/open_tracker.h"

#include "player/movie_player.h"
#include "player/picture_size.h"

#include <algorithm>
#include <cmath>

namespace player {
namespace {

// As the engine sizes a zoomed picture: each side scaled and cut to whole pixels.
QSize scaled(QSize picture, double scale) {
    return QSize(int(std::floor(picture.width() * scale + 1e-6)),
                 int(std::floor(picture.height() * scale + 1e-6)));
}

}  // namespace

uint64_t OpenTracker::begin(double scale) {
    holding_ = pictureShown_;
    ++generation_;
    phase_ = Phase::Opening;
    entryId_ = -1;
    completed_ = false;
    announced_ = false;
    confirmed_ = false;
    shown_.reset();
    place_.reset();
    scale_ = scale;
    displayWidth_ = displayHeight_ = 0;
    return generation_ << 2;
}

void OpenTracker::stop() {
    if (phase_ == Phase::Opening) phase_ = Phase::Ended;
}

int OpenTracker::playState() const {
    switch (phase_) {
        case Phase::Opening:
            return Running;
        case Phase::Ended:
            return Stopped;
        case Phase::Idle:
        case Phase::Failed:
            break;
    }
    return NothingLoaded;
}

OpenTracker::Actions OpenTracker::handle(const mpv::Event& event) {
    return std::visit([this](const auto& e) { return on(e); }, event);
}

OpenTracker::Actions OpenTracker::on(const mpv::CommandReply& e) {
    if (!opening() || e.tag != generation_ << 2) return {};
    if (e.error < 0) {
        phase_ = Phase::Failed;
        return {};
    }
    entryId_ = e.entryId;
    return catchUp();
}

OpenTracker::Actions OpenTracker::catchUp() {
    if (engine_.ended == entryId_) endWith(engine_.endReason);
    Actions next;
    next.queryVideoTrack = ours(engine_.loaded);
    next.queryDisplaySize = ours(engine_.reconfigured);
    return next;
}

OpenTracker::Actions OpenTracker::on(const mpv::StartFile& e) {
    engine_.started = e.entryId;
    return {};
}

OpenTracker::Actions OpenTracker::on(const mpv::FileLoaded&) {
    engine_.loaded = engine_.started;
    Actions next;
    next.queryVideoTrack = ours(engine_.loaded);
    return next;
}

OpenTracker::Actions OpenTracker::on(const mpv::VideoReconfig&) {
    engine_.reconfigured = engine_.started;
    Actions next;
    next.queryDisplaySize = ours(engine_.reconfigured) && !confirmed_;
    return next;
}

OpenTracker::Actions OpenTracker::on(const mpv::PlaybackRestart&) {
    engine_.restarted = engine_.started;
    const bool waiting = announced_ && !completed_;
    return waiting && ours(engine_.restarted) ? complete(shown_) : Actions{};
}

OpenTracker::Actions OpenTracker::on(const mpv::EofReached&) {
    return on(mpv::EndFile{engine_.started, mpv::EndReason::Eof, 0});
}

OpenTracker::Actions OpenTracker::on(const mpv::EndFile& e) {
    engine_.ended = e.entryId;
    engine_.endReason = e.reason;
    if (opening() && e.entryId == entryId_) endWith(e.reason);
    return {};
}

void OpenTracker::endWith(mpv::EndReason reason) {
    phase_ = reason == mpv::EndReason::Error ? Phase::Failed : Phase::Ended;
}

// A short file can end before the replies about it arrive.
OpenTracker::Actions OpenTracker::on(const mpv::PropertyReply& e) {
    return repliesCount(e.tag) ? onReply(e) : Actions{};
}

// No video track: a sound, open all the same, keeping the previous size. A container that
// gives no size leaves it to the engine's first picture.
OpenTracker::Actions OpenTracker::on(const mpv::VideoTrackReply& e) {
    if (!repliesCount(e.tag) || completed_ || confirmed_) return {};
    if (e.error < 0) return complete(std::nullopt);
    const auto announced = announcedPictureSize(e.width, e.height, e.pixelAspect, e.rotation);
    return announced ? complete(scaled(*announced, scale_)) : Actions{};
}

// An answer asked for just after an open may still be about the file before: only those given
// once the engine has loaded ours count.
OpenTracker::Actions OpenTracker::on(const mpv::TimeReply& e) {
    if (e.error < 0 || !isCurrent(e.tag) || !ours(engine_.loaded) || !std::isfinite(e.seconds))
        return {};
    MoviePlace place = place_.value_or(MoviePlace{});
    (e.kind == mpv::TimeReply::Length ? place.length : place.seconds) = std::max(e.seconds, 0.0);
    place_ = place;
    return {};
}

OpenTracker::Actions OpenTracker::on(const mpv::Shutdown&) {
    phase_ = Phase::Failed;
    return {};
}

OpenTracker::Actions OpenTracker::onReply(const mpv::PropertyReply& reply) {
    if (confirmed_) return {};
    switch (static_cast<Query>(reply.tag & 3)) {
        case Query::VideoTrack:
            return {};
        case Query::DisplayWidth:
            displayWidth_ = reply.error >= 0 ? reply.value : 0;
            break;
        case Query::DisplayHeight:
            displayHeight_ = reply.error >= 0 ? reply.value : 0;
            break;
    }
    if (displayWidth_ <= 0 || displayHeight_ <= 0) return {};
    confirmed_ = true;
    const QSize shown = scaled(QSize(int(displayWidth_), int(displayHeight_)), scale_);
    return completed_ && shown_ == shown ? Actions{} : complete(shown);
}

OpenTracker::Actions OpenTracker::complete(std::optional<QSize> picture) {
    if (picture) shown_ = picture;
    announced_ = true;
    if (holding_ && !ours(engine_.restarted)) return {};
    completed_ = true;
    pictureShown_ = pictureShown_ || shown_.has_value();
    Actions done;
    done.openComplete = true;
    done.picture = shown_;
    return done;
}

}  // namespace player
