#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Small files of the program's own (locks, knocks, saved state) in folders no other user can
// write into. Nothing here follows a link, waits on a FIFO, or opens a device: whatever stands at
// a path in place of a regular file is refused, or replaced as a whole, never read or written
// through.
namespace platform {

// `path` as a folder of this user's own that no one else may write into; made (0700, with any
// missing parents) when missing, and rid of group and other write access when it is ours. False
// for a link, anything not a folder, or another user's folder.
bool makePrivateFolder(const QString& path);

// Whether `path` is such a folder now, without changing anything.
bool isPrivateFolder(const QString& path);

// A descriptor of the regular file at `path` (flags as for open(2), O_CREAT making it 0600 when
// missing); -1 when it is anything else. Never blocks, never follows a link; close it when done.
int openRegularFile(const QString& path, int flags);

// The contents of the regular file at `path` if it holds no more than maxBytes; nothing for a
// missing or larger file, a link, a FIFO, a device or a folder.
std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes);

// Replaces `path` whole: the contents go to a new file beside it, which is then renamed over it,
// so a reader sees the old contents or the new ones, and a link, FIFO or device node standing at
// `path` is itself replaced, its target untouched. False when the folder takes no new file.
// Flush::No leaves the contents to reach the disk when the system writes them out: another
// process sees them at once all the same.
enum class Flush { Yes, No };
bool replaceFile(const QString& path, const QByteArray& contents, Flush flush = Flush::Yes);

// The folder for lock and knock files: the runtime folder (XDG_RUNTIME_DIR) when it is a private
// folder as above, else a private folder made for them under the user's cache folder; empty
// when there is neither.
QString runtimeFolder();

}  // namespace platform
