#include "platform/pointer.h"

#include <QCursor>
#include <QGuiApplication>

namespace platform {

QPoint GetCursorPos() {
    return QCursor::pos();
}

void SetCursorPos(int x, int y) {
    QCursor::setPos(x, y);
}

// An override cursor also covers the player's own native window.
void ShowCursor(bool show) {
    if (show == !isCursorHidden()) return;
    if (show)
        QGuiApplication::restoreOverrideCursor();
    else
        QGuiApplication::setOverrideCursor(Qt::BlankCursor);
}

bool isCursorHidden() {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::BlankCursor;
}

}  // namespace platform
