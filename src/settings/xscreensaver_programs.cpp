#include "settings/xscreensaver_programs.h"

#include <QDir>
#include <QFile>
#include <QObject>
#include <QSaveFile>
#include <algorithm>
#include <cctype>

namespace settings {
namespace {

const QByteArray kSaverEntry = QByteArrayLiteral("\"Flickerdeck\"  flickerdeck -root");
const QByteArray kSaverLine = "\t\t\t\t" + kSaverEntry + "\t\t\t    \\n";
const QByteArray kSaverCommand = QByteArrayLiteral("flickerdeck");
const QByteArray kHeader = QByteArrayLiteral(
    "# XScreenSaver Preferences File\n"
    "# Written by flickerdeck --add-to-xscreensaver: XScreenSaver's list of programs, with\n"
    "# Flickerdeck added. Everything else is as XScreenSaver's defaults have it.\n\n");
const char* const kDefaultsFiles[] = {"/etc/X11/app-defaults/XScreenSaver",
                                      "/usr/share/X11/app-defaults/XScreenSaver",
                                      "/usr/lib/X11/app-defaults/XScreenSaver"};

// One resource, "key: value", over physical lines first..last (a line ending in "\" goes on).
struct Resource {
    qsizetype first;
    qsizetype last;
};

struct Parsed {
    QList<Resource> programs;
    qsizetype badLine = -1;  // 0-based, -1: every line read
};

bool continues(const QByteArray& line) {
    return line.endsWith('\\');
}

bool isKey(const QByteArray& key) {
    return !key.isEmpty() && std::all_of(key.begin(), key.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || QByteArray("_-.*?").contains(c);
    });
}

// "programs", "*programs", "XScreenSaver.programs" all name the list.
bool isProgramsKey(const QByteArray& key) {
    return key.mid(std::max(key.lastIndexOf('.'), key.lastIndexOf('*')) + 1) == "programs";
}

// Comments ("!", "#") and blank lines end at their line; anything else must be "key:".
Parsed parse(const QList<QByteArray>& lines) {
    Parsed parsed;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray head = lines.at(i).trimmed();
        if (head.isEmpty() || head.startsWith('#') || head.startsWith('!')) continue;
        const qsizetype first = i;
        while (continues(lines.at(i)) && i + 1 < lines.size()) ++i;
        const qsizetype colon = head.indexOf(':');
        if (colon < 0 || !isKey(head.left(colon).trimmed())) {
            if (parsed.badLine < 0) parsed.badLine = first;
            continue;
        }
        if (isProgramsKey(head.left(colon).trimmed())) parsed.programs.append({first, i});
    }
    return parsed;
}

QByteArray valueLine(const QList<QByteArray>& lines, const Resource& list, qsizetype i) {
    const QByteArray& line = lines.at(i);
    return i == list.first ? line.mid(line.indexOf(':') + 1) : line;
}

// The program an entry runs, without its folder: entries read [-] ["Name"] [visual:] command.
QByteArray commandName(QByteArray entry) {
    entry = entry.trimmed();
    if (entry.startsWith('-')) entry = entry.mid(1).trimmed();
    if (entry.startsWith('"')) entry = entry.mid(entry.indexOf('"', 1) + 1).trimmed();
    QList<QByteArray> words = entry.simplified().split(' ');
    if (!words.isEmpty() && words.first().endsWith(':')) words.removeFirst();
    const QByteArray command = words.value(0);
    return command.mid(command.lastIndexOf('/') + 1);
}

bool listsSaver(const QList<QByteArray>& lines, const Resource& list) {
    QByteArray value;
    for (qsizetype i = list.first; i <= list.last; ++i) {
        const QByteArray line = valueLine(lines, list, i);
        value += continues(line) ? line.chopped(1) : line;
    }
    for (qsizetype from = 0; from <= value.size();) {
        qsizetype end = value.indexOf("\\n", from);
        if (end < 0) end = value.size();
        if (commandName(value.mid(from, end - from)) == kSaverCommand) return true;
        from = end + 2;
    }
    return false;
}

// The list goes on onto one more line, the saver's: before a blank line that ends it, else after
// its last line. The entry before the saver's ends in "\n" and goes on to the next line.
void appendSaver(QList<QByteArray>& lines, const Resource& list) {
    const bool endsBlank = list.last > list.first && lines.at(list.last).trimmed().isEmpty();
    const qsizetype before = endsBlank ? list.last - 1 : list.last;
    QByteArray value = valueLine(lines, list, before);
    if (continues(value)) value.chop(1);
    value = value.trimmed();
    const QByteArray ending = value.isEmpty() || value.endsWith("\\n") ? "" : "\\n";
    QByteArray& line = lines[before];
    if (continues(line))
        line.insert(line.size() - 1, ending);
    else
        line += ending + '\\';
    lines.insert(before + 1, endsBlank ? kSaverLine + '\\' : kSaverLine);
}

