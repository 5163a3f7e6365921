#include "platform/pointer.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QSinglePointEvent>
#include <utility>

#include "platform/x11_connection.h"

namespace platform {
namespace {

void hideCursor() {
    QGuiApplication::setOverrideCursor(Qt::BlankCursor);
}

// Wayland tells a client where the pointer is only in the events of the client's own surfaces.
// Each time the pointer enters one, the client must say again what it looks like, and Qt leaves
// a blank cursor unsaid: the compositor's last one would stay on the screen.
class ReportedPointer : public QObject {
public:
    ReportedPointer() { qApp->installEventFilter(this); }
    QPoint position() const { return position_; }
    std::optional<QPoint> takeFirst() { return std::exchange(first_, std::nullopt); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::Enter:
                if (watched->isWindowType() && isCursorHidden())
                    QMetaObject::invokeMethod(this, &ReportedPointer::hideAgain,
                                              Qt::QueuedConnection);
                [[fallthrough]];
            case QEvent::MouseMove:
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
                // Every widget under the pointer gets the same event after its window did.
                if (!watched->isWindowType()) break;
                position_ = static_cast<QSinglePointEvent*>(event)->globalPosition().toPoint();
                if (!first_) first_ = position_;
                break;
            default:
                break;
        }
        return false;
    }

private:
    void hideAgain() {
        if (!isCursorHidden()) return;
        QGuiApplication::restoreOverrideCursor();
        hideCursor();
    }

    QPoint position_;
    std::optional<QPoint> first_;  // since it was last taken
};

bool onWayland() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

ReportedPointer& reportedPointer() {
    static auto* reported = new ReportedPointer;
    return *reported;
}

}  // namespace

QPoint GetCursorPos() {
    return onWayland() ? reportedPointer().position() : QCursor::pos();
}

std::optional<QPoint> firstCursorPosSinceAsked() {
    if (!onWayland()) return QCursor::pos();
    return reportedPointer().takeFirst();
}

void SetCursorPos(int x, int y) {
    if (canWarpPointer()) QCursor::setPos(x, y);
}

// An override cursor also covers the player's own native window.
void ShowCursor(bool show) {
    if (show == !isCursorHidden()) return;
    if (show) return QGuiApplication::restoreOverrideCursor();
    if (onWayland()) reportedPointer();
    hideCursor();
}

bool isCursorHidden() {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::BlankCursor;
}

bool canWarpPointer() {
    return !onWayland() && !isXwayland();
}

}  // namespace platform
