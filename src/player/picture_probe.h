#pragma once

#include <QSize>
#include <QString>
#include <atomic>
#include <chrono>
#include <optional>

namespace player {

// The size the engine would show a movie's picture at, from what its container's header says:
// nothing is decoded, and the file alone is read (no file it names, no other protocol). Nothing
// when the header does not say, the file has no picture, is not a regular file, or when reading
// it takes longer than `limit`, reads more than a few tens of megabytes, or `cancel` turns true.
// Blocks: call it off the window's thread.
std::optional<QSize> probePictureSize(const QString& path, std::chrono::milliseconds limit,
                                      const std::atomic<bool>* cancel = nullptr);

}  // namespace player