// The defaults' own list under the key a user's file uses, or an empty one.
QByteArray listFrom(const std::optional<QByteArray>& defaults) {
    const QList<QByteArray> lines = defaults ? defaults->split('\n') : QList<QByteArray>();
    const Parsed parsed = parse(lines);
    if (parsed.programs.isEmpty()) return "programs:\n";
    const Resource list = parsed.programs.first();
    QByteArray text = "programs:" + valueLine(lines, list, list.first) + '\n';
    for (qsizetype i = list.first + 1; i <= list.last; ++i) text += lines.at(i) + '\n';
    return text;
}

bool hasList(const std::optional<QByteArray>& defaults) {
    return defaults && !parse(defaults->split('\n')).programs.isEmpty();
}

ProgramsEdit cannotParse(const QString& why) {
    return {ProgramsEdit::CannotParse,
            {},
            QObject::tr("%1 was left as it is: %2.").arg(QStringLiteral("%1"), why)};
}

ProgramsEdit addedTo(const QByteArray& text, const QString& what) {
    QList<QByteArray> lines = text.split('\n');
    const Parsed parsed = parse(lines);
    if (listsSaver(lines, parsed.programs.first()))
        return {ProgramsEdit::AlreadyListed,
                {},
                QObject::tr("%1 already lists Flickerdeck; nothing was changed.")};
    appendSaver(lines, parsed.programs.first());
    return {ProgramsEdit::Added, lines.join('\n'), what};
}

std::optional<QByteArray> readAll(const QString& path, QString* error) {
    QFile file(path);
    if (!file.exists()) return std::nullopt;
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return std::nullopt;
    }
    return file.readAll();
}

std::optional<QByteArray> installedDefaults() {
    QString ignored;
    for (const char* path : kDefaultsFiles)
        if (auto text = readAll(QString::fromLatin1(path), &ignored)) return text;
    return std::nullopt;
}

}  // namespace

ProgramsEdit withSaverListed(const std::optional<QByteArray>& file,
                             const std::optional<QByteArray>& defaults) {
    const QString fromDefaults =
        hasList(defaults)
            ? QObject::tr("with XScreenSaver's default programs and Flickerdeck after them")
            : QObject::tr(
                  "with Flickerdeck as its only program (XScreenSaver's defaults were "
                  "not found)");
    if (!file)
        return addedTo(kHeader + listFrom(defaults),
                       QObject::tr("%1 was written, %2.").arg(QStringLiteral("%1"), fromDefaults));
    if (file->contains('\0')) return cannotParse(QObject::tr("it is not a text file"));
    if (file->contains('\r')) return cannotParse(QObject::tr("it has Windows line ends"));
    const QList<QByteArray> lines = file->split('\n');
    const Parsed parsed = parse(lines);
    if (parsed.badLine >= 0)
        return cannotParse(
            QObject::tr("line %1 is neither a setting nor a comment").arg(parsed.badLine + 1));
    if (parsed.programs.size() > 1)
        return cannotParse(QObject::tr("it has %1 programs: lists").arg(parsed.programs.size()));
    if (parsed.programs.size() == 1)
        return addedTo(*file, QObject::tr("Flickerdeck was added to the programs: list in %1."));
    const QByteArray ended = file->isEmpty() || file->endsWith('\n') ? *file : *file + '\n';
    return addedTo(ended + '\n' + listFrom(defaults),
                   QObject::tr("A programs: list was added to the end of %1, %2.")
                       .arg(QStringLiteral("%1"), fromDefaults));
}

ProgramsResult addSaverToXScreenSaver() {
    const QString path = QDir::home().filePath(QStringLiteral(".xscreensaver"));
    QString error;
    const std::optional<QByteArray> file = readAll(path, &error);
    if (!error.isEmpty()) return {false, QObject::tr("%1 could not be read: %2.").arg(path, error)};
    const ProgramsEdit edit = withSaverListed(file, installedDefaults());
    const QString what = edit.what.arg(path);
    if (edit.outcome == ProgramsEdit::AlreadyListed) return {true, what};
    if (edit.outcome == ProgramsEdit::CannotParse)
        return {false, what + u' ' +
                           QObject::tr("Add this line to its programs: list yourself:\n%1")
                               .arg(QString::fromUtf8(kSaverEntry + "  \\n\\"))};
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(edit.text) != edit.text.size() ||
        !out.commit())
        return {false, QObject::tr("%1 could not be written: %2.").arg(path, out.errorString())};
    return {true, what + u' ' + QObject::tr("Choose Flickerdeck in xscreensaver-settings.")};
}

}  // namespace settings
