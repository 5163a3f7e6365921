#include "player/shrink_to_fit.h"

#include <algorithm>
#include <cmath>

namespace player {

QSize shrinkToFit(QSize picture, QSize bounds) {
    if (picture.isEmpty() || bounds.isEmpty()) return picture;
    if (picture.width() <= bounds.width() && picture.height() <= bounds.height()) return picture;
    const double scale = std::min(double(bounds.width()) / picture.width(),
                                  double(bounds.height()) / picture.height());
    const auto side = [scale](int length, int limit) {
        return std::clamp(static_cast<int>(std::lround(length * scale)), 1, limit);
    };
    return {side(picture.width(), bounds.width()), side(picture.height(), bounds.height())};
}

}  // namespace player
