#include "player/engine_player.h"

#include "platform/twips.h"
#include "player/mpv_options.h"
#include "player/shrink_to_fit.h"
#include "player/source_policy.h"

#include <utility>

namespace player {

EnginePlayer::EnginePlayer(QWidget* parent) : MoviePlayer(parent) {
    setFocusPolicy(Qt::StrongFocus);
    resize(platform::twipsToPixels(widthTwips_), platform::twipsToPixels(heightTwips_));
}

// The engine may draw into this widget's window, so it goes before the window does.
EnginePlayer::~EnginePlayer() {
    if (client_) client_->terminate();
}

void EnginePlayer::startEngine(const mpv::Options& options, int64_t windowId) {
    client_ = std::make_unique<mpv::Client>(options, windowId,
                                            [this](const mpv::Event& e) { onEngineEvent(e); });
}

void EnginePlayer::setFileName(const QString& path) {
    fileName_ = path;
    if (!isReady() || !isPlayableLocalFile(path)) {
        // Nothing stays behind from the file before, not even its last picture; a list where
        // nothing plays leaves the engine idle.
        if (client_ && playState() != NothingLoaded) client_->stop();
        tracker_.refuse();
        return emit PlayStateChange();
    }
    const double scale = (windowSizeMode_ == DoubleSize ? 2.0 : 1.0) * viewScale_;
    PlaybackChoices choices = choices_;
    choices.fitWithin = fitWithin_ = choices_.fitFor(windowSizeMode_);
    openTurn_ = 0;
    view_ = viewOptions(scale, choices);
    if (!tracker_.pictureShown()) applyView();
    client_->loadFile(tracker_.begin(scale), path, withLastPictureKept(fileOptions(choices)));
}

void EnginePlayer::applyView() {
    client_->setOptions(std::exchange(view_, {}));
}

void EnginePlayer::stop() {
    tracker_.stop();
    if (client_) client_->stop();
}

// Called on the way out, where a prompt exit matters more than waiting for the engine.
void EnginePlayer::close() {
    tracker_.stop();
    if (client_) client_->terminate(std::chrono::milliseconds(250));
}

void EnginePlayer::onEngineEvent(const mpv::Event& engineEvent) {
    const bool wasPlaying = playState() == Running;
    mpv::Event event = engineEvent;
    auto* track = std::get_if<mpv::VideoTrackReply>(&event);
    if (track && !enginesTurn_ && track->tag == tracker_.tag(OpenTracker::Query::VideoTrack)) {
        openTurn_ = (int(track->rotation % 360) + 360) % 360;
        track->rotation = 0;
    }
    const OpenTracker::Actions actions = tracker_.handle(event);
    if (actions.queryVideoTrack)
        client_->requestVideoTrack(tracker_.tag(OpenTracker::Query::VideoTrack));
    if (actions.queryDisplaySize) {
        client_->requestInt64(tracker_.tag(OpenTracker::Query::DisplayWidth), "dwidth");
        client_->requestInt64(tracker_.tag(OpenTracker::Query::DisplayHeight), "dheight");
    }
    if (actions.openComplete && !view_.isEmpty()) applyView();
    if (actions.picture) fitTo(*actions.picture);
    if (actions.openComplete) emit OpenComplete();
    // Only once whoever shows the picture has placed it: a round trip to the window system in
    // between would let the picture still showing from the file before be seen cut to the new
    // size at its old place.
    if (actions.picture) pictureFitted();
    if (wasPlaying && playState() != Running) emit PlayStateChange();
}

// The picture of the file before may still show until now, at its own turn and size.
void EnginePlayer::fitTo(QSize picture) {
    turn_ = openTurn_;
    if (quarterTurned()) picture.transpose();
    if (fitWithin_) picture = shrinkToFit(picture, *fitWithin_);
    widthTwips_ = platform::pixelsToTwips(picture.width());
    heightTwips_ = platform::pixelsToTwips(picture.height());
    resize(picture);
}

}  // namespace player
