#include "platform/pointer.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSinglePointEvent>
#include <algorithm>

namespace platform {
namespace {

// Wayland tells a client where the pointer is only in the events of the client's own surfaces.
class ReportedPointer : public QObject {
public:
    ReportedPointer() { qApp->installEventFilter(this); }
    QPoint position() const { return position_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::Enter:
            case QEvent::MouseMove:
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
                // Every widget under the pointer gets the same event after its window did.
                if (watched->isWindowType())
                    position_ = static_cast<QSinglePointEvent*>(event)->globalPosition().toPoint();
                break;
            default:
                break;
        }
        return false;
    }

private:
    QPoint position_;
};

bool onWayland() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

// XWayland names its outputs so; it has no extension of its own to ask for.
bool underXwayland() {
    const auto screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(), [](const QScreen* screen) {
        return screen->name().startsWith(QLatin1String("XWAYLAND"));
    });
}

}  // namespace

QPoint GetCursorPos() {
    if (!onWayland()) return QCursor::pos();
    static const ReportedPointer* reported = new ReportedPointer;
    return reported->position();
}

void SetCursorPos(int x, int y) {
    if (canWarpPointer()) QCursor::setPos(x, y);
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

bool canWarpPointer() {
    return !onWayland() && !underXwayland();
}

}  // namespace platform
