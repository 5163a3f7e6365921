#include "settings/image_button.h"

#include <QPainter>
#include <QStyleOptionFocusRect>

namespace settings {

ImageButton::ImageButton(const QString& iconPath, const QString& toolTip, QWidget* parent)
    : QAbstractButton(parent) {
    setIcon(QIcon(iconPath));
    setIconSize(QSize(32, 32));
    setToolTip(toolTip);
    // In the Tab order, but a click leaves the keyboard where it was.
    setFocusPolicy(Qt::TabFocus);
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
    icon().paint(&painter, area.adjusted(0, 0, -1, -1), Qt::AlignCenter,
                 isEnabled() ? QIcon::Normal : QIcon::Disabled);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = area.adjusted(2, 2, -3, -3);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
    if (borderStyle_ == 1) {
        painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
        painter.drawRect(area.adjusted(0, 0, -1, -1));
    }
}

}  // namespace settings
