#pragma once

#include <optional>

#include "player/engine_player.h"
#include "player/mpv_options.h"

namespace player {

// The player for the desktop the program runs on: on X11 the engine draws into a window of
// ours, everywhere else (Wayland) the program draws the pictures itself.
EnginePlayer* createDesktopPlayer(QWidget* parent);

// The engine in a window of ours (`inWindow`, where given), else the pictures drawn by the
// program (`drawn`). Where neither starts, the player opens nothing, and one line on standard
// error says why: the saver stays black and still ends at a key or a move.
EnginePlayer* createPlayer(QWidget* parent, const std::optional<EngineChoice>& inWindow,
                           const EngineChoice& drawn);

}  // namespace player
