#pragma once

#include <QSize>
#include <cstdint>
#include <optional>

#include "player/movie_place.h"
#include "player/mpv_events.h"

namespace player {

// Follows one open at a time through the engine's events and answers the questions the saver
// asks: the play state, and when the file is open with which picture size. The size comes
// first from the container, so the saver can show the picture box before the first frame is
// drawn into it, and is corrected if the engine shows the picture at another. Events of earlier
// opens are told apart by the engine's play-list entry id and by the tag of each request, never
// by counting, since two quick opens can share a single start. What the engine says about an
// entry is remembered, so it counts even when it arrives before the reply that names our entry.
// A file that has played out keeps its last picture, and the engine's window keeps a picture
// until the next one replaces it: once any picture has shown, an open is complete only with its
// own first picture, so the picture box changes with the picture, and no earlier one shows
// again in a box shown anew.
class OpenTracker {
public:
    enum class Query { VideoTrack = 1, DisplayWidth = 2, DisplayHeight = 3 };

    struct Actions {
        bool queryVideoTrack = false;
        bool queryDisplaySize = false;
        bool openComplete = false;
        // with openComplete: the new size, scale applied. A second openComplete for the same
        // file corrects the size.
        std::optional<QSize> picture;
    };

    // Starts following a new open; the result tags the engine's load command.
    uint64_t begin(double scale);
    uint64_t tag(Query query) const { return generation_ << 2 | static_cast<uint64_t>(query); }

    // The open never reached the engine (refused or the engine is gone).
    void refuse() { phase_ = Phase::Failed; }
    void stop();

    Actions handle(const mpv::Event& event);
    int playState() const;
    // The engine's window may still show a picture of an earlier file.
    bool pictureShown() const { return pictureShown_; }

    // Where the movie of this open is, as the engine last told once it had loaded it; nothing
    // before. The engine's answers are tagged with placeTag().
    std::optional<MoviePlace> place() const { return place_; }
    uint64_t placeTag() const { return generation_ << 2; }

private:
    enum class Phase { Idle, Opening, Ended, Failed };

    Actions on(const mpv::CommandReply& e);
    Actions on(const mpv::StartFile& e);
    Actions on(const mpv::FileLoaded& e);
    Actions on(const mpv::VideoReconfig& e);
    Actions on(const mpv::PlaybackRestart& e);
    Actions on(const mpv::EofReached& e);
    Actions on(const mpv::EndFile& e);
    Actions on(const mpv::PropertyReply& e);
    Actions on(const mpv::VideoTrackReply& e);
    Actions on(const mpv::TimeReply& e);
    Actions on(const mpv::Shutdown& e);
    Actions onReply(const mpv::PropertyReply& reply);
    bool repliesCount(uint64_t tag) const {
        return (opening() || phase_ == Phase::Ended) && isCurrent(tag);
    }
    Actions catchUp();
    void endWith(mpv::EndReason reason);
    bool opening() const { return phase_ == Phase::Opening; }
    bool ours(int64_t entry) const {
        return entryId_ >= 0 && entry == entryId_ && (opening() || phase_ == Phase::Ended);
    }
    Actions complete(std::optional<QSize> picture);
    bool isCurrent(uint64_t tag) const { return tag >> 2 == generation_; }

    Phase phase_ = Phase::Idle;
    uint64_t generation_ = 0;
    int64_t entryId_ = -1;
    bool completed_ = false;
    bool announced_ = false;  // open, but waiting for its first picture to say so
    bool holding_ = false;    // begun while a picture of an earlier file may show
    bool pictureShown_ = false;
    bool confirmed_ = false;  // the engine itself told the picture size
    std::optional<QSize> shown_;
    std::optional<MoviePlace> place_;
    struct {
        int64_t started = -1;
        int64_t loaded = -1;
        int64_t reconfigured = -1;
        int64_t restarted = -1;
        int64_t ended = -1;
        mpv::EndReason endReason = mpv::EndReason::Eof;
    } engine_;
    double scale_ = 1.0;
    int64_t displayWidth_ = 0;
    int64_t displayHeight_ = 0;
};

}  // namespace player
