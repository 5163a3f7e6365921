#pragma once

#include <QSize>

namespace player {

// A picture larger than the bounds, either way, is scaled down until it fits, keeping its
// aspect; one that fits keeps its size, never scaled up. Sides stay at least one pixel.
QSize shrinkToFit(QSize picture, QSize bounds);

}  // namespace player
