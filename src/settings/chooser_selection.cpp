#include "settings/chooser_selection.h"

#include "settings/entry.h"

namespace settings {
namespace {

constexpr QChar kNul(u'\0');
constexpr QChar kSeparator(u'/');

// Everything after the first NUL of the first pair of NULs is the rest of the chooser's buffer.
QString untilDoubleNul(const QString& selection) {
    const qsizetype end = selection.indexOf(QStringView(u"\0\0", 2));
    return end < 0 ? selection : selection.left(end + 1);
}

}  // namespace

QStringList entriesFromSelection(const QString& selection,
                                 const std::function<bool(const QString&)>& isDirectory) {
    QStringList entries;
    if (selection.trimmed().isEmpty()) return entries;
    QString folder;
    for (const QString& piece : untilDoubleNul(selection).split(kNul, Qt::SkipEmptyParts)) {
        if (isDirectory(piece)) {
            folder = piece.endsWith(kSeparator) ? piece : piece + kSeparator;
        } else if (piece.contains(kSeparator)) {
            entries << entryForNewFile(piece);
            folder.clear();
        } else {
            entries << entryForNewFile(folder + piece);
        }
    }
    return entries;
}

}  // namespace settings
