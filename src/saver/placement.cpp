#include "saver/placement.h"

namespace saver {

TwipsRect placePictureBox(float playerWidth, float playerHeight, float boxHeight, float innerWidth,
                          float innerHeight) {
    const float width = playerWidth;
    const float height = playerHeight > 30.0F ? playerHeight - 30.0F : boxHeight;
    return {(innerWidth - width) / 2.0F, (innerHeight - height) / 2.0F, width, height};
}

bool showsPicture(const QString& fileName) {
    return !fileName.toUpper().contains(QLatin1String(".WAV"));
}

}  // namespace saver
