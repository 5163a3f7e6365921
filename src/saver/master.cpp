#include "saver/master.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include "platform/keys.h"
#include "platform/pointer.h"
#include "platform/termination.h"
#include "platform/twips.h"
#include "saver/dispatch.h"
#include "saver/placement.h"
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
    : services_(std::move(services)), viewScale_(viewScale(services_.hostWindow)) {
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

// Safe in any state: after the end, or with nothing loaded, a tick does only what applies.
void Master::tmrNext_Timer() {
    if (ended_ || !axMovie) return;
    if (playerFinished() && !openNextMovie()) return;
    watchPointer();
    watchHostWindow();
}

void Master::axMovie_OpenComplete() {
    if (ended_ || !axMovie) return;
    picContainer->setTwipsGeometry(placePictureBox(
        axMovie->widthTwips(), axMovie->heightTwips(), picContainer->twipsGeometry().height,
        platform::pixelsToTwips(width()), platform::pixelsToTwips(height()), viewScale_));
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
    const settings::PlaybackSlot slot = settings::readPlaybackSlot(store_, intMovie);
    if (slot.entry.isEmpty()) {
        Ende();
        return false;
    }
    applySizeMode(slot.entry);
    axMovie->setFileName(settings::splitEntry(slot.entry).path);
    intMovie = slot.following;
    return true;
}

// A word other than the two mode words keeps whatever mode the player had.
void Master::applySizeMode(const QString& entry) {
    const auto modeWord = settings::splitEntry(entry).modeWord;
    if (const auto mode = modeWord ? settings::sizeModeForWord(*modeWord) : std::nullopt)
        axMovie->setWindowSizeMode(*mode);
}

void Master::watchPointer() {
    if (!ownsPointer()) return;
    ptMouse = platform::GetCursorPos();
    if (ptMouse.x() != intMouseX || ptMouse.y() != intMouseY) Ende();
}

// A host that goes away without ending us would leave the saver playing unseen, holding the
// single-instance lock against every later start.
void Master::watchHostWindow() {
    if (services_.hostWindow && platform::isForeignWindowGone(*services_.hostWindow)) Ende();
}

// The player goes first: it draws into the window. In a host's window the host ends us by
// destroying that window too, maybe already has: the engine's video output is then never torn
// down (its X errors against the dead window would end the process with status 1 or an abort),
// it goes with the process.
void Master::unloadWindow() {
    tmrNext.stop();
    if (axMovie && !services_.hostWindow) axMovie->close();
    for (QWidget* blackout : std::as_const(blackouts_)) blackout->hide();
    hide();
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
