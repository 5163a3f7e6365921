#pragma once

#include <QSize>
#include <QString>
#include <QWidget>
#include <optional>

#include "player/movie_place.h"

// The movie player control the saver window embeds: it is handed a file name and a size mode,
// opens and plays the file by itself, and reports when the file is open. Sizes are in twips.
namespace player {

enum PlayState : int { NothingLoaded = -1, Stopped = 0, Paused = 1, Running = 2 };
// FitSize: the native size, shrunk into PlaybackChoices::screen where it is larger.
enum WindowSizeMode : int { NativeSize = 0, DoubleSize = 1, FitSize = 2 };

inline constexpr float kInitialWidthTwips = 1815.0F;
inline constexpr float kInitialHeightTwips = 735.0F;

// How the next files play, beyond their size mode; the defaults leave the engine as it is.
struct PlaybackChoices {
    std::optional<QSize> fitWithin = std::nullopt;  // pixels: a larger picture is scaled into them
    int volume = 100;                               // 0-100
    bool mute = false;
    QSize screen = QSize();  // pixels: what a picture at FitSize is scaled down into
    // Where the file starts, if not at its beginning: at that place of a movie of that length,
    // or at the same share of one whose length turns out to differ.
    std::optional<MoviePlace> startAt = std::nullopt;
    bool operator==(const PlaybackChoices&) const = default;

    std::optional<QSize> fitFor(int sizeMode) const {
        return sizeMode == FitSize ? std::optional(screen) : fitWithin;
    }
};

class MoviePlayer : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    // Opens the file and starts playing it; never waits for the open. A file that cannot be
    // played leaves the play state at NothingLoaded.
    virtual void setFileName(const QString& path) = 0;
    virtual QString fileName() const = 0;

    // NothingLoaded (nothing opened, or the last open failed), Stopped (also after playing to
    // its end), anything else while opening, playing or paused.
    virtual int playState() const = 0;

    // Takes effect at the next open.
    virtual void setWindowSizeMode(int mode) = 0;
    void setPlaybackChoices(const PlaybackChoices& choices) { choices_ = choices; }

    // Every picture shown that many times its size (on top of the size mode), for a preview
    // smaller than the screen; 1 unless set. Takes effect at the next open.
    virtual void setViewScale(double scale) = 0;

    virtual void stop() = 0;

    // Asks the engine where the movie opened last is; the answer arrives by itself, without
    // waiting for it, and moviePlace() gives it from then on: nothing until the first.
    virtual void askMoviePlace() = 0;
    virtual std::optional<MoviePlace> moviePlace() const = 0;

    // Releases the player for good; later calls do nothing.
    virtual void close() = 0;

    // Fitted to the open movie and the size mode; the initial size until a picture is known.
    virtual float widthTwips() const = 0;
    virtual float heightTwips() const = 0;

signals:
    void OpenComplete();
    // An open or a movie came to an end (refused, failed, played out): the play state may now
    // read NothingLoaded or Stopped.
    void PlayStateChange();
    void KeyPress(int keyAscii);

protected:
    void keyPressEvent(QKeyEvent* event) override;

    PlaybackChoices choices_;
};

}  // namespace player
