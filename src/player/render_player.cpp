#include "player/render_player.h"

#include <QPainter>
#include <cstdlib>

namespace player {
namespace {

// The engine's converters run fastest on lines and memory aligned to 64 bytes.
constexpr qsizetype kAlignment = 64;

qsizetype aligned(qsizetype bytes) {
    return (bytes + kAlignment - 1) / kAlignment * kAlignment;
}

}  // namespace

RenderPlayer::RenderPlayer(const mpv::Options& options, QWidget* parent) : EnginePlayer(parent) {
    // Every pixel is painted, the picture or black.
    setAttribute(Qt::WA_OpaquePaintEvent);
    enginesTurn_ = false;
    startEngine(options, 0);
    if (isReady()) engine().startSoftwareRendering([this] { drawPicture(); });
}

void RenderPlayer::FreePixels::operator()(uchar* pixels) const {
    std::free(pixels);
}

// Taken as soon as the engine has it, since the engine waits for each picture to be taken before
// it goes on; drawn only where it can be seen (not while the next movie opens, not before the
// window shows). Showing draws the latest picture again.
void RenderPlayer::drawPicture() {
    if (!isReady()) return;
    if (!isVisible()) return engine().skipPicture();
    QSize size = (QSizeF(this->size()) * devicePixelRatioF()).toSize();
    if (quarterTurned()) size.transpose();
    if (size.isEmpty()) return;
    if (picture_.size() != size) {
        const qsizetype stride = aligned(qsizetype(size.width()) * 4);
        std::unique_ptr<uchar, FreePixels> pixels(
            static_cast<uchar*>(std::aligned_alloc(kAlignment, stride * size.height())));
        if (!pixels) return;
        picture_ = QImage(pixels.get(), size.width(), size.height(), stride, QImage::Format_RGB32);
        picture_.setDevicePixelRatio(devicePixelRatioF());
        picture_.fill(Qt::black);
        pixels_ = std::move(pixels);
    }
    engine().renderPicture(size, size_t(picture_.bytesPerLine()), pixels_.get());
    update();
}

void RenderPlayer::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (picture_.isNull()) return painter.fillRect(rect(), Qt::black);
    const QSizeF drawn = picture_.deviceIndependentSize();
    painter.translate(width() / 2.0, height() / 2.0);
    painter.rotate(turn());
    painter.drawImage(QPointF(-drawn.width() / 2.0, -drawn.height() / 2.0), picture_);
}

void RenderPlayer::showEvent(QShowEvent* event) {
    EnginePlayer::showEvent(event);
    drawPicture();
}

// The engine lays the picture out for the size it is drawn at.
void RenderPlayer::resizeEvent(QResizeEvent* event) {
    EnginePlayer::resizeEvent(event);
    drawPicture();
}

}  // namespace player
