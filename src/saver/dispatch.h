#pragma once

#include <QString>
#include <QStringList>

namespace saver {

enum class StartMode { End, Configure, Saver };

// The host's switches, anywhere on the command line and in any letter case: "/P" (preview)
// ends at once and wins over "/C" (configure); everything else runs the saver. A second
// instance goes on only while a configuration window is open ("Active" non-zero).
StartMode startMode(const QString& commandLine, bool anotherInstanceRunning, int active);

// The arguments after the program name, taken as one text.
QString commandLineText(const QStringList& arguments);

}  // namespace saver
