#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace saver {

enum class StartMode { End, Configure, Saver };

// The host's switches, anywhere on the command line and in any letter case: "/P" (preview)
// ends at once and wins over "/C" (configure); everything else runs the saver. A second
// instance goes on only while a configuration window is open ("Active" non-zero).
StartMode startMode(const QString& commandLine, bool anotherInstanceRunning, int active);

// The arguments after the program name, taken as one text.
QString commandLineText(const QStringList& arguments);

// What to print instead of running when the only argument (after the program name) is exactly
// "--help" (the usage) or "--version"; nothing for every other command line.
std::optional<QString> informationAsked(const QStringList& arguments, const QString& version);

// Whether the only argument is exactly "--add-to-xscreensaver".
bool addToXScreenSaverAsked(const QStringList& arguments);

}  // namespace saver
