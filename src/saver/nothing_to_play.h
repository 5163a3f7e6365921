#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "settings/store.h"

namespace saver {

// The line for stderr when a saver starts with nothing it could play: an empty play list, or
// one where no entry names a movie file that can be read. Nothing as soon as one entry can play;
// entries are looked at in order, so a usual list costs one look.
std::optional<QString> nothingToPlayMessage(int count, const std::function<QString(int)>& entryAt,
                                            const std::function<bool(const QString&)>& playable);

// Says so on stderr for the stored list; the saver then goes on as it would anyway.
void warnWhenNothingCanPlay(const settings::Store& store);

}  // namespace saver
