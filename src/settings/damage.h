#pragma once

#include <QByteArray>
#include <QString>

// Telling a store file the program can read whole from one a save would not keep all of.
namespace settings {

// True when saving over this text would lose something: bytes that are not UTF-8, a line that
// is neither blank, a comment, a [section] nor key=value, or a key given twice.
bool isDamagedStoreText(const QByteArray& text);

// A damaged store file is copied aside (FDK.conf.corrupt, .corrupt.2, ... up to .corrupt.5)
// before the first save overwrites it; returns the copy's path, or an empty text. Damage kept
// already is not copied again, and once every place is taken the oldest copy gives way.
QString keepCopyOfDamagedStore(const QString& storeFile);

// QSettings waits 30 s for a lock it cannot read a process from, and for ever for one it cannot
// remove: an empty one left by a process that died between creating and filling it, or anything
// but a regular file in its place, is no lock at all.
void removeAbandonedLock(const QString& storeFile);

}  // namespace settings
