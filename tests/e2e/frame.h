#pragma once

#include <QImage>
#include <QRect>
#include <ostream>

// What a screenshot of the test display shows, reduced to what the saver is judged on.
namespace e2e {

enum class Colour { Black, White, Red, Green, Blue, Other };

struct Frame {
    // No pixel of the white root window shows: a window covers the whole screen.
    bool covered = false;
    // Nothing but the white root window shows: no window of the saver is left on the screen.
    bool bare = false;
    // Bounding box of every pixel that is not black; empty when the screen is all black.
    QRect picture;
    // The most common colour inside the picture; Black when there is none.
    Colour colour = Colour::Black;
    // The pixel at the picture's centre.
    QRgb middle = 0;
};

Frame analyseFrame(const QImage& screen);

const char* colourName(Colour colour);
std::ostream& operator<<(std::ostream& out, Colour colour);
std::ostream& operator<<(std::ostream& out, const Frame& frame);

// The frame of `area` of the screen, with the picture box given in screen coordinates.
Frame analyseArea(const QImage& screen, const QRect& area);

// Position and size each within one pixel of the expected box.
bool nearlyEqual(const QRect& actual, const QRect& expected);

}  // namespace e2e
