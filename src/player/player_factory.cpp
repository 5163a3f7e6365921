#include "player/player_factory.h"

#include <QStringList>

#include "player/mpv_player.h"
#include "player/render_player.h"

namespace player {

EnginePlayer* createDesktopPlayer(QWidget* parent) {
    const EngineChoice engine = desktopEngine();
    EngineChoice drawn = engine;
    drawn.video = {kRenderApiOutput, {}};
    const bool inWindow = engine.video.output != kRenderApiOutput;
    return createPlayer(parent, inWindow ? std::optional(engine) : std::nullopt, drawn);
}

EnginePlayer* createPlayer(QWidget* parent, const std::optional<EngineChoice>& inWindow,
                           const EngineChoice& drawn) {
    QStringList errors;
    if (inWindow) {
        auto* player = new MpvPlayer(engineOptions(*inWindow), parent);
        if (player->isReady()) return player;
        errors << player->engineError();
        delete player;
    }
    auto* player = new RenderPlayer(engineOptions(drawn), parent);
    if (!player->isReady()) {
        errors << player->engineError();
        qWarning("flickerdeck: no video output, the screen stays black (%s)",
                 qPrintable(errors.join(QLatin1String("; "))));
    }
    return player;
}

}  // namespace player
