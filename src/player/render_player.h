#pragma once

#include <QImage>
#include <memory>

#include "player/engine_player.h"

namespace player {

// The engine hands each new picture over through its render API, and the widget paints it like
// any other: the way to show a movie where the engine cannot draw into a window of ours, as on
// Wayland. The engine converts and lays out the picture on the CPU, as its own X11 output does.
class RenderPlayer : public EnginePlayer {
    Q_OBJECT
public:
    explicit RenderPlayer(const mpv::Options& options, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void drawPicture();

    struct FreePixels {
        void operator()(uchar* pixels) const;
    };
    std::unique_ptr<uchar, FreePixels> pixels_;
    QImage picture_;  // over pixels_
};

}  // namespace player
