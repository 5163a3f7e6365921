#include "settings/image_button.h"

#include <QPainter>

namespace settings {

ImageButton::ImageButton(const QString& iconPath, const QString& toolTip, QWidget* parent)
    : QAbstractButton(parent) {
    setIcon(QIcon(iconPath));
    setIconSize(QSize(32, 32));
    setToolTip(toolTip);
    setFocusPolicy(Qt::NoFocus);
}

void ImageButton::setBorderStyle(int style) {
    if (style == borderStyle_) return;
    borderStyle_ = style;
    update();
}

QSize ImageButton::sizeHint() const {
    return iconSize();
}

void ImageButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = rect();
    icon().paint(&painter, area.adjusted(0, 0, -1, -1));
    if (borderStyle_ == 1) {
        painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
        painter.drawRect(area.adjusted(0, 0, -1, -1));
    }
}

}  // namespace settings
