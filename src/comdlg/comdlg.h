#pragma once

#include <QString>
#include <QtGlobal>

namespace comdlg {

// Shows the open-file dialog modally over the window active at the call, starting in the current
// working directory, and lets the user pick one or several existing files.
//
// filter: "label|patterns|label|patterns|...", patterns of one pair separated by ";" and matched
// whatever the letter case. Every "|" of it is replaced by a NUL on return (a NUL already there
// separates like "|"). filterIndex, 1-based, names the pair preselected; any other value
// preselects the first, as a caller's first call does with 0.
//
// On confirm the working directory moves to the folder of the chosen files, filterIndex receives
// the 1-based number of the pair selected at that moment, and the result is
//   one file:        "<full path>\0\0"
//   several files:   "<folder>\0<name1>\0<name2>\0...<nameN>\0\0"   (in the dialog's order)
// The folder piece ends without a separator unless it is the root folder.
// On cancel or failure: an empty text; filterIndex and the working directory stay as they were.
QString ShowOpenDialog(QString& filter, qint16& filterIndex, const QString& title);

}  // namespace comdlg
