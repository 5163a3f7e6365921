#include "platform/keys.h"

#include <QKeyEvent>

namespace platform {

int takeCharacter(QKeyEvent* event) {
    const QString text = event->text();
    const int c = text.isEmpty() ? 0 : text.front().unicode();
    if (c == 0 || c == 0x7f) return 0;  // X11 reports Delete as DEL
    event->accept();
    return c;
}

}  // namespace platform
