#pragma once

// Window geometry is kept in twips (1/1440 inch) in single precision, as the stored layout
// figures are; it meets the window system's pixels only through these conversions.
namespace platform {

inline constexpr double kTwipsPerInch = 1440.0;

// The primary screen's logical DPI (96 on ordinary setups; scaling goes into the pixel ratio).
double logicalDpi();

int twipsToPixels(double twips, double dpi = logicalDpi());
float pixelsToTwips(double pixels, double dpi = logicalDpi());

}  // namespace platform
