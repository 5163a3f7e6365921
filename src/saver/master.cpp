#include "saver/master.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include "platform/keys.h"
#include "platform/pointer.h"
#include "platform/termination.h"
#include "platform/twips.h"
#include "platform/x11_connection.h"
#include "saver/dispatch.h"
#include "saver/placement.h"
#include "saver/resume_state.h"
#include "settings/entry.h"
#include "settings/playlist.h"

namespace saver {
namespace {

constexpr TwipsRect kInitialPictureBox{0, 0, 2415, 1455};

QRect primaryScreenGeometry() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

QRect saverArea(const std::optional<platform::NativeWindowId>& hostWindow) {
    const auto hostSize = hostWindow ? platform::foreignWindowSize(*hostWindow) : std::nullopt;
    return hostSize ? QRect(QPoint(0, 0), *hostSize) : primaryScreenGeometry();
}

// Measured against the monitor under the host window's centre, else the primary one.
float viewScale(const std::optional<platform::NativeWindowId>& hostWindow) {
    const auto area = hostWindow ? platform::foreignWindowScreenArea(*hostWindow) : std::nullopt;
    if (!area) return 1.0F;
    const QScreen* screen = QGuiApplication::screenAt(area->center());
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? previewScale(area->size(), screen->geometry().size()) : 1.0F;
}

}  // namespace

Master::Master(MasterServices services)
    : services_(std::move(services)),
      order_(resumeStateFile()),
      viewScale_(viewScale(services_.hostWindow)) {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint |
                   (services_.hostWindow ? Qt::WindowFlags() : Qt::WindowStaysOnTopHint));
    setFocusPolicy(Qt::StrongFocus);
    setGeometry(saverArea(services_.hostWindow));
    picContainer = new PictureBox(kInitialPictureBox, this);
    picContainer->hide();
    tmrNext.setInterval(1000);
    tmrNext.start();
}

void Master::start() {
    Form_Load();
    if (ended_) return;
    if (services_.hostWindow)
        showInHostWindow();
    else
        showFullScreenOnTop();
}

void Master::Form_Load() {
    store_.refresh();
    const int active = settings::activeFlag(store_);
    switch (startMode(services_.commandLine, services_.anotherInstanceRunning, active)) {
        case StartMode::End:
            return endAtOnce();
        case StartMode::Configure:
            return runConfiguration();
        case StartMode::Saver:
            return runSaver();
    }
}

void Master::runConfiguration() {
    tmrNext.stop();
    services_.showSettingsModal();
    endAtOnce();
}

void Master::runSaver() {
    createMovieControl();
    connectHandlers();
    axMovie_OpenComplete();
    if (ownsPointer()) {
        parkPointer();
        rememberPointer();
    }
    tmrNext_Timer();
    if (ended_) return;
    if (ownsPointer()) platform::ShowCursor(false);
}

// Each tick may go round the whole list once more, however little of it plays.
void Master::tmrNext_Timer() {
    unplayedFrom_ = -1;
    playOn();
}

// The end of a movie, or of an open that failed, moves on at once instead of at the next tick.
// Entries that play nothing are passed over at once only until the list has been gone round:
// the rest waits for the tick, so a list where nothing plays keeps the saver idle.
void Master::axMovie_PlayStateChange() {
    if (ended_ || !axMovie || !playerFinished()) return;
    if (!openCompleted_) {
        if (unplayedFrom_ < 0) unplayedFrom_ = openedAt_;
        if (intMovie == unplayedFrom_) return;
    }
    playOn();
}

// Safe in any state: after the end, or with nothing loaded, it does only what applies.
void Master::playOn() {
    if (ended_ || !axMovie) return;
    if (playerFinished() && !openNextMovie()) return;
    watchPointer();
    watchHostWindow();
}

void Master::axMovie_OpenComplete() {
    if (ended_ || !axMovie) return;
    openCompleted_ = true;
    unplayedFrom_ = -1;
    picContainer->setTwipsGeometry(placePictureBox(
        axMovie->widthTwips(), axMovie->heightTwips(), picContainer->twipsGeometry().height,
        platform::pixelsToTwips(width()), platform::pixelsToTwips(height()), viewScale_));
    const QSize picture(platform::twipsToPixels(axMovie->widthTwips()),
                        platform::twipsToPixels(axMovie->heightTwips()));
    axMovie->setGeometry(playerWindow(picture, picContainer->geometry(), size()));
    if (showsPicture(axMovie->fileName())) picContainer->show();
}

void Master::Form_KeyPress(int) {
    Ende();
}
void Master::picContainer_KeyPress(int) {
    Ende();
}
void Master::axMovie_KeyPress(int) {
    Ende();
}

void Master::Ende() {
    if (ended_) return;
    ended_ = true;
    if (axMovie) axMovie->stop();
    unloadWindow();
    platform::ShowCursor(true);
    services_.endProgram(0);
}

void Master::keyPressEvent(QKeyEvent* event) {
    if (const int key = platform::takeCharacter(event)) return Form_KeyPress(key);
    BlackWidget::keyPressEvent(event);
}

