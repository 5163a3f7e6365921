#include "saver/black_widget.h"

#include <QEvent>

#include "platform/black_background.h"
#include "platform/keys.h"

namespace saver {

BlackWidget::BlackWidget(QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags), blackInWindowSystem_(platform::windowSystemFillsBlack()) {
    if (blackInWindowSystem_) {
        setAttribute(Qt::WA_PaintOnScreen);
        setAttribute(Qt::WA_NoSystemBackground);
        return;
    }
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
}

// Where Qt paints the black itself it needs its engine.
QPaintEngine* BlackWidget::paintEngine() const {
    return blackInWindowSystem_ ? nullptr : QWidget::paintEngine();
}

// Qt makes a new native window when the flags or the parent change, so the background is set
// again for each.
bool BlackWidget::event(QEvent* event) {
    if (event->type() == QEvent::WinIdChange && blackInWindowSystem_)
        platform::setWindowSystemBlack(this);
    return QWidget::event(event);
}

void BlackWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    emit Resized();
}

void BlackWidget::keyPressEvent(QKeyEvent* event) {
    if (const int key = platform::takeCharacter(event)) return emit KeyPress(key);
    QWidget::keyPressEvent(event);
}

}  // namespace saver
