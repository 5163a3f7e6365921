#pragma once

#include <QStringList>

#include "platform/twips.h"
#include "player/movie_player.h"

// Stands in for the libmpv control: records what the saver asks of it and lets the test decide
// when a file is open and when it ends.
class FakePlayer : public player::MoviePlayer {
public:
    using MoviePlayer::MoviePlayer;

    void setFileName(const QString& path) override {
        fileName_ = path;
        opened << path;
        modesAtOpen << mode_;
        state = player::Running;
        if (refuseEveryOpen) fail();
    }
    QString fileName() const override { return fileName_; }
    int playState() const override { return state; }
    void setWindowSizeMode(int mode) override {
        mode_ = mode;
        modeWrites << mode;
    }
    void setViewScale(double scale) override { viewScale = scale; }
    void stop() override {
        ++stops;
        state = player::Stopped;
    }
    void close() override { closed = true; }
    void askMoviePlace() override {}
    std::optional<player::MoviePlace> moviePlace() const override { return std::nullopt; }
    float widthTwips() const override { return width_; }
    float heightTwips() const override { return height_; }

    // The open finished with a picture of the given size in pixels, scaled by the mode and the
    // view scale in force.
    void completeOpen(int pixelWidth, int pixelHeight) {
        const double scale = (mode_ == player::DoubleSize ? 2 : 1) * viewScale;
        width_ = platform::pixelsToTwips(pixelWidth * scale);
        height_ = platform::pixelsToTwips(pixelHeight * scale);
        emit OpenComplete();
    }
    // The movie played out, or its open failed; the player says so, as libmpv's does.
    void finish() {
        state = player::Stopped;
        emit PlayStateChange();
    }
    void fail() {
        state = player::NothingLoaded;
        emit PlayStateChange();
    }

    int state = player::NothingLoaded;
    QStringList opened;
    QList<int> modesAtOpen;
    QList<int> modeWrites;
    int stops = 0;
    bool closed = false;
    bool refuseEveryOpen = false;
    double viewScale = 1.0;

private:
    QString fileName_;
    int mode_ = player::NativeSize;
    float width_ = player::kInitialWidthTwips;
    float height_ = player::kInitialHeightTwips;
};
