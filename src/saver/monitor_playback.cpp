#include "saver/monitor_playback.h"

#include <QDateTime>
#include <QScreen>
#include <QWindow>
#include <utility>

#include "platform/twips.h"
#include "platform/x11_connection.h"
#include "saver/monitor_layout.h"
#include "saver/placement.h"
#include "saver/resume_state.h"
#include "settings/entry.h"
#include "settings/playlist.h"

namespace saver {
namespace {

constexpr TwipsRect kInitialPictureBox{0, 0, 2415, 1455};

Qt::WindowFlags windowFlags(bool hosted) {
    return Qt::Window | Qt::FramelessWindowHint |
           (hosted ? Qt::WindowFlags() : Qt::WindowStaysOnTopHint);
}

}  // namespace

MonitorPlayback::MonitorPlayback(const MonitorSetup& setup, settings::Store& store,
                                 const PlayerFactory& createPlayer, QObject* parent)
    : QObject(parent),
      number(setup.number),
      intMovie(setup.start.position),
      store_(store),
      window_(std::make_unique<BlackWidget>(nullptr, windowFlags(setup.hostWindow.has_value()))),
      grouped_(setup.grouped),
      hostWindow_(setup.hostWindow),
      start_(setup.start),
      placeFile_(setup.placeFile) {
    order_.goOnFrom(setup.start.goesOnWithIt ? std::optional(setup.start.position) : std::nullopt,
                    setup.start.pass);
    window_->setFocusPolicy(Qt::StrongFocus);
    picContainer = new PictureBox(kInitialPictureBox, window_.get());
    picContainer->hide();
    if (setup.plays) {
        axMovie = createPlayer(picContainer);
        axMovie->move(0, 0);
    }
    connectHandlers();
}

// The player goes with the window it draws in.
MonitorPlayback::~MonitorPlayback() = default;

void MonitorPlayback::connectHandlers() {
    connect(window_.get(), &BlackWidget::KeyPress, this, &MonitorPlayback::KeyPress);
    // Whatever size the window manager gives the window, the picture is centred in it.
    connect(window_.get(), &BlackWidget::Resized, this, &MonitorPlayback::placePicture);
    connect(picContainer, &PictureBox::KeyPress, this, &MonitorPlayback::KeyPress);
    if (!axMovie) return;
    connect(axMovie, &player::MoviePlayer::KeyPress, this, &MonitorPlayback::KeyPress);
    connect(axMovie, &player::MoviePlayer::OpenComplete, this,
            &MonitorPlayback::axMovie_OpenComplete);
    // Queued: a file refused inside an open must not open the next one inside that open.
    connect(axMovie, &player::MoviePlayer::PlayStateChange, this,
            &MonitorPlayback::axMovie_PlayStateChange, Qt::QueuedConnection);
}

// Each tick may go round the whole list once more, however little of it plays.
void MonitorPlayback::tmrNext_Timer() {
    unplayedFrom_ = -1;
    rememberPlace();
    if (!grouped_) playOn();
}

// The end of a movie, or of an open that failed, moves on at once instead of at the next tick.
void MonitorPlayback::axMovie_PlayStateChange() {
    if (!finished()) return;
    hideFailedOpen();
    if (grouped_) return emit Finished();
    if (passesOverAtOnce()) playOn();
}

// Safe in any state: after the end, or with nothing loaded, it does only what applies.
void MonitorPlayback::playOn() {
    if (finished()) openNextMovie();
}

bool MonitorPlayback::finished() const {
    if (stopped_ || !axMovie) return false;
    const int state = axMovie->playState();
    return state == player::NothingLoaded || state == player::Stopped;
}

// The rest of a list where nothing plays waits for the tick, so such a list keeps the saver idle.
bool MonitorPlayback::passesOverAtOnce() {
    if (openCompleted_) return true;
    if (unplayedFrom_ < 0) unplayedFrom_ = openedAt_;
    return intMovie != unplayedFrom_;
}

bool MonitorPlayback::openNextMovie() {
    store_.refresh();
    const settings::SaverOptions options = settings::readSaverOptions(store_);
    return open(order_.next(store_, options, intMovie), options);
}

// The group's position: neither this monitor's shuffled order nor its resumed place decides.
bool MonitorPlayback::openMovieAt(qint16 position) {
    store_.refresh();
    intMovie = position;
    return open(order_.next(store_, {}, position), settings::readSaverOptions(store_));
}

bool MonitorPlayback::open(const settings::PlaybackSlot& slot,
                           const settings::SaverOptions& options) {
    if (stopped_ || !axMovie) return false;
    if (slot.entry.isEmpty()) {
        picContainer->hide();
        return noEntry(slot);
    }
    const QString path = settings::splitEntry(slot.entry).path;
    if (!keepsPicture(pictureShows(), axMovie->fileName(), path)) picContainer->hide();
    const int count = settings::movieCount(store_);
    playingPosition_ = static_cast<qint16>(slot.following == 0 ? count : slot.following - 1);
    playingEntry_ = slot.entry;
    startedAt_ = takeStartPlace();
    axMovie->setPlaybackChoices(playbackChoices(options, window_->size(), startedAt_));
    applySizeMode(slot.entry);
    openedAt_ = intMovie;
    openCompleted_ = false;
    axMovie->setFileName(path);
    intMovie = slot.following;
    return true;
}

// A host starts a saver that ended again at once, over and over: in its window the saver stays,
// black, and tries the list again at each tick, from the position after.
bool MonitorPlayback::noEntry(const settings::PlaybackSlot& slot) {
    if (!hostWindow_) {
        emit NoEntry();
        return false;
    }
    intMovie = slot.following;
    return true;
}

// Only the first open goes on inside a movie, and only in the one the place names.
std::optional<player::MoviePlace> MonitorPlayback::takeStartPlace() {
    const auto start = std::exchange(start_, std::nullopt);
    if (!start || !start->goesOnWithIt || start->position != playingPosition_ ||
        start->movie.seconds <= 0.0)
        return std::nullopt;
    return start->movie;
}

// On the tick and at the end. A folder that takes no file costs the place, never the playback.
void MonitorPlayback::rememberPlace() {
    if (stopped_ || !axMovie || placeFile_.isEmpty() || playingEntry_.isEmpty()) return;
    const player::MoviePlace movie =
        moviePlaceNow(axMovie->playState(), axMovie->moviePlace(),
                      placeAsked_.isValid() ? placeAsked_.elapsed() : -1, startedAt_);
    writeKeptPlace(monitorStateFile(placeFile_, number),
                   {playingPosition_, playingEntry_, movie, QDateTime::currentMSecsSinceEpoch(),
                    order_.pass()});
    askPlace();
}

// Asked again as soon as a movie is open, so the first second of it is known too.
void MonitorPlayback::askPlace() {
    axMovie->askMoviePlace();
    placeAsked_.start();
}

// The player keeps a movie's last picture once it has played out, until the next one's first.
bool MonitorPlayback::pictureShows() const {
    return !picContainer->isHidden() && openCompleted_ &&
           axMovie->playState() != player::NothingLoaded;
}

// An entry that cannot be played shows black, as between any movies that do not follow a
// picture with a picture.
void MonitorPlayback::hideFailedOpen() {
    if (!openCompleted_) picContainer->hide();
}

// A word other than the two mode words keeps whatever mode the player had.
void MonitorPlayback::applySizeMode(const QString& entry) {
    if (const auto mode = settings::sizeModeForEntry(entry)) axMovie->setWindowSizeMode(*mode);
}

void MonitorPlayback::axMovie_OpenComplete() {
    if (stopped_ || !axMovie) return;
    openCompleted_ = true;
    unplayedFrom_ = -1;
    askPlace();
    placePicture();
    if (showsPicture(axMovie->fileName())) picContainer->show();
}

void MonitorPlayback::placePicture() {
    if (!axMovie) return;
    picContainer->setTwipsGeometry(placePictureBox(
        axMovie->widthTwips(), axMovie->heightTwips(), picContainer->twipsGeometry().height,
        platform::pixelsToTwips(window_->width()), platform::pixelsToTwips(window_->height()),
        viewScale_));
    const QSize picture(platform::twipsToPixels(axMovie->widthTwips()),
                        platform::twipsToPixels(axMovie->heightTwips()));
    axMovie->setGeometry(playerWindow(picture, picContainer->geometry(), window_->size()));
}

void MonitorPlayback::placeOn(const QRect& area, float viewScale) {
    area_ = area;
    viewScale_ = viewScale;
    if (screen) window_->setScreen(screen);
    window_->setGeometry(area);
    if (axMovie) axMovie->setViewScale(viewScale);
    placePicture();
}

// Without a window manager showFullScreen() alone keeps the old size, so the geometry comes
// first.
void MonitorPlayback::showFullScreen() {
    fullScreenAsked_ = true;
    window_->setGeometry(area_);
    window_->showFullScreen();
    window_->raise();
}

// Through XWayland, sway makes one window of a program full screen at most, on the focused output
// whatever monitor it was meant for, and stacks the others unseen behind it. A window the window
// manager still keeps from full screen on its own monitor at the tick after the one that first
// saw it so is taken from the window manager and covers its monitor by itself. The window
// manager may take a moment: windows it does show full screen can be reported otherwise at first.
bool MonitorPlayback::coverRefusedMonitor() {
    if (unmanaged_) {
        keepUnmanagedWindow();
        return false;
    }
    const bool refused = fullScreenAsked_ && platform::isXwayland() && window_->isVisible() &&
                         (!window_->isFullScreen() || window_->windowHandle()->geometry() != area_);
    if (!std::exchange(refusedAtLastTick_, refused) || !refused) return false;
    unmanaged_ = true;
    window_->hide();
    window_->setWindowFlag(Qt::BypassWindowManagerHint);
    window_->setWindowState(Qt::WindowNoState);
    window_->setGeometry(area_);
    window_->show();
    window_->raise();
    keepUnmanagedWindow();
    return true;
}

// The native window stays, and the engine's inside it. A placing the window manager sent before
// it let go may still reach the window (and only the native window learns of it), so its place is
// checked at every tick. No window manager gives such a window the keyboard: it takes the keyboard
// itself, so that keys typed anywhere still reach the saver.
void MonitorPlayback::keepUnmanagedWindow() {
    QWindow* native = window_->windowHandle();
    if (native->geometry() != area_) native->setGeometry(area_);
    if (!keyboardTaken_) keyboardTaken_ = native->setKeyboardGrabEnabled(true);
}

// Inside a host's window nothing of ours is a top-level window: the saver fills the host's.
void MonitorPlayback::showInHostWindow() {
    window_->winId();
    if (QWindow* host = QWindow::fromWinId(*hostWindow_)) window_->windowHandle()->setParent(host);
    window_->setGeometry(area_);
    window_->show();
}

void MonitorPlayback::stop() {
    rememberPlace();
    stopped_ = true;
    if (axMovie) axMovie->stop();
}

void MonitorPlayback::closeEngine() {
    if (axMovie) axMovie->close();
}

}  // namespace saver
