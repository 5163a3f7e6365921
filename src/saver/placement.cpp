#include "saver/placement.h"

#include <algorithm>

namespace saver {

TwipsRect placePictureBox(float playerWidth, float playerHeight, float boxHeight, float innerWidth,
                          float innerHeight) {
    const float width = playerWidth;
    const float height = playerHeight > 30.0F ? playerHeight - 30.0F : boxHeight;
    return {(innerWidth - width) / 2.0F, (innerHeight - height) / 2.0F, width, height};
}

QRect playerWindow(QSize picture, const QRect& box, QSize screen) {
    const QRect whole(QPoint(0, 0), picture);
    const QRect seen = whole & QRect(QPoint(0, 0), box.size()) & QRect(-box.topLeft(), screen);
    if (seen.isEmpty()) return whole;
    const int x = std::min(seen.left(), picture.width() - 1 - seen.right());
    const int y = std::min(seen.top(), picture.height() - 1 - seen.bottom());
    return {x, y, picture.width() - 2 * x, picture.height() - 2 * y};
}

bool showsPicture(const QString& fileName) {
    return !fileName.toUpper().contains(QLatin1String(".WAV"));
}

}  // namespace saver
