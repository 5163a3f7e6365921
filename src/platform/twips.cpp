#include "platform/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace platform {

double logicalDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 0.0;
    return dpi > 0.0 ? dpi : 96.0;
}

int twipsToPixels(double twips, double dpi) {
    return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

float pixelsToTwips(double pixels, double dpi) {
    return static_cast<float>(pixels * kTwipsPerInch / dpi);
}

}  // namespace platform
