#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QSize>
#include <QString>
#include <atomic>
#include <chrono>
#include <functional>
#include <optional>

#include "player/mpv_events.h"

struct mpv_handle;
struct mpv_render_context;

namespace player::mpv {

using Options = QList<QPair<QByteArray, QByteArray>>;

// One libmpv instance. Its wakeup callback, which runs on a libmpv thread, only posts a drain to
// the GUI thread; there every pending event is handed on, typed, until none is left. Nothing
// here waits on libmpv except the teardown.
class Client : public QObject {
    Q_OBJECT
public:
    using EventHandler = std::function<void(const Event&)>;

    Client(const Options& options, int64_t windowId, EventHandler handler);
    ~Client() override;

    bool isValid() const { return handle_ != nullptr; }
    QString error() const { return error_; }

    // fileOptions hold for this file only ("name=value,...").
    void loadFile(uint64_t tag, const QString& path, const QByteArray& fileOptions = {});
    // Takes effect in the order of the commands around it, without waiting.
    void setOptions(const Options& options);
    void stop();
    void requestInt64(uint64_t tag, const char* property);
    void requestVideoTrack(uint64_t tag);
    // Where the file is and its length, answered by two TimeReply events.
    void requestTimes(uint64_t tag);

    // Draws through the render API instead of into a window (the video output must be "libmpv"),
    // on the CPU: no OpenGL is asked for. Like the wakeup callback, the engine's notice of a new
    // picture only posts `pictureReady` to the GUI thread. False, with the error kept, where
    // the engine refuses.
    bool startSoftwareRendering(std::function<void()> pictureReady);
    // The current picture, laid out in its window of `size` as any video output does, into
    // 32-bit pixels in QImage::Format_RGB32's layout.
    void renderPicture(QSize size, size_t stride, void* pixels);
    // Takes the current picture as drawn without drawing it.
    void skipPicture();

    // A synchronous read, for start-up checks and diagnostics only: it can block on the core.
    QString property(const char* name) const;

    // Frees the renderer and clears the callbacks before destroying the handle; later calls do
    // nothing. With a patience, waits at most that long: a core stuck reading a file must not
    // hold up the exit.
    void terminate();
    void terminate(std::chrono::milliseconds patience);

private:
    static void wakeup(void* self);
    static void renderUpdate(void* self);
    void drain();
    void offerPicture();
    void fail(const char* step, int error);

    mpv_handle* handle_ = nullptr;
    EventHandler handler_;
    std::atomic<bool> drainPosted_ = false;
    mpv_render_context* renderer_ = nullptr;
    std::function<void()> pictureReady_;
    std::atomic<bool> picturePosted_ = false;
    QString error_;
};

}  // namespace player::mpv
