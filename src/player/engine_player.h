#pragma once

#include <memory>

#include "player/movie_player.h"
#include "player/mpv_client.h"
#include "player/open_tracker.h"

namespace player {

// The player control on libmpv: what both ways of drawing share, the engine, its opens and the
// sizes. The widget is always the picture's size (the parent clips whatever of it lies
// outside); how the picture gets into it is the subclass's.
class EnginePlayer : public MoviePlayer {
    Q_OBJECT
public:
    ~EnginePlayer() override;

    bool isReady() const { return client_ && client_->isValid(); }
    QString engineError() const { return client_ ? client_->error() : QString(); }
    QString engineProperty(const char* name) const {
        return client_ ? client_->property(name) : QString();
    }

    void setFileName(const QString& path) override;
    QString fileName() const override { return fileName_; }
    int playState() const override { return tracker_.playState(); }
    void setWindowSizeMode(int mode) override { windowSizeMode_ = mode; }
    void setViewScale(double scale) override { viewScale_ = scale; }
    void stop() override;
    void askMoviePlace() override {
        if (client_) client_->requestTimes(tracker_.placeTag());
    }
    std::optional<MoviePlace> moviePlace() const override { return tracker_.place(); }
    void close() override;
    float widthTwips() const override { return widthTwips_; }
    float heightTwips() const override { return heightTwips_; }

protected:
    explicit EnginePlayer(QWidget* parent);
    // Once, from the subclass's constructor: windowId 0 where the engine draws no window.
    void startEngine(const mpv::Options& options, int64_t windowId);
    mpv::Client& engine() { return *client_; }
    // The widget has just been fitted to a new picture, and placed by whoever shows it.
    virtual void pictureFitted() {}

    // False where the engine is told to show every picture as it is stored, even one the file
    // says is turned: the subclass turns it, by turn() degrees clockwise, and the widget and the
    // sizes are those of the turned picture all the same.
    bool enginesTurn_ = true;
    int turn() const { return turn_; }
    bool quarterTurned() const { return turn_ % 180 == 90; }

private:
    void onEngineEvent(const mpv::Event& event);
    void applyView();
    void fitTo(QSize picture);

    OpenTracker tracker_;
    std::unique_ptr<mpv::Client> client_;
    QString fileName_;
    int windowSizeMode_ = NativeSize;
    std::optional<QSize> fitWithin_;  // of the file last opened
    mpv::Options view_;               // of the file last opened, until its first picture
    int turn_ = 0;                    // of the picture shown, where the engine does not turn
    int openTurn_ = 0;                // of the file last opened
    double viewScale_ = 1.0;
    float widthTwips_ = kInitialWidthTwips;
    float heightTwips_ = kInitialHeightTwips;
};

}  // namespace player
