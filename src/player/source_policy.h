#pragma once

#include <QString>

namespace player {

// The only thing ever handed to the player engine: an absolute path naming an existing regular
// local file (symlinks followed). URLs, protocol prefixes, relative paths, devices, FIFOs and
// directories are files that cannot be opened, so a play-list entry can never reach the
// network or run anything.
bool isPlayableLocalFile(const QString& path);

}  // namespace player
