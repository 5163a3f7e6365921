#include "player/picture_probe.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QScopeGuard>
#include <cerrno>
#include <cmath>
#include <mutex>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/display.h>
}

#include "player/picture_size.h"

namespace player {
namespace {

// A header larger than this (a long movie's index is a few megabytes) is not worth waiting for.
constexpr int64_t kMostBytes = int64_t(64) << 20;
constexpr int kBufferSize = 64 * 1024;

struct Reading {
    int fd;
    std::chrono::steady_clock::time_point deadline;
    const std::atomic<bool>* cancel;
    int64_t bytes = 0;

    bool mayGoOn() const {
        return bytes < kMostBytes && std::chrono::steady_clock::now() < deadline &&
               !(cancel && cancel->load());
    }
};

int readInto(void* opaque, uint8_t* buffer, int size) {
    auto* reading = static_cast<Reading*>(opaque);
    if (!reading->mayGoOn()) return AVERROR_EXIT;
    ssize_t got;
    do got = ::read(reading->fd, buffer, size_t(size));
    while (got < 0 && errno == EINTR);
    if (got < 0) return AVERROR(errno);
    if (got == 0) return AVERROR_EOF;
    reading->bytes += got;
    return int(got);
}

int64_t seekTo(void* opaque, int64_t offset, int whence) {
    const int fd = static_cast<Reading*>(opaque)->fd;
    struct stat info {};
    if (whence & AVSEEK_SIZE) return ::fstat(fd, &info) == 0 ? info.st_size : AVERROR(errno);
    const off_t at = ::lseek(fd, offset, whence & ~AVSEEK_FORCE);
    return at < 0 ? AVERROR(errno) : at;
}

int interrupted(void* opaque) {
    return !static_cast<Reading*>(opaque)->mayGoOn();
}

// Play lists and references name other files, devices or pipes: none is opened.
int refuseToOpen(AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**) {
    return AVERROR(EPERM);
}

// Degrees clockwise, as the engine turns the picture.
int64_t turnOf(const AVStream* stream) {
    size_t size = 0;
    const uint8_t* matrix = av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (!matrix || size < 9 * sizeof(int32_t)) return 0;
    const double angle = av_display_rotation_get(reinterpret_cast<const int32_t*>(matrix));
    return std::isfinite(angle) ? (-std::lround(angle) % 360 + 360) % 360 : 0;
}

// The first video stream that is not a cover picture, as the engine chooses it.
std::optional<QSize> pictureOf(AVFormatContext* format) {
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        AVStream* stream = format->streams[i];
        const AVCodecParameters* codec = stream->codecpar;
        if (codec->codec_type != AVMEDIA_TYPE_VIDEO ||
            (stream->disposition & AV_DISPOSITION_ATTACHED_PIC))
            continue;
        const AVRational aspect = av_guess_sample_aspect_ratio(format, stream, nullptr);
        const double pixelAspect = aspect.num > 0 && aspect.den > 0 ? av_q2d(aspect) : 0.0;
        return announcedPictureSize(codec->width, codec->height, pixelAspect, turnOf(stream));
    }
    return std::nullopt;
}

}  // namespace

std::optional<QSize> probePictureSize(const QString& path, std::chrono::milliseconds limit,
                                      const std::atomic<bool>* cancel) {
    // The window has no use for the library's complaints about damaged files.
    static std::once_flag quiet;
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_QUIET); });

    const QByteArray name = QFile::encodeName(path);
    // Not blocking: a pipe put in the file's place must not hold the read forever.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;

    Reading reading{fd, std::chrono::steady_clock::now() + limit, cancel};
    AVFormatContext* format = avformat_alloc_context();
    auto* buffer = static_cast<uint8_t*>(av_malloc(kBufferSize));
    AVIOContext* io = format && buffer ? avio_alloc_context(buffer, kBufferSize, 0, &reading,
                                                            readInto, nullptr, seekTo)
                                       : nullptr;
    if (!io) {
        av_free(buffer);
        avformat_free_context(format);
        return std::nullopt;
    }
    format->pb = io;
    format->flags |= AVFMT_FLAG_CUSTOM_IO;
    format->interrupt_callback = {interrupted, &reading};
    format->io_open = refuseToOpen;
    std::optional<QSize> picture;
    // On failure the library frees the format context itself.
    if (avformat_open_input(&format, name.constData(), nullptr, nullptr) == 0) {
        picture = pictureOf(format);
        avformat_close_input(&format);
    }
    av_freep(&io->buffer);  // the library may have put a buffer of its own in place of ours
    avio_context_free(&io);
    return picture;
}

}  // namespace player
