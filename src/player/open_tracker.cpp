#include "player/open_tracker.h"

#include "player/movie_player.h"

namespace player {
namespace {
template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
}  // namespace

uint64_t OpenTracker::begin(int scale) {
    ++generation_;
    phase_ = Phase::Opening;
    entryId_ = -1;
    started_ = completed_ = false;
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
    const bool following = phase_ == Phase::Opening;
    return std::visit(
        Overloaded{
            [&](const mpv::CommandReply& e) {
                if (following && e.tag == generation_ << 2) {
                    if (e.error < 0) phase_ = Phase::Failed;
                    entryId_ = e.entryId;
                }
                return Actions{};
            },
            [&](const mpv::StartFile& e) {
                started_ = following && entryId_ >= 0 && e.entryId == entryId_;
                return Actions{};
            },
            [&](const mpv::FileLoaded&) {
                Actions next;
                next.queryVideoTrack = following && started_;
                return next;
            },
            [&](const mpv::VideoReconfig&) {
                Actions next;
                next.queryDisplaySize = following && started_ && !completed_;
                return next;
            },
            [&](const mpv::EndFile& e) {
                if (following && e.entryId == entryId_)
                    phase_ = e.reason == mpv::EndReason::Error ? Phase::Failed : Phase::Ended;
                return Actions{};
            },
            // A short file can end before the replies about it arrive.
            [&](const mpv::PropertyReply& e) {
                const bool opened = following || phase_ == Phase::Ended;
                return opened && isCurrent(e.tag) ? onReply(e) : Actions{};
            },
            [&](const mpv::Shutdown&) {
                phase_ = Phase::Failed;
                return Actions{};
            },
        },
        event);
}

OpenTracker::Actions OpenTracker::onReply(const mpv::PropertyReply& reply) {
    if (completed_) return {};
    switch (static_cast<Query>(reply.tag & 3)) {
        case Query::VideoTrack:
            // No picture (a sound): open all the same, keeping the previous size.
            if (reply.error >= 0) return {};
            return complete(std::nullopt);
        case Query::DisplayWidth:
            displayWidth_ = reply.error >= 0 ? reply.value : 0;
            break;
        case Query::DisplayHeight:
            displayHeight_ = reply.error >= 0 ? reply.value : 0;
            break;
    }
    if (displayWidth_ <= 0 || displayHeight_ <= 0) return {};
    return complete(QSize(int(displayWidth_ * scale_), int(displayHeight_ * scale_)));
}

OpenTracker::Actions OpenTracker::complete(std::optional<QSize> picture) {
    completed_ = true;
    Actions done;
    done.openComplete = true;
    done.picture = picture;
    return done;
}

}  // namespace player
