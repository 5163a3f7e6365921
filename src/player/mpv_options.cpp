#include "player/mpv_options.h"

#include <QThread>
#include <algorithm>
#include <cmath>

namespace player {

EngineChoice desktopEngine() {
    return {chooseVideoOutput(), {}, false};
}

mpv::Options engineOptions(const EngineChoice& choice) {
    mpv::Options options = {
        {"config", "no"},
        {"load-scripts", "no"},
        {"ytdl", "no"},
        {"osc", "no"},
        {"load-stats-overlay", "no"},
        {"load-osd-console", "no"},
        {"load-auto-profiles", "no"},
        {"osd-level", "0"},
        {"terminal", "no"},
        {"input-default-bindings", "no"},
        {"input-vo-keyboard", "no"},
        {"input-cursor", "no"},
        {"cursor-autohide", "no"},
        {"stop-screensaver", "no"},
        {"access-references", "no"},
        // mpv's own demuxers would follow EDL, cue and play-list files to any source at all;
        // libavformat alone only reads media, and only through the file protocol.
        {"demuxer", "lavf"},
        {"ordered-chapters", "no"},
        {"sub-auto", "no"},
        {"audio-file-auto", "no"},
        {"cover-art-auto", "no"},
        {"stream-lavf-o", "protocol_whitelist=file"},
        {"demuxer-lavf-o", "protocol_whitelist=file"},
        {"keep-open", "no"},
        {"idle", "yes"},
        // mpv takes the picture box being shown for its own window being shown, and would then
        // never map the window it draws in: a window of its own from the start, kept across files.
        {"force-window", "yes"},
        {"audio-fallback-to-null", "yes"},
        {"hwdec", "no"},
        // One decoding thread per core. The engine's default, one more, only makes the extra
        // thread's frame compete with the first frame for the cores: the first picture comes
        // ~15 ms later at 1080p on two cores, and decoding goes no faster.
        {"vd-lavc-threads", QByteArray::number(std::clamp(QThread::idealThreadCount(), 1, 16))},
        // The window is always the picture's size (or twice it, see fileOptions), so the picture
        // is drawn as it is. Fitting it to the window would also rescale the engine's idle black
        // frame to every new window size: tens of milliseconds of CPU, taken from the decoder
        // just while the next movie opens.
        {"video-unscaled", "yes"},
        {"vo", choice.video.output},
    };
    if (!choice.video.context.isEmpty()) options.append({"gpu-context", choice.video.context});
    if (!choice.audioOutput.isEmpty()) options.append({"ao", choice.audioOutput});
    if (choice.untimed) options.append({{"untimed", "yes"}, {"ao-null-untimed", "yes"}});
    return options;
}

QByteArray fileOptions(double scale) {
    if (scale == 1.0 || !(scale > 0.0)) return {};
    return "video-zoom=" + QByteArray::number(std::log2(scale), 'g', 17);
}

}  // namespace player
