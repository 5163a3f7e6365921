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
struct Shutdown {};

using Event = std::variant<CommandReply, StartFile, FileLoaded, VideoReconfig, EndFile,
                           PropertyReply, Shutdown>;

}  // namespace player::mpv
