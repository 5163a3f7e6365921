#pragma once

#include <QPoint>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>

#include "platform/host_window.h"
#include "player/movie_player.h"
#include "saver/movie_order.h"
#include "saver/picture_box.h"
#include "settings/store.h"

namespace saver {

// What the saver window needs from the program around it; tests hand in their own.
struct MasterServices {
    QString commandLine;
    bool anotherInstanceRunning = false;
    // A screen-saver host's window to play in; it owns the pointer and the keyboard.
    std::optional<platform::NativeWindowId> hostWindow;
    std::function<player::MoviePlayer*(QWidget* parent)> createPlayer;
    std::function<void()> showSettingsModal;
    std::function<void(int exitCode)> endProgram;  // never returns in the real program
};

// The full-screen saver window: start-up and mode dispatch, the once-a-second playback loop with
// its pointer watch, movie placement, and the one way out, Ende.
class Master : public BlackWidget {
    Q_OBJECT
public:
    explicit Master(MasterServices services);

    // Form_Load, then the window is shown if the saver runs.
    void start();

    void Form_Load();
    void tmrNext_Timer();
    void axMovie_OpenComplete();
    void axMovie_PlayStateChange();
    void Form_KeyPress(int keyAscii);
    void picContainer_KeyPress(int keyAscii);
    void axMovie_KeyPress(int keyAscii);
    void Ende();

    bool hasEnded() const { return ended_; }

    PictureBox* picContainer = nullptr;
    player::MoviePlayer* axMovie = nullptr;
    QTimer tmrNext;
    qint16 intMovie = 0;
    qint16 intMouseX = 0;
    qint16 intMouseY = 0;
    QPoint ptMouse;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void endAtOnce();
    void runConfiguration();
    void runSaver();
    void createMovieControl();
    void connectHandlers();
    void parkPointer();
    void rememberPointer();
    bool ownsPointer() const { return !services_.hostWindow; }
    void playOn();
    bool playerFinished() const;
    bool openNextMovie();
    void applySizeMode(const QString& entry);
    void watchPointer();
    void watchHostWindow();
    void unloadWindow();
    void showFullScreenOnTop();
    void coverOtherScreens();
    void showInHostWindow();

    MasterServices services_;
    settings::Store store_;
    MovieOrder order_;
    QList<QWidget*> blackouts_;
    float viewScale_ = 1.0F;  // below 1 in a host's window smaller than its monitor
    bool ended_ = false;
    // The position of the last open, whether it came to be open, and where the run of entries
    // that played nothing began since the last tick (-1: none).
    qint16 openedAt_ = 0;
    bool openCompleted_ = false;
    qint16 unplayedFrom_ = -1;
    bool pointerSettled_ = false;
};

}  // namespace saver
