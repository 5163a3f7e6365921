#pragma once

#include <QByteArray>

#include "player/mpv_client.h"

namespace player {

struct EngineChoice {
    QByteArray videoOutput;
    QByteArray audioOutput;
    bool untimed = false;  // decode as fast as possible: tests only
};

// A desktop with hardware OpenGL gets GPU output; elsewhere the EGL probe refuses the software
// renderer and the cheap x11 output takes over. The context is pinned: mpv's automatic probe of
// every context has taken the whole process down on machines without hardware OpenGL.
EngineChoice desktopEngine();

// Everything that would run, fetch or grab behind the saver's back is off: no user config or
// scripts, no ytdl, no references followed out of a file, no protocol but plain files, no key
// bindings, keys and pointer left to the window, and the monitor still allowed to sleep.
mpv::Options engineOptions(const EngineChoice& choice);

}  // namespace player
