#pragma once

#include <cstdint>
#include <variant>

// What the player engine reports, as plain values: the only libmpv events the control needs.
namespace player::mpv {

enum class EndReason { Eof, Stop, Quit, Error, Redirect };

struct CommandReply {
    uint64_t tag;
    int error;  // < 0: the command failed
    int64_t entryId;
};
struct StartFile {
    int64_t entryId;
};
struct FileLoaded {};
struct VideoReconfig {};
// The file playing now has shown its first picture (or begun its sound).
struct PlaybackRestart {};
// The file playing now has played out and keeps its last picture, paused.
struct EofReached {};
struct EndFile {
    int64_t entryId;
    EndReason reason;
    int error;
};
struct PropertyReply {
    uint64_t tag;
    int error;  // < 0: the property is unavailable
    int64_t value;
};
// The selected video track as the file's container describes it, known before the first frame
// is decoded; zeros where the container says nothing.
struct VideoTrackReply {
    uint64_t tag;
    int error;  // < 0: no video track
    int64_t width;
    int64_t height;
    double pixelAspect;
    int64_t rotation;
};
// How far the file has played, or how long it is, in seconds.
struct TimeReply {
    enum Kind { Position, Length };
    uint64_t tag;
    Kind kind;
    int error;  // < 0: not known (nothing playing)
    double seconds;
};
struct Shutdown {};

using Event =
    std::variant<CommandReply, StartFile, FileLoaded, VideoReconfig, PlaybackRestart, EofReached,
                 EndFile, PropertyReply, VideoTrackReply, TimeReply, Shutdown>;

}  // namespace player::mpv
