#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <functional>
#include <memory>
#include <optional>

#include "platform/host_window.h"
#include "player/movie_player.h"
#include "saver/black_widget.h"
#include "saver/kept_place.h"
#include "saver/movie_order.h"
#include "saver/picture_box.h"
#include "settings/store.h"

class QScreen;

namespace saver {

// Makes the player of one monitor inside its picture box; called once for each monitor that
// plays.
using PlayerFactory = std::function<player::MoviePlayer*(QWidget* parent)>;

struct MonitorSetup {
    int number = 0;        // 0: the leftmost monitor
    bool plays = true;     // false: the monitor stays black
    bool grouped = false;  // changes movie together with the other monitors
    StartPlace start;      // its own first entry, or where it goes on
    QString placeFile;     // monitor 0's place file; empty: it keeps no place (a preview)
    std::optional<platform::NativeWindowId> hostWindow;  // plays inside it, not full screen
};

// One monitor's playback: its black window covering the monitor, the picture box with the
// player, its own place in the play list, and the steps of the loop that open and place its
// movies. A monitor in a group leaves the choice of the next movie to the group.
class MonitorPlayback : public QObject {
    Q_OBJECT
public:
    MonitorPlayback(const MonitorSetup& setup, settings::Store& store,
                    const PlayerFactory& createPlayer, QObject* parent);
    ~MonitorPlayback() override;

    void tmrNext_Timer();
    void axMovie_OpenComplete();
    void axMovie_PlayStateChange();

    // Nothing loaded, or the movie has ended; false for a monitor without a player.
    bool finished() const;
    // Whether an end may be followed by the next movie at once rather than at the next tick:
    // entries that play nothing are passed over at once only until the list has been gone round.
    bool passesOverAtOnce();
    // Both end the saver (NoEntry) and return false when the position holds no entry.
    bool openNextMovie();
    bool openMovieAt(qint16 position);
    // The list position of the movie opened last.
    qint16 playingPosition() const { return playingPosition_; }

    // `area` is the monitor's on the whole screen, or the host window's size at 0, 0; whatever
    // shows is centred in it again.
    void placeOn(const QRect& area, float viewScale = 1.0F);
    void showFullScreen();
    void showInHostWindow();
    // A window manager may keep a full-screen window from its monitor; true when the window was
    // shown anew to cover it all the same.
    bool coverRefusedMonitor();
    // The steps of the saver's exit: the place is kept, and nothing plays or opens from here on.
    void stop();
    void closeEngine();

    BlackWidget* window() const { return window_.get(); }

    int number = 0;
    QPointer<QScreen> screen;  // the one it covers, when it plays full screen
    PictureBox* picContainer = nullptr;
    player::MoviePlayer* axMovie = nullptr;  // none on a monitor that stays black
    qint16 intMovie = 0;

signals:
    void KeyPress(int keyAscii);
    // The position to open holds no entry: the saver ends.
    void NoEntry();
    // Grouped: its movie ended and it waits for the group.
    void Finished();

private:
    void connectHandlers();
    void playOn();
    bool open(const settings::PlaybackSlot& slot, const settings::SaverOptions& options);
    bool noEntry(const settings::PlaybackSlot& slot);
    std::optional<player::MoviePlace> takeStartPlace();
    void rememberPlace();
    void askPlace();
    bool pictureShows() const;
    void hideFailedOpen();
    void applySizeMode(const QString& entry);
    void placePicture();
    void keepUnmanagedWindow();

    settings::Store& store_;
    std::unique_ptr<BlackWidget> window_;
    MovieOrder order_;
    bool grouped_ = false;
    std::optional<platform::NativeWindowId> hostWindow_;
    QRect area_;
    float viewScale_ = 1.0F;  // below 1 in a host's window smaller than its monitor
    bool stopped_ = false;
    bool fullScreenAsked_ = false;
    bool refusedAtLastTick_ = false;
    bool unmanaged_ = false;  // placed by us, not by the window manager
    bool keyboardTaken_ = false;
    // The loop position of the last open, whether it came to be open, and where the run of
    // entries that played nothing began since the last tick (-1: none).
    qint16 openedAt_ = 0;
    bool openCompleted_ = false;
    qint16 unplayedFrom_ = -1;
    qint16 playingPosition_ = 0;
    // The entry opened last and where in its movie it was started; the place of the first open.
    QString playingEntry_;
    std::optional<player::MoviePlace> startedAt_;
    std::optional<StartPlace> start_;
    QString placeFile_;
    QElapsedTimer placeAsked_;
};

}  // namespace saver
