#pragma once

#include <QString>
#include <optional>

#include "saver/kept_place.h"
#include "settings/store.h"

// Where each monitor is, kept as the saver's own state beside, never in, the play-list store:
// one small file per monitor, written once a second and at the end.
namespace saver {

// $XDG_STATE_HOME/flickerdeck/resume, with ~/.local/state when the variable is unset or not an
// absolute path: monitor 0's file (monitorStateFile names the others').
QString resumeStateFile();

// Nothing when the file is missing, unreadable, not a regular file (a FIFO never holds the saver
// up) or holds anything else.
std::optional<KeptPlace> readKeptPlace(const QString& file);

// Replaces the file atomically: a reader sees the old place or the new one, never a part. Its
// folder must be the user's own (made so when missing); whatever stands in the file's place is
// replaced, never written through.
bool writeKeptPlace(const QString& file, const KeptPlace& place);

// Where monitor `number` begins, from the place it kept and the list as it is now (`store`
// refreshed), at the moment the saver starts.
StartPlace monitorStart(const settings::Store& store, int number);

}  // namespace saver
