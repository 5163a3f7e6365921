#pragma once

#include <QList>
#include <QPoint>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

#include "platform/host_window.h"
#include "platform/pointer.h"
#include "saver/monitor_playback.h"
#include "saver/same_sync.h"
#include "settings/options.h"
#include "settings/store.h"

namespace saver {

// What the saver needs from the program around it; tests hand in their own.
struct MasterServices {
    QString commandLine;
    bool anotherInstanceRunning = false;
    // A screen-saver host's window to play in; it owns the pointer and the keyboard.
    std::optional<platform::NativeWindowId> hostWindow;
    PlayerFactory createPlayer;
    std::function<void()> showSettingsModal;
    std::function<void(int exitCode)> endProgram;  // never returns in the real program
};

// The saver: start-up and mode dispatch, one playback for each monitor (or for the host's
// window), the once-a-second tick that drives them all with its pointer watch, the monitors
// that come, go and change while it runs, and the one way out, Ende.
class Master : public QObject {
    Q_OBJECT
public:
    explicit Master(MasterServices services);
    ~Master() override;

    // Form_Load, then the windows are shown if the saver runs.
    void start();

    void Form_Load();
    void tmrNext_Timer();
    void Form_KeyPress(int keyAscii);
    void Ende();

    bool hasEnded() const { return ended_; }
    // In the order they were made; one in a host's window.
    const QList<MonitorPlayback*>& monitors() const { return monitors_; }

    QTimer tmrNext;
    qint16 intMouseX = 0;
    qint16 intMouseY = 0;
    QPoint ptMouse;

private:
    void endAtOnce();
    void runConfiguration();
    void runSaver();
    void connectHandlers();
    MonitorPlayback* addMonitor(const MonitorSetup& setup);
    StartPlace startOf(int number) const;
    void arrangeMonitors();
    void arrangeHostedMonitor();
    void placePlayerOnPrimary();
    MonitorPlayback* monitorOn(const QScreen* screen) const;
    void dropMonitor(MonitorPlayback* monitor);
    void screens_Changed();
    void hostWindow_Resized(QSize size);
    void window_Destroyed();
    bool playTogether(bool atTick);
    void takePointer();
    void rememberPointer(QPoint at = platform::GetCursorPos());
    bool allMonitorsShown() const;
    bool ownsPointer() const { return !services_.hostWindow; }
    void watchPointer();
    void watchHostWindow();
    void coverRefusedMonitors();
    void watchPointerAfresh();
    void showMonitors();
    void unloadWindows();

    MasterServices services_;
    settings::Store store_;
    settings::Monitors layout_ = settings::Monitors::Each;
    QList<MonitorPlayback*> monitors_;
    std::unique_ptr<SameSync> same_;
    bool running_ = false;
    bool ended_ = false;
    bool windowDestroyed_ = false;
    std::optional<QSize> desktopAtBaseline_;
    bool pointerSettled_ = false;
};

}  // namespace saver
