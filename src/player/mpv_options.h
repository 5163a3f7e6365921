#pragma once

#include <QByteArray>

#include "player/movie_player.h"
#include "player/mpv_client.h"
#include "player/video_output.h"

namespace player {

struct EngineChoice {
    VideoOutput video;
    QByteArray audioOutput;  // empty: the system's default, or silence when there is none
    bool untimed = false;    // decode as fast as possible: tests only
};

EngineChoice desktopEngine();

// Everything that would run, fetch or grab behind the saver's back is off: no user config or
// scripts, no ytdl, no references followed out of a file, no protocol but plain files, no key
// bindings, keys and pointer left to the window, and the monitor still allowed to sleep.
mpv::Options engineOptions(const EngineChoice& choice);

// The options one file plays with ("name=value,..."): volume and mute only when they differ
// from the engine's; a start only when it is not the beginning.
QByteArray fileOptions(const PlaybackChoices& choices = {});

// How the engine lays out the pictures of the file about to show: one shown at another size than
// its own (doubled, or smaller in a preview) is zoomed to fill its window; one to be fitted is
// scaled to its window, which is then smaller than the picture. Set on the engine rather than
// for the file, so that they change only when the file's first picture is there: the file before
// keeps its last picture as it was until then.
mpv::Options viewOptions(double scale, const PlaybackChoices& choices = {});

// The options with the file kept open once it has played out, paused on its last picture, until
// the next one replaces it: nothing black or idle comes between the two. The pause ends with
// the file, so the next one plays.
QByteArray withLastPictureKept(const QByteArray& options);

}  // namespace player
