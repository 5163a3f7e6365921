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

std::optional<QString> informationAsked(const QStringList& arguments, const QString& version) {
    if (arguments.size() != 2) return std::nullopt;
    if (arguments.at(1) == QLatin1String("--version"))
        return QStringLiteral("flickerdeck %1\n").arg(version);
    if (arguments.at(1) != QLatin1String("--help")) return std::nullopt;
    return QStringLiteral(
        "Usage: flickerdeck [/S | /C | /P]\n"
        "       flickerdeck --window-id ID\n"
        "       flickerdeck --add-to-xscreensaver\n"
        "Plays your own play list of movies, one after another, as a screen saver.\n"
        "\n"
        "  /C              the configuration window, where the play list is built\n"
        "  /P              preview request: ends at once\n"
        "  /S              the saver; so does any other command line\n"
        "  --window-id ID  the saver inside a screen-saver host's window\n"
        "  --add-to-xscreensaver\n"
        "                  adds the saver to the programs: list in ~/.xscreensaver, so that\n"
        "                  xscreensaver-settings offers it\n"
        "  --help          this text\n"
        "  --version       the version\n"
        "\n"
        "The switches are found anywhere on the command line, in any letter case. The play\n"
        "list is kept in $XDG_CONFIG_HOME/FDK.conf (~/.config/FDK.conf).\n");
}

bool addToXScreenSaverAsked(const QStringList& arguments) {
    return arguments.size() == 2 && arguments.at(1) == QLatin1String("--add-to-xscreensaver");
}

}  // namespace saver
