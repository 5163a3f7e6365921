#include "player/mpv_player.h"

#include "platform/twips.h"
#include "platform/x11_connection.h"
#include "player/mpv_options.h"
#include "player/shrink_to_fit.h"
#include "player/source_policy.h"

namespace player {

MpvPlayer::MpvPlayer(const mpv::Options& options, QWidget* parent) : MoviePlayer(parent) {
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_DontCreateNativeAncestors);
    // The engine draws this window: Qt has nothing to paint or upload for it.
    setAttribute(Qt::WA_PaintOnScreen);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::StrongFocus);
    resize(platform::twipsToPixels(widthTwips_), platform::twipsToPixels(heightTwips_));
    client_ = std::make_unique<mpv::Client>(options, static_cast<int64_t>(winId()),
                                            [this](const mpv::Event& e) { onEngineEvent(e); });
}

// The engine draws into this widget's window, so it goes before the window does.
MpvPlayer::~MpvPlayer() {
    client_->terminate();
}

void MpvPlayer::setFileName(const QString& path) {
    fileName_ = path;
    if (!client_->isValid() || !isPlayableLocalFile(path)) {
        tracker_.refuse();
        return emit PlayStateChange();
    }
    const double scale = (windowSizeMode_ == DoubleSize ? 2.0 : 1.0) * viewScale_;
    PlaybackChoices choices = choices_;
    choices.fitWithin = fitWithin_ = choices_.fitFor(windowSizeMode_);
    client_->loadFile(tracker_.begin(scale), path, fileOptions(scale, choices));
}

void MpvPlayer::stop() {
    tracker_.stop();
    client_->stop();
}

// Called on the way out, where a prompt exit matters more than waiting for the engine.
void MpvPlayer::close() {
    tracker_.stop();
    client_->terminate(std::chrono::milliseconds(250));
}

void MpvPlayer::onEngineEvent(const mpv::Event& event) {
    const bool wasPlaying = playState() == Running;
    const OpenTracker::Actions actions = tracker_.handle(event);
    if (actions.queryVideoTrack)
        client_->requestVideoTrack(tracker_.tag(OpenTracker::Query::VideoTrack));
    if (actions.queryDisplaySize) {
        client_->requestInt64(tracker_.tag(OpenTracker::Query::DisplayWidth), "dwidth");
        client_->requestInt64(tracker_.tag(OpenTracker::Query::DisplayHeight), "dheight");
    }
    if (actions.picture) fitTo(*actions.picture);
    if (actions.openComplete) emit OpenComplete();
    if (wasPlaying && playState() != Running) emit PlayStateChange();
}

void MpvPlayer::fitTo(QSize picture) {
    if (fitWithin_) picture = shrinkToFit(picture, *fitWithin_);
    widthTwips_ = platform::pixelsToTwips(picture.width());
    heightTwips_ = platform::pixelsToTwips(picture.height());
    resize(picture);
    // The engine maps the window it draws in once, when it makes it; inside a host's window that
    // map was seen lost now and then, and the saver stayed black for good.
    platform::mapChildWindows(static_cast<xcb_window_t>(winId()));
}

}  // namespace player
