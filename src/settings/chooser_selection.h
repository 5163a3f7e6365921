#pragma once

#include <QStringList>
#include <functional>

namespace settings {

// Turns the chooser's answer ("<path>\0\0", or "<folder>\0<name>\0...<name>\0\0", or empty on
// cancel) into new play-list entries with the mode word "Origin", in the chooser's order. A piece
// that names a folder becomes the prefix of the bare names after it. Names are kept exactly as
// chosen: a file whose name begins or ends with a blank must still be found again.
QStringList entriesFromSelection(const QString& selection,
                                 const std::function<bool(const QString&)>& isDirectory);

}  // namespace settings
