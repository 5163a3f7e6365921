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
        // The engine maps the window it draws in only if no map of our window reaches it first:
        // it takes any map it hears of for its own. So its window is made and mapped inside
        // mpv_initialize, before ours can be shown, and kept across files. Drawn through the
        // render API, there is no window, and the renderer comes only after mpv_initialize.
        {"force-window", choice.video.output == kRenderApiOutput ? "no" : "immediate"},
        {"audio-fallback-to-null", "yes"},
        {"hwdec", "no"},
        // Decoding threads stay at the engine's default, one more than the cores: on a busy
        // machine the extra thread wins the decoder its share of the cores, and a 1080p movie
        // on two loaded cores drops a fifth fewer frames than with one thread per core.
        {"vd-lavc-threads", "0"},
        // Frame dropping then takes each frame's length from the file's frame rate, so a movie's
        // first picture is shown as soon as it is decoded, not once the second one is too: that
        // frame's decoding is part of every start and of the black between two movies.
        {"video-latency-hacks", "yes"},
        // The window is the picture's size (or twice it, see fileOptions), or the part of it that
        // can be seen, cut equally on opposite sides: the picture is drawn as it is. Fitting it
        // to the window would also rescale the engine's idle black frame to every new window
        // size: tens of milliseconds of CPU, taken from the decoder just while the next movie
        // opens.
        {"video-unscaled", "yes"},
        // Where the picture is converted on the CPU (the x11 output, chosen without hardware
        // OpenGL), libswscale's direct converters: zimg takes tens of milliseconds to set up for
        // each new format, once for the engine's idle frame and again for every movie's first
        // one, and draws a 1080p movie with a seventh more CPU. The picture looks the same.
        {"sws-allow-zimg", "no"},
        {"sws-fast", "yes"},
        {"vo", choice.video.output},
    };
    if (!choice.video.context.isEmpty()) options.append({"gpu-context", choice.video.context});
    // The render API's CPU renderer takes the picture for turned when the file says so, but
    // lays it out unturned, and aborts the whole process at its first frame (libmpv 0.35): the
    // player turns it itself.
    if (choice.video.output == kRenderApiOutput) options.append(qMakePair("video-rotate", "no"));
    if (!choice.audioOutput.isEmpty()) options.append({"ao", choice.audioOutput});
    if (choice.untimed) options.append({{"untimed", "yes"}, {"ao-null-untimed", "yes"}});
    return options;
}

QByteArray fileOptions(const PlaybackChoices& choices) {
    QByteArrayList options;
    if (choices.volume != 100) options << "volume=" + QByteArray::number(choices.volume);
    if (choices.mute) options << "mute=yes";
    // As a share of the length the engine finds: a start beyond the end would end the movie
    // at once, and a file changed since its place was taken may be shorter now.
    if (const auto start = choices.startAt; start && start->seconds > 0.0 && start->length > 0.0)
        options << "start=" +
                       QByteArray::number(std::min(start->seconds / start->length, 1.0) * 100.0,
                                          'g', 17) +
                       "%";
    return options.join(',');
}

mpv::Options viewOptions(double scale, const PlaybackChoices& choices) {
    const bool zoomed = !choices.fitWithin && scale > 0.0 && scale != 1.0;
    return {{"video-unscaled", choices.fitWithin ? "no" : "yes"},
            {"video-zoom", zoomed ? QByteArray::number(std::log2(scale), 'g', 17) : "0"}};
}

QByteArray withLastPictureKept(const QByteArray& options) {
    return (options.isEmpty() ? options : options + ',') + "keep-open=yes,pause=no";
}

}  // namespace player
