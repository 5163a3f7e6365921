#include "settings/window_layout.h"

#include <QtGlobal>
#include <algorithm>
#include <limits>

namespace settings {
namespace {

qint16 sixteenBit(int twips) {
    return static_cast<qint16>(std::clamp<int>(twips, std::numeric_limits<qint16>::min(),
                                               std::numeric_limits<qint16>::max()));
}

}  // namespace

std::optional<WindowLayout> layoutFor(int innerWidth, int innerHeight, bool minimized,
                                      int sizesWidth, int sizeLabelWidth) {
    if (minimized) return std::nullopt;
    qint16 width = sixteenBit(innerWidth);
    qint16 height = sixteenBit(innerHeight);
    if (height < kStripHeight) height = kStripHeight;
    if (width < kSmallestLayoutWidth) width = kSmallestLayoutWidth;
    const int sizesLeft = width - sizesWidth;
    return WindowLayout{width, height - kStripHeight, width, sizesLeft,
                        sizesLeft - sizeLabelWidth - kSizeLabelGap};
}

}  // namespace settings
