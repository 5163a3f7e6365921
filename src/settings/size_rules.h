#pragma once

#include <QString>
#include <optional>

// How the size list and the selected play-list entry follow each other.
namespace settings {

// The mode word the size list shows for an entry: its tail after the last "(" without the closing
// character, when that tail is longer than one character.
std::optional<QString> shownModeWord(const QString& entry);

// The entry with its mode word replaced by the picked one: everything up to and including the
// last "(" is kept, so a path with parentheses of its own stays whole. An entry whose text after
// the last "(" does not end with ")" (only possible when the store was edited by hand, e.g.
// "/c/Old (2019)/a.avi") keeps its whole text and gets " (word)" appended.
QString withModeWord(const QString& entry, const QString& modeWord);

}  // namespace settings
