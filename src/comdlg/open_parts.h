#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

// What the open-file dialog needs that involves no window: reading the caller's filter text,
// writing the selection back in the caller's form, and where the dialog goes.
namespace comdlg {

// One "label|patterns" pair of the caller's filter text.
struct NameFilter {
    QString label;         // shown exactly as given
    QStringList patterns;  // the ";"-separated patterns, blanks around each removed
    bool operator==(const NameFilter&) const = default;
};

// "label|patterns|label|patterns|..." as pairs. A NUL separates like "|", so a filter text that an
// earlier dialog already rewrote reads the same; a trailing label without patterns is dropped.
QList<NameFilter> parseFilterText(const QString& text);

// The pattern in the form Qt's file model takes, matching whatever the letter case: "*.avi" ->
// "*.[aA][vV][iI]". Only "*" and "?" are wildcards ("[" is an ordinary character) and "*.*"
// matches every name, dotless ones too.
QString caseInsensitivePattern(const QString& pattern);

// The name filter for QFileDialog: "<label> (<patterns>)". Qt reads the patterns from the last
// parenthesised group only, so parentheses inside the label stay part of the label.
QString qtNameFilter(const NameFilter& filter);

// The caller's form of a selection of absolute paths: "<path>\0\0" for one file,
// "<folder>\0<name1>\0...<nameN>\0\0" for several in one folder, and every full path followed
// by a NUL, then one more NUL, for files from several folders; empty for none.
QString selectionText(const QStringList& absolutePaths);

// Top-left corner of a window of the given size centred over the owner's rectangle, exact halves
// rounded to the even neighbour. Nothing keeps it on a screen.
QPoint centredTopLeft(const QRect& owner, const QSize& window);

}  // namespace comdlg
