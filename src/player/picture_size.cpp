#include "player/picture_size.h"

#include <cmath>
#include <limits>

namespace player {
namespace {

// The engine widens with integer arithmetic; the tolerance keeps 4/3 read as 1.333... exact.
int64_t stretched(int64_t side, double factor) {
    return static_cast<int64_t>(std::floor(double(side) * factor + 1e-6));
}

}  // namespace

std::optional<QSize> announcedPictureSize(int64_t width, int64_t height, double pixelAspect,
                                          int64_t rotation) {
    constexpr int64_t kLargest = std::numeric_limits<int>::max() / 2;
    if (width <= 0 || height <= 0 || width > kLargest || height > kLargest) return std::nullopt;
    if (pixelAspect > 1.0 && std::isfinite(pixelAspect)) width = stretched(width, pixelAspect);
    if (pixelAspect > 0.0 && pixelAspect < 1.0) height = stretched(height, 1.0 / pixelAspect);
    if (width <= 0 || height <= 0 || width > kLargest || height > kLargest) return std::nullopt;
    if (rotation % 180 == 90) std::swap(width, height);
    return QSize(int(width), int(height));
}

}  // namespace player
