#pragma once

#include <QSize>
#include <cstdint>
#include <optional>

namespace player {

// The size the engine will show a picture at, worked out from what the container says before
// the first frame is decoded: non-square pixels widen (or heighten) the picture the way the
// engine does it, a quarter turn swaps the sides. Nothing when the container gives no size.
std::optional<QSize> announcedPictureSize(int64_t width, int64_t height, double pixelAspect,
                                          int64_t rotation);

}  // namespace player
