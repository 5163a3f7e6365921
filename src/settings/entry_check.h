#pragma once

#include <QString>

// Why an entry cannot play, told before the saver finds out.
namespace settings {

// Empty when the entry's path names a readable regular file; otherwise the reason, in words for
// the user. The saver passes over exactly these entries.
QString entryProblem(const QString& entry);

// The whole entry, and on a line of its own the problem, if there is one.
QString entryToolTip(const QString& entry, const QString& problem);

}  // namespace settings
