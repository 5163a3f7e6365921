#include "saver/placement.h"

#include <algorithm>

namespace saver {

TwipsRect placePictureBox(float playerWidth, float playerHeight, float boxHeight, float innerWidth,
                          float innerHeight, float scale) {
    const float strip = 30.0F * scale;
    const float width = playerWidth;
    const float height = playerHeight > strip ? playerHeight - strip : boxHeight;
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

float previewScale(QSize window, QSize monitor) {
    if (window.isEmpty() || monitor.isEmpty()) return 1.0F;
    const float across = float(window.width()) / float(monitor.width());
    const float down = float(window.height()) / float(monitor.height());
    return std::min({across, down, 1.0F});
}

bool showsPicture(const QString& fileName) {
    return !fileName.toUpper().contains(QLatin1String(".WAV"));
}

bool keepsPicture(bool pictureShows, const QString& shownFile, const QString& nextFile) {
    return pictureShows && showsPicture(shownFile) && showsPicture(nextFile);
}

}  // namespace saver
