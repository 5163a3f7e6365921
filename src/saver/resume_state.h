#pragma once

#include <QString>

// Where the saver goes on at its next start, kept as the saver's own state beside, never in, the
// play-list store: one decimal position in a small file.
namespace saver {

// $XDG_STATE_HOME/flickerdeck/resume, with ~/.local/state when the variable is unset or not an
// absolute path.
QString resumeStateFile();

// The position saved last; 0 when the file is missing, unreadable, not a regular file (a FIFO
// never holds the saver up) or holds anything else.
qint16 readResumePosition(const QString& file);

// Replaces the file atomically: a reader sees the old position or the new one, never a part. Its
// folder must be the user's own (made so when missing); whatever stands in the file's place is
// replaced, never written through.
bool writeResumePosition(const QString& file, qint16 position);

}  // namespace saver
