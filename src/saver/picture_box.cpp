#include "saver/picture_box.h"

#include "platform/twips.h"

namespace saver {

PictureBox::PictureBox(const TwipsRect& geometry, QWidget* parent) : BlackWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    // A window of its own, so the player's window inside it is clipped to the box.
    setAttribute(Qt::WA_NativeWindow);
    setTwipsGeometry(geometry);
}

void PictureBox::setTwipsGeometry(const TwipsRect& geometry) {
    geometry_ = geometry;
    using platform::twipsToPixels;
    setGeometry(twipsToPixels(geometry.left), twipsToPixels(geometry.top),
                twipsToPixels(geometry.width), twipsToPixels(geometry.height));
}

}  // namespace saver
