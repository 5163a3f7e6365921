#pragma once

#include <QRect>
#include <QString>

// Where the picture box goes once a movie is open, all in twips and single precision.
namespace saver {

struct TwipsRect {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    bool operator==(const TwipsRect&) const = default;
};

// The box takes the player's width and its height less a 30-twip strip that the box clips off
// the bottom (a player of 30 twips or less leaves the box's height as it was), centred in the
// window. Nothing clamps: a picture larger than the screen is cut equally on opposite sides.
// In a preview the player is already `scale` times its full-screen size, and so is the strip.
TwipsRect placePictureBox(float playerWidth, float playerHeight, float boxHeight, float innerWidth,
                          float innerHeight, float scale = 1.0F);

// A saver in a host's window shows a miniature of the full-screen view on the window's monitor:
// every size scaled by the window's size over the monitor's, the smaller of the two ratios, never
// above 1. A window as large as its monitor (or larger, or of no known size) gives 1.
float previewScale(QSize window, QSize monitor);

// Where the player's window goes inside the box, in pixels. The player centres its picture in its
// window, so a window cut equally on opposite sides shows the same pixels in the same places:
// the smallest such window that holds all that the box and the screen let be seen. A picture
// larger than the screen then costs the player no more drawing than one the screen's size.
QRect playerWindow(QSize picture, const QRect& box, QSize screen);

// A wave sound has no picture: ".WAV" anywhere in the name, in any case, keeps the box hidden.
bool showsPicture(const QString& fileName);

// Whether the picture box stays as it is while the next file opens, so the picture that shows
// stays until the next one's first picture replaces it: only from a picture to a picture.
bool keepsPicture(bool pictureShows, const QString& shownFile, const QString& nextFile);

}  // namespace saver
