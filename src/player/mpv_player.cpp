#include "player/mpv_player.h"

#include "platform/x11_connection.h"

namespace player {

MpvPlayer::MpvPlayer(const mpv::Options& options, QWidget* parent) : EnginePlayer(parent) {
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_DontCreateNativeAncestors);
    // The engine draws this window: Qt has nothing to paint or upload for it.
    setAttribute(Qt::WA_PaintOnScreen);
    setAttribute(Qt::WA_NoSystemBackground);
    startEngine(options, static_cast<int64_t>(winId()));
}

// The engine maps the window it draws in once, when it makes it; inside a host's window that map
// was seen lost now and then, and the saver stayed black for good.
void MpvPlayer::pictureFitted() {
    platform::mapChildWindows(static_cast<xcb_window_t>(winId()));
}

}  // namespace player
