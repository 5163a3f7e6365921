#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Listing the saver in XScreenSaver's "programs:" resource, kept in ~/.xscreensaver. The file is
// the user's: every line but the end of that list stays byte for byte, and a file that does not
// read as resource lines is left alone.
namespace settings {

struct ProgramsEdit {
    enum Outcome { Added, AlreadyListed, CannotParse };
    Outcome outcome;
    QByteArray text;  // the whole new file, when Added
    QString what;     // for the user: what was done, or why nothing could be
};

// `file` is ~/.xscreensaver (nothing: there is none), `defaults` XScreenSaver's app-defaults
// file (nothing: not installed). A missing file, or one without a list, gets the defaults' list
// (where XScreenSaver would take it from), with the saver added at its end.
ProgramsEdit withSaverListed(const std::optional<QByteArray>& file,
                             const std::optional<QByteArray>& defaults);

struct ProgramsResult {
    bool ok;
    QString message;
};

// withSaverListed on the user's ~/.xscreensaver and the installed defaults, and the file
// replaced atomically when something was added. The message says what happened, and on failure
// what the user can do instead.
ProgramsResult addSaverToXScreenSaver();

}  // namespace settings
