#pragma once

#include <QString>
#include <optional>

// A play-list entry is "<full path> (<mode word>)", e.g. "/clips/intro.avi (Double)".
namespace settings {

inline const QString kOrigin = QStringLiteral("Origin");
inline const QString kDouble = QStringLiteral("Double");
inline const QString kFit = QStringLiteral("Fit");

// A file newly added to the list, to be played at its own size: "<path> (Origin)".
QString entryForNewFile(const QString& path);

// The text after the last "(" of the entry; an entry without any "(" is its own tail.
QString entryTail(const QString& entry);

struct SplitEntry {
    QString path;
    std::optional<QString> modeWord;  // empty optional: the whole entry is a path
};

// Only "<text><blank>(<word>)" carries a mode word, so a bare path with parentheses of its own
// ("/clips/Old (2019)/a.avi") stays whole.
SplitEntry splitEntry(const QString& entry);

// "Origin" -> 0, "Double" -> 1, "Fit" -> 2, compared exactly; any other word selects no size mode.
std::optional<int> sizeModeForWord(const QString& modeWord);

// The size mode an entry plays at: an entry without a mode word plays at its own size (0), one
// with a word other than the three selects none, so the player keeps the size it had.
std::optional<int> sizeModeForEntry(const QString& entry);

}  // namespace settings
