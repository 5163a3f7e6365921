#pragma once

#include "player/engine_player.h"

namespace player {

// The engine draws into a native child window of its own, inside this widget's: an X11 window
// id is all it needs, and it costs the program no drawing at all.
class MpvPlayer : public EnginePlayer {
    Q_OBJECT
public:
    explicit MpvPlayer(const mpv::Options& options, QWidget* parent = nullptr);

protected:
    QPaintEngine* paintEngine() const override { return nullptr; }
    void pictureFitted() override;
};

}  // namespace player
