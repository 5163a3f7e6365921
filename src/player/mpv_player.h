#pragma once

#include <memory>

#include "player/movie_player.h"
#include "player/mpv_client.h"
#include "player/open_tracker.h"

namespace player {

// The player control on libmpv, drawing into its own native child window, which is always the
// picture's size: the parent clips whatever of it lies outside.
class MpvPlayer : public MoviePlayer {
    Q_OBJECT
public:
    explicit MpvPlayer(const mpv::Options& options, QWidget* parent = nullptr);
    ~MpvPlayer() override;

    bool isReady() const { return client_->isValid(); }
    QString engineError() const { return client_->error(); }
    QString engineProperty(const char* name) const { return client_->property(name); }

    void setFileName(const QString& path) override;
    QString fileName() const override { return fileName_; }
    int playState() const override { return tracker_.playState(); }
    void setWindowSizeMode(int mode) override { windowSizeMode_ = mode; }
    void setViewScale(double scale) override { viewScale_ = scale; }
    void stop() override;
    void askMoviePlace() override { client_->requestTimes(tracker_.placeTag()); }
    std::optional<MoviePlace> moviePlace() const override { return tracker_.place(); }
    void close() override;
    float widthTwips() const override { return widthTwips_; }
    float heightTwips() const override { return heightTwips_; }

protected:
    QPaintEngine* paintEngine() const override { return nullptr; }

private:
    void onEngineEvent(const mpv::Event& event);
    void fitTo(QSize picture);

    OpenTracker tracker_;
    std::unique_ptr<mpv::Client> client_;
    QString fileName_;
    int windowSizeMode_ = NativeSize;
    std::optional<QSize> fitWithin_;  // of the file last opened
    double viewScale_ = 1.0;
    float widthTwips_ = kInitialWidthTwips;
    float heightTwips_ = kInitialHeightTwips;
};

}  // namespace player
