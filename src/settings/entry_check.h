#pragma once

#include <QSize>
#include <QString>
#include <optional>

// Why an entry cannot play, told before the saver finds out.
namespace settings {

// Empty when the entry's path names a readable regular file; otherwise the reason, in words for
// the user. The saver passes over exactly these entries.
QString entryProblem(const QString& entry);

// For an entry whose picture is larger than the screen at its size (so the saver cuts its edges
// off), a word for the user; empty when it fits, plays at Fit or at an unknown size.
QString sizeNote(const QString& entry, std::optional<QSize> picture, std::optional<QSize> screen);

// Whether the note depends on the picture's size: nothing else is worth reading the file for.
bool mayNeedSizeNote(const QString& entry);

// The whole entry, and on a line of its own the problem (or note), if there is one.
QString entryToolTip(const QString& entry, const QString& problem);

}  // namespace settings