void Master::endAtOnce() {
    ended_ = true;
    tmrNext.stop();
    services_.endProgram(0);
}

void Master::createMovieControl() {
    axMovie = services_.createPlayer(picContainer);
    axMovie->move(0, 0);
    axMovie->setViewScale(viewScale_);
}

void Master::connectHandlers() {
    connect(&tmrNext, &QTimer::timeout, this, &Master::tmrNext_Timer);
    connect(picContainer, &PictureBox::KeyPress, this, &Master::picContainer_KeyPress);
    connect(axMovie, &player::MoviePlayer::OpenComplete, this, &Master::axMovie_OpenComplete);
    connect(axMovie, &player::MoviePlayer::KeyPress, this, &Master::axMovie_KeyPress);
    // Queued: a file refused inside an open must not open the next one inside that open.
    connect(axMovie, &player::MoviePlayer::PlayStateChange, this, &Master::axMovie_PlayStateChange,
            Qt::QueuedConnection);
    platform::onTerminationRequest(this, [this] { Ende(); });
    if (services_.hostWindow)
        platform::onForeignWindowDestroyed(*services_.hostWindow, this, [this] { Ende(); });
}

// One pixel in from the bottom-right corner: from the corner pixel itself a move right or down
// is clamped by the window system and could never be seen.
void Master::parkPointer() {
    const QRect screen = primaryScreenGeometry();
    platform::SetCursorPos(screen.x() + screen.width() - 2, screen.y() + screen.height() - 2);
}

// The baseline is where the pointer really came to rest, not where it was sent.
void Master::rememberPointer() {
    ptMouse = platform::GetCursorPos();
    intMouseX = static_cast<qint16>(ptMouse.x());
    intMouseY = static_cast<qint16>(ptMouse.y());
}

bool Master::playerFinished() const {
    const int state = axMovie->playState();
    return state == player::NothingLoaded || state == player::Stopped;
}

bool Master::openNextMovie() {
    picContainer->hide();
    store_.refresh();
    const settings::SaverOptions options = settings::readSaverOptions(store_);
    const settings::PlaybackSlot slot = order_.next(store_, options, intMovie);
    if (slot.entry.isEmpty()) {
        Ende();
        return false;
    }
    axMovie->setPlaybackChoices(playbackChoices(options, size()));
    applySizeMode(slot.entry);
    openedAt_ = intMovie;
    openCompleted_ = false;
    axMovie->setFileName(settings::splitEntry(slot.entry).path);
    intMovie = slot.following;
    return true;
}

// A word other than the two mode words keeps whatever mode the player had.
void Master::applySizeMode(const QString& entry) {
    if (const auto mode = settings::sizeModeForEntry(entry)) axMovie->setWindowSizeMode(*mode);
}

void Master::watchPointer() {
    if (!ownsPointer()) return;
    // Where the pointer could not be parked, the first look at a shown window finds where it is.
    if (!platform::canWarpPointer() && !pointerSettled_) {
        pointerSettled_ = isVisible();
        return rememberPointer();
    }
    ptMouse = platform::GetCursorPos();
    if (ptMouse.x() != intMouseX || ptMouse.y() != intMouseY) Ende();
}

// A host that goes away without ending us would leave the saver playing unseen, holding the
// single-instance lock against every later start.
void Master::watchHostWindow() {
    if (services_.hostWindow && platform::isForeignWindowGone(*services_.hostWindow)) Ende();
}

// The picture goes first: an unmapped window shows nothing the engine still draws into it (it
// is not destroyed), and the screen is clear before the engine's teardown, which takes tens of
// milliseconds. In a host's window the host ends us by destroying that window too, maybe already
// has: the engine's video output is then never torn down (its X errors against the dead window
// would end the process with status 1 or an abort), it goes with the process.
void Master::unloadWindow() {
    tmrNext.stop();
    for (QWidget* blackout : std::as_const(blackouts_)) blackout->hide();
    hide();
    if (xcb_connection_t* connection = platform::x11Connection()) xcb_flush(connection);
    if (axMovie && !services_.hostWindow) axMovie->close();
}

// Without a window manager showFullScreen() alone keeps the old size, so the geometry comes
// first.
void Master::showFullScreenOnTop() {
    setGeometry(primaryScreenGeometry());
    showFullScreen();
    raise();
    activateWindow();
    setFocus(Qt::ActiveWindowFocusReason);
    coverOtherScreens();
}

// The movie plays on the primary screen; no other screen may show the desktop.
void Master::coverOtherScreens() {
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen == QGuiApplication::primaryScreen()) continue;
        auto* blackout = new BlackWidget(this, windowFlags());
        blackout->setGeometry(screen->geometry());
        blackout->showFullScreen();
        blackouts_ << blackout;
    }
}

// Inside a host's window nothing of ours is a top-level window: the saver fills the host's.
void Master::showInHostWindow() {
    winId();
    if (QWindow* host = QWindow::fromWinId(*services_.hostWindow)) windowHandle()->setParent(host);
    setGeometry(saverArea(services_.hostWindow));
    show();
}

}  // namespace saver
