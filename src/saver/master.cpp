#include "saver/master.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

#include "platform/pointer.h"
#include "platform/termination.h"
#include "platform/x11_connection.h"
#include "saver/dispatch.h"
#include "saver/nothing_to_play.h"
#include "settings/playlist.h"

namespace saver {

Master::Master(MasterServices services) : services_(std::move(services)) {
    tmrNext.setInterval(1000);
    tmrNext.start();
}

Master::~Master() = default;

void Master::start() {
    Form_Load();
    if (!ended_) showMonitors();
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
    warnWhenNothingCanPlay(store_);
    layout_ = settings::readSaverOptions(store_).monitors;
    services_.hostWindow ? arrangeHostedMonitor() : arrangeMonitors();
    connectHandlers();
    if (ownsPointer()) takePointer();
    running_ = true;
    tmrNext_Timer();
    if (ended_) return;
    if (ownsPointer()) platform::ShowCursor(false);
}

// One tick drives every monitor; safe in any state.
void Master::tmrNext_Timer() {
    for (MonitorPlayback* monitor : std::as_const(monitors_)) {
        if (ended_) return;
        monitor->tmrNext_Timer();
    }
    if (ended_ || !playTogether(true)) return;
    watchPointer();
    watchHostWindow();
    coverRefusedMonitors();
}

// Monitors that play the same movie change movie when the group says so.
bool Master::playTogether(bool atTick) {
    if (!same_ || !running_ || ended_) return !ended_;
    return same_->step(monitors_, atTick);
}

void Master::Form_KeyPress(int) {
    Ende();
}

void Master::Ende() {
    if (ended_) return;
    ended_ = true;
    for (MonitorPlayback* monitor : std::as_const(monitors_)) monitor->stop();
    if (same_) same_->leave();
    unloadWindows();
    platform::ShowCursor(true);
    services_.endProgram(0);
}

void Master::endAtOnce() {
    ended_ = true;
    tmrNext.stop();
    services_.endProgram(0);
}

void Master::connectHandlers() {
    connect(&tmrNext, &QTimer::timeout, this, &Master::tmrNext_Timer);
    platform::onTerminationRequest(this, [this] { Ende(); });
    platform::endWithStatusZeroWhenDisplayLost();
    if (same_ && same_->board())
        connect(same_->board(), &SameBoard::changed, this, [this] { playTogether(false); });
    if (services_.hostWindow) {
        platform::onForeignWindowDestroyed(*services_.hostWindow, this, [this] { Ende(); });
        platform::onForeignWindowResized(*services_.hostWindow, this,
                                         [this](QSize size) { hostWindow_Resized(size); });
        return;
    }
    const auto followScreen = [this](QScreen* screen) {
        connect(screen, &QScreen::geometryChanged, this, &Master::screens_Changed);
    };
    for (QScreen* screen : QGuiApplication::screens()) followScreen(screen);
    connect(qApp, &QGuiApplication::screenAdded, this, [this, followScreen](QScreen* screen) {
        followScreen(screen);
        screens_Changed();
    });
    connect(qApp, &QGuiApplication::screenRemoved, this, &Master::screens_Changed);
    connect(qApp, &QGuiApplication::primaryScreenChanged, this, &Master::screens_Changed);
}

// Whoever destroyed our window also took the engine's window inside it: the engine is left
// alone, as in a host's window that went away.
void Master::window_Destroyed() {
    windowDestroyed_ = true;
    Ende();
}

// One pixel in from the bottom-right corner of the primary screen: from the corner pixel itself
// a move right or down is clamped by the window system and could never be seen. The baseline is
// where the pointer really came to rest, not where it was sent.
void Master::takePointer() {
    const QScreen* primary = QGuiApplication::primaryScreen();
    const QRect screen = primary ? primary->geometry() : QRect(0, 0, 1024, 768);
    platform::SetCursorPos(screen.x() + screen.width() - 2, screen.y() + screen.height() - 2);
    rememberPointer();
}

void Master::rememberPointer(QPoint at) {
    ptMouse = at;
    intMouseX = static_cast<qint16>(ptMouse.x());
    intMouseY = static_cast<qint16>(ptMouse.y());
    desktopAtBaseline_ = platform::desktopSize();
}

// A change of the monitors moves the pointer when it leaves it off every monitor; the X server
// may have made it before Qt tells about it. Such a move is not the user's.
void Master::watchPointer() {
    if (!ownsPointer()) return;
    // Where the pointer could not be parked, where it is first reported over the shown windows
    // is the baseline: a compositor may tell of a pointer resting there only a while after they
    // show, and a move that follows within the tick is the user's.
    if (!platform::canWarpPointer() && !pointerSettled_) {
        const std::optional<QPoint> first = platform::firstCursorPosSinceAsked();
        pointerSettled_ = allMonitorsShown() && first;
        return rememberPointer(pointerSettled_ ? *first : platform::GetCursorPos());
    }
    ptMouse = platform::GetCursorPos();
    if (ptMouse.x() == intMouseX && ptMouse.y() == intMouseY) return;
    if (platform::desktopSize() != desktopAtBaseline_) return takePointer();
    Ende();
}

// A host that goes away without ending us would leave the saver playing unseen.
void Master::watchHostWindow() {
    if (services_.hostWindow && platform::isForeignWindowGone(*services_.hostWindow)) Ende();
}

// A window shown anew may be the first to learn where the pointer is.
void Master::coverRefusedMonitors() {
    bool shownAnew = false;
    for (MonitorPlayback* monitor : std::as_const(monitors_))
        shownAnew = monitor->coverRefusedMonitor() || shownAnew;
    if (shownAnew) watchPointerAfresh();
}

// Where the pointer cannot be parked, the baseline is taken again where it is next reported; what
// was reported before does not count.
void Master::watchPointerAfresh() {
    takePointer();
    platform::firstCursorPosSinceAsked();
    pointerSettled_ = false;
}

bool Master::allMonitorsShown() const {
    return std::all_of(monitors_.begin(), monitors_.end(), [](const MonitorPlayback* monitor) {
        return monitor->window()->isVisible();
    });
}

// The keyboard goes to the primary monitor's window; every other window takes keys too.
void Master::showMonitors() {
    MonitorPlayback* onPrimary = nullptr;
    for (MonitorPlayback* monitor : std::as_const(monitors_)) {
        if (monitor->screen == QGuiApplication::primaryScreen()) onPrimary = monitor;
        if (monitor->window()->isVisible()) continue;
        if (services_.hostWindow) {
            monitor->showInHostWindow();
            continue;
        }
        monitor->showFullScreen();
        platform::onOwnWindowDestroyed(monitor->window()->winId(), monitor->window(),
                                       [this] { window_Destroyed(); });
    }
    if (!onPrimary) return;
    onPrimary->window()->activateWindow();
    onPrimary->window()->setFocus(Qt::ActiveWindowFocusReason);
}

// The pictures go first: an unmapped window shows nothing the engine still draws into it (it
// is not destroyed), and the screen is clear before the engine's teardown, which takes tens of
// milliseconds. In a host's window the host ends us by destroying that window too, maybe already
// has: the engine's video output is then never torn down (its X errors against the dead window
// would end the process with status 1 or an abort), it goes with the process.
void Master::unloadWindows() {
    tmrNext.stop();
    for (MonitorPlayback* monitor : std::as_const(monitors_)) monitor->window()->hide();
    if (xcb_connection_t* connection = platform::x11Connection()) xcb_flush(connection);
    if (services_.hostWindow || windowDestroyed_) return;
    for (MonitorPlayback* monitor : std::as_const(monitors_)) monitor->closeEngine();
}

}  // namespace saver
