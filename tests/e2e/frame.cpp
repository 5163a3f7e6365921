#include "e2e/frame.h"

#include <array>

namespace e2e {
namespace {

// Solid clips come back from the encoder a few levels off their source colour, so each channel
// only needs to be clearly high or clearly low.
Colour classify(QRgb pixel) {
    const auto level = [](int channel) { return channel >= 160 ? 1 : channel <= 90 ? 0 : -1; };
    const int r = level(qRed(pixel));
    const int g = level(qGreen(pixel));
    const int b = level(qBlue(pixel));
    if (r < 0 || g < 0 || b < 0) return Colour::Other;
    switch (r << 2 | g << 1 | b) {
        case 0:
            return Colour::Black;
        case 7:
            return Colour::White;
        case 4:
            return Colour::Red;
        case 2:
            return Colour::Green;
        case 1:
            return Colour::Blue;
        default:
            return Colour::Other;
    }
}

}  // namespace

Frame analyseFrame(const QImage& screen) {
    const QImage image = screen.convertToFormat(QImage::Format_RGB32);
    std::array<qint64, 6> counts{};
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const Colour colour = classify(line[x]);
            ++counts[static_cast<size_t>(colour)];
            if (colour == Colour::Black) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    Frame frame;
    const qint64 white = counts[static_cast<size_t>(Colour::White)];
    frame.covered = !image.isNull() && white == 0;
    frame.bare = !image.isNull() && white == qint64(image.width()) * image.height();
    if (right < 0) return frame;
    frame.picture = QRect(QPoint(left, top), QPoint(right, bottom));
    frame.middle = image.pixel(frame.picture.center());
    qint64 most = 0;
    for (size_t i = 1; i < counts.size(); ++i) {
        if (counts[i] <= most) continue;
        most = counts[i];
        frame.colour = static_cast<Colour>(i);
    }
    return frame;
}

Frame analyseArea(const QImage& screen, const QRect& area) {
    Frame frame = analyseFrame(screen.copy(area));
    if (!frame.picture.isEmpty()) frame.picture.translate(area.topLeft());
    return frame;
}

const char* colourName(Colour colour) {
    static constexpr std::array names{"black", "white", "red", "green", "blue", "other"};
    return names.at(static_cast<size_t>(colour));
}

std::ostream& operator<<(std::ostream& out, Colour colour) {
    return out << colourName(colour);
}

std::ostream& operator<<(std::ostream& out, const Frame& frame) {
    out << (frame.bare ? "bare, " : frame.covered ? "covered, " : "NOT covered, ") << frame.colour;
    if (!frame.picture.isEmpty())
        out << " " << frame.picture.width() << "x" << frame.picture.height() << " at "
            << frame.picture.x() << "," << frame.picture.y();
    return out;
}

bool nearlyEqual(const QRect& actual, const QRect& expected) {
    const auto close = [](int a, int b) { return std::abs(a - b) <= 1; };
    return close(actual.x(), expected.x()) && close(actual.y(), expected.y()) &&
           close(actual.width(), expected.width()) && close(actual.height(), expected.height());
}

}  // namespace e2e
