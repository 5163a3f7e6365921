#include "player/movie_player.h"

#include "platform/keys.h"

namespace player {

void MoviePlayer::keyPressEvent(QKeyEvent* event) {
    if (const int key = platform::takeCharacter(event)) return emit KeyPress(key);
    QWidget::keyPressEvent(event);
}

}  // namespace player
