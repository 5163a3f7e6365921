#pragma once

#include <QList>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <optional>

// Which files count as movies: the chooser's filter pairs, and the same patterns for files
// dropped onto the play list.
namespace settings {

// "label|patterns|label|patterns|..." as the chooser takes it; the first pair is preselected.
extern const QString kMovieFilter;

// Every pattern of the movie pairs, without the pair that shows all files.
QStringList moviePatterns();

// Whether a file name matches a movie pattern, in any letter case.
bool isMovieFileName(const QString& name);

// A drop is taken only when it is a list of local files (or folders).
bool acceptsDrop(const QList<QUrl>& urls);

// Names of the regular files in a folder, or nothing when the path is not a folder.
using FolderFiles = std::function<std::optional<QStringList>(const QString& path)>;

// The new entries for a drop, in the order given: a file as it is, a folder as the files in it
// that match a movie pattern, sorted by name (its subfolders are not entered).
QStringList entriesFromDrop(const QList<QUrl>& urls, const FolderFiles& filesIn);

// The file system's answer for FolderFiles: visible regular files, symlinks to them included.
std::optional<QStringList> filesInFolder(const QString& path);

}  // namespace settings
