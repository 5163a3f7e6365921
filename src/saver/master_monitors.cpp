#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

#include "platform/private_files.h"
#include "saver/master.h"
#include "saver/monitor_layout.h"
#include "saver/placement.h"
#include "saver/resume_state.h"
#include "settings/playlist.h"

// Which monitors the saver plays on, and how it follows them as they come, go and change.
namespace saver {
namespace {

QList<QRect> geometries(const QList<QScreen*>& screens) {
    QList<QRect> areas;
    for (const QScreen* screen : screens) areas << screen->geometry();
    return areas;
}

struct HostPlace {
    QRect window;  // on the whole screen
    HostMonitor monitor;
};

HostPlace hostPlace(platform::NativeWindowId host) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    const auto primary = static_cast<int>(screens.indexOf(QGuiApplication::primaryScreen()));
    const QRect fallback = primary >= 0 ? screens.at(primary)->geometry() : QRect(0, 0, 1024, 768);
    const QRect window = platform::foreignWindowScreenArea(host).value_or(fallback);
    return {window, hostMonitor(window, geometries(screens), primary)};
}

}  // namespace

MonitorPlayback* Master::addMonitor(const MonitorSetup& setup) {
    auto* monitor = new MonitorPlayback(setup, store_, services_.createPlayer, this);
    connect(monitor, &MonitorPlayback::KeyPress, this, &Master::Form_KeyPress);
    connect(monitor, &MonitorPlayback::NoEntry, this, &Master::Ende);
    connect(monitor, &MonitorPlayback::Finished, this, [this] { playTogether(false); });
    monitors_ << monitor;
    return monitor;
}

// One monitor for each screen, each begun at its own entry. A monitor that stays keeps playing
// where it is, whatever its number becomes.
void Master::arrangeMonitors() {
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (MonitorPlayback* monitor : std::as_const(monitors_))
        if (!screens.contains(monitor->screen)) monitor->screen = nullptr;
    if (layout_ == settings::Monitors::Primary) placePlayerOnPrimary();
    for (MonitorPlayback* monitor : QList(monitors_))
        if (!monitor->screen) dropMonitor(monitor);
    if (layout_ == settings::Monitors::Same && !same_)
        same_ = std::make_unique<SameSync>(nullptr, 0);
    const QList<int> numbers = monitorNumbers(geometries(screens));
    for (qsizetype i = 0; i < screens.size(); ++i) {
        MonitorPlayback* monitor = monitorOn(screens.at(i));
        const bool added = !monitor;
        if (added) {
            monitor = addMonitor({
                .number = numbers.at(i),
                .plays = layout_ != settings::Monitors::Primary ||
                         screens.at(i) == QGuiApplication::primaryScreen(),
                .grouped = layout_ == settings::Monitors::Same,
                .start = startOf(numbers.at(i)),
                .placeFile = resumeStateFile(),
                .hostWindow = std::nullopt,
            });
            monitor->screen = screens.at(i);
        }
        monitor->number = numbers.at(i);
        monitor->placeOn(screens.at(i)->geometry());
        if (added) monitor->axMovie_OpenComplete();
    }
}

MonitorPlayback* Master::monitorOn(const QScreen* screen) const {
    const auto found =
        std::find_if(monitors_.begin(), monitors_.end(),
                     [screen](const MonitorPlayback* m) { return m->screen == screen; });
    return found != monitors_.end() ? *found : nullptr;
}

// The monitor that plays moves onto the new primary screen; the black one there takes its place.
void Master::placePlayerOnPrimary() {
    QScreen* primary = QGuiApplication::primaryScreen();
    for (MonitorPlayback* player : std::as_const(monitors_)) {
        if (!player->axMovie || player->screen == primary) continue;
        if (MonitorPlayback* black = monitorOn(primary)) black->screen = player->screen;
        player->screen = primary;
    }
}

// A monitor that comes while the saver runs begins anew: the place kept under its number may be
// another monitor's, whose number the change took.
StartPlace Master::startOf(int number) const {
    return running_ ? StartPlace{startEntry(number, settings::movieCount(store_))}
                    : monitorStart(store_, number);
}

// Hidden at once: Qt moves the windows of a screen that goes away onto the primary screen.
void Master::dropMonitor(MonitorPlayback* monitor) {
    monitors_.removeOne(monitor);
    if (same_) same_->forget(monitor);
    monitor->stop();
    monitor->window()->hide();
    monitor->deleteLater();
}

// In a host's window the process plays for the monitor the window is on; a preview plays as the
// only monitor there is.
void Master::arrangeHostedMonitor() {
    const HostPlace place = hostPlace(*services_.hostWindow);
    const bool grouped = layout_ == settings::Monitors::Same && !place.monitor.alone;
    const float scale = previewScale(place.window.size(), place.monitor.size);
    // A preview is no monitor's run: it neither goes on from a monitor's place nor keeps one.
    const bool preview = scale < 1.0F;
    MonitorPlayback* monitor = addMonitor({
        .number = place.monitor.number,
        .plays = layout_ != settings::Monitors::Primary || place.monitor.primary,
        .grouped = grouped,
        .start = preview ? StartPlace{} : startOf(place.monitor.number),
        .placeFile = preview ? QString() : resumeStateFile(),
        .hostWindow = services_.hostWindow,
    });
    monitor->placeOn(QRect(QPoint(0, 0), place.window.size()), scale);
    monitor->axMovie_OpenComplete();
    if (!grouped) return;
    // Without a private runtime folder the savers cannot see each other: each plays on alone.
    const QString runtime = platform::runtimeFolder();
    auto board = runtime.isEmpty() ? nullptr
                                   : std::make_unique<SameBoard>(SameBoard::folderFor(
                                         runtime, qEnvironmentVariable("DISPLAY")));
    same_ = std::make_unique<SameSync>(std::move(board), QGuiApplication::screens().size());
}

// The pointer the change moved is parked and taken as the baseline again; monitors that came
// begin at once.
void Master::screens_Changed() {
    if (!running_ || ended_) return;
    arrangeMonitors();
    showMonitors();
    watchPointerAfresh();
    tmrNext_Timer();
}

// A host may resize its window rather than start the saver again (after a change of mode).
void Master::hostWindow_Resized(QSize size) {
    if (!running_ || ended_ || monitors_.isEmpty()) return;
    const HostPlace place = hostPlace(*services_.hostWindow);
    monitors_.front()->placeOn(QRect(QPoint(0, 0), size), previewScale(size, place.monitor.size));
}

}  // namespace saver
