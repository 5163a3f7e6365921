#include "saver/dispatch.h"

namespace saver {

StartMode startMode(const QString& commandLine, bool anotherInstanceRunning, int active) {
    if (commandLine.toUpper().contains(QLatin1String("/P"))) return StartMode::End;
    if (anotherInstanceRunning && active == 0) return StartMode::End;
    if (commandLine.toUpper().contains(QLatin1String("/C"))) return StartMode::Configure;
    return StartMode::Saver;
}

QString commandLineText(const QStringList& arguments) {
    return arguments.mid(1).join(u' ');
}

}  // namespace saver
