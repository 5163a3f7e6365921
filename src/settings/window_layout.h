#pragma once

#include <optional>

// Where the configuration window's controls go for an inner size, all in twips.
namespace settings {

inline constexpr int kStripHeight = 510;
inline constexpr int kSmallestLayoutWidth = 3150;
inline constexpr int kSizeLabelGap = 15;

struct WindowLayout {
    int listWidth;
    int listHeight;
    int stripWidth;
    int sizesLeft;
    int sizeLabelLeft;
    bool operator==(const WindowLayout&) const = default;
};

// Sizes are held in 16-bit signed twips; a larger window (over 2184 pixels at 96 DPI) is laid out
// as the largest one that fits instead of wrapping round to a negative size. Below 3150 x 510 the
// controls keep their smallest places and the window's edge cuts them off. Minimized: nothing.
std::optional<WindowLayout> layoutFor(int innerWidth, int innerHeight, bool minimized,
                                      int sizesWidth, int sizeLabelWidth);

}  // namespace settings
