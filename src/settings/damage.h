#pragma once

#include <QByteArray>
#include <QString>

// Telling a store file the program can read whole from one it would silently lose parts of.
namespace settings {

// True when saving over this INI text would lose something: bytes that are not UTF-8, a line
// that is neither blank, a comment, a [section] nor key=value, a key given twice, or any key that
// QSettings reads otherwise than the line gives it (line continuations, quotes over a line end,
// escaped or aliased names). QSettings drops or rewrites all of these without a word.
bool isDamagedStoreText(const QByteArray& text);

// A damaged store file is copied aside (FDK.conf.corrupt, or .corrupt.2, ...) before the first
// save overwrites it; returns the copy's path, or an empty text.
QString keepCopyOfDamagedStore(const QString& storeFile);

// QSettings waits 30 s for a lock it cannot read a process from; one left empty by a process
// that died between creating and filling it is no lock at all.
void removeAbandonedLock(const QString& storeFile);

}  // namespace settings
