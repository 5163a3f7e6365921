#pragma once

#include <gtest/gtest.h>

#include <QPoint>
#include <QProcess>
#include <QSize>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "e2e/frame.h"

// Pointer positions in failure messages (found next to QPoint, in the global namespace).
inline std::ostream& operator<<(std::ostream& out, const QPoint& point) {
    return out << "(" << point.x() << ", " << point.y() << ")";
}

namespace e2e {

struct ClipSpec {
    const char* fileName;
    const char* colour;  // as ffmpeg takes it
    QSize size;
    double seconds;
};

// The screen of the test's own X server.
inline constexpr QSize kScreen{1024, 768};
inline constexpr QRect kScreenArea(QPoint(0, 0), kScreen);

// The clip most tests play, and where it shows: centred, 2 pixels cut off its bottom.
inline const ClipSpec kRedClip{"red.avi", "0xff0000", QSize(320, 240), 2.5};
inline const QRect kRedBox(352, 265, 320, 238);
// One-second clips for lists that mix them with entries that cannot play.
inline const ClipSpec kShortRed{"red.avi", "0xff0000", QSize(320, 240), 1.0};
inline const ClipSpec kShortGreen{"green.avi", "0x00ff00", QSize(200, 150), 1.0};
inline const ClipSpec kShortBlue{"blue.avi", "0x0000ff", QSize(240, 180), 1.0};
// How long a signalled saver may take to end: a generous bound, not a timing.
inline constexpr int kEndsAfterSignalMs = 2000;

// The real program on the test process's X server, with the test's own store and runtime
// folder, driven with real input through xdotool and watched through screenshots.
class SaverTest : public ::testing::Test {
protected:
    void TearDown() override;

    // Made with ffmpeg into a folder of this test; a failure is recorded as a test failure.
    QString clip(const ClipSpec& wanted);
    QString tone(const char* fileName, double seconds);
    // A 320x240 clip whose picture tells how far it has played: red, with green rising from
    // none to full over its length.
    QString rampClip(const char* fileName, double seconds);
    // How far into such a clip the frame is; nothing for any other picture.
    static std::optional<double> rampSeconds(const Frame& frame, double length);
    // Polls until such a clip shows `seconds` or more: how far it shows then.
    static std::optional<double> waitForRamp(double length, double seconds);

    // The whole store: the entries as the play list, and the Active flag.
    static void writePlayList(const QStringList& entries, int active = 0);

    // `environment` adds NAME=value entries to the saver's environment.
    QProcess& startSaver(const QStringList& arguments = {QStringLiteral("/S")},
                         const QStringList& environment = {},
                         QProcess::ProcessChannelMode channels = QProcess::ForwardedChannels);
    // A saver on a list of just the red clip, once its picture sits in its box; null (and a
    // failure recorded) when it never got there.
    QProcess* startPlayingRed(int active = 0);

    // Names of this test's clips the process holds open: the one it is playing.
    QStringList heldClips(const QProcess& saver) const;

    // `area` of the screen; the picture box comes in screen coordinates.
    static Frame grabFrame(const QRect& area = kScreenArea);
    // Polls until the frame of `area` is the wanted one; `what` names it in the failure.
    static ::testing::AssertionResult showsFrame(const std::function<bool(const Frame&)>& wanted,
                                                 const char* what, int timeoutMs,
                                                 const QRect& area = kScreenArea);
    // Polls until a window covers the area and shows a picture of that colour in that box.
    // A new picture may first show at the size of the one before, while the engine catches up
    // with its resized window.
    static ::testing::AssertionResult showsPicture(Colour colour, const QRect& box,
                                                   int timeoutMs = 10000,
                                                   const QRect& area = kScreenArea);
    // The first frame that shows a picture, polled for.
    static std::optional<Frame> firstPicture();

    // Colours of the pictures shown one after another in `area`, sampled from the first
    // screenshot where a window covers it until `enough` came up, the saver ended or the deadline
    // passed. Black between pictures is skipped; later screenshots where the area is not covered
    // are listed in `uncovered`.
    static std::vector<Colour> watchPictures(QProcess& saver, size_t enough, int timeoutMs,
                                             std::string* uncovered,
                                             const QRect& area = kScreenArea);

    // Only to a saver that still runs: QProcess has no id for one that ended, and kill() with
    // none would signal the whole process group, the test and ctest with it.
    static ::testing::AssertionResult sendSignal(QProcess& saver, int signal);

    static ::testing::AssertionResult endsCleanlyWithin(QProcess& saver, int timeoutMs);
    static ::testing::AssertionResult keepsRunningFor(QProcess& saver, int ms);

    // The folder the test's clips are made in, for other files of its own.
    QString clipFolder() const { return clips_.path(); }

    // Where a picture of that size shows in `area`: its box, which cuts 2 pixels off the bottom,
    // centred.
    static QRect centredBox(const QRect& area, QSize picture);

    static bool eventually(const std::function<bool()>& condition, int timeoutMs);

    // An ordinary user made for one test and owning `home`, for programs that refuse to run as
    // root (needs root); removeUser fails the test for every process it left behind.
    static QString makeUser(const QString& prefix, const QString& home);
    static QStringList asUser(const QString& user, const QStringList& command);
    static void removeUser(const QString& user);
    // Runs a command to its end; what it printed.
    static QString run(const QStringList& command);

    static bool xdotool(const QStringList& arguments);
    static std::optional<QPoint> pointer();
    static bool waitForPointer(QPoint position, int timeoutMs);
    static void pause(int ms);

private:
    QTemporaryDir clips_;
    std::vector<std::unique_ptr<QProcess>> savers_;
};

}  // namespace e2e
