#include "platform/pointer.h"

#include <QCursor>
#include <QGuiApplication>

namespace platform {
namespace {
int displayCount = 0;
}

QPoint GetCursorPos() { return QCursor::pos(); }

void SetCursorPos(int x, int y) { QCursor::setPos(x, y); }

int ShowCursor(bool show) {
    const bool wasHidden = displayCount < 0;
    displayCount += show ? 1 : -1;
    const bool isHidden = displayCount < 0;
    // An override cursor also covers the player's own native window.
    if (isHidden && !wasHidden) QGuiApplication::setOverrideCursor(Qt::BlankCursor);
    if (wasHidden && !isHidden) QGuiApplication::restoreOverrideCursor();
    return displayCount;
}

}  // namespace platform
