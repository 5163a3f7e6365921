#include "settings/store_format.h"

#include <QFileDevice>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStringDecoder>
#include <optional>

#include "settings/ini_value.h"
#include "settings/store.h"

namespace settings {
namespace {

constexpr QByteArrayView kByteOrderMark = "\xEF\xBB\xBF";

struct Line {
    enum Kind { Blank, Comment, Section, Key, Junk };
    Kind kind = Blank;
    QByteArrayView text;    // without its line end
    QByteArrayView ending;  // "\n", "\r\n", "\r", or none on a last line
    QString section;        // of a section line, or the one a key line is in
    QByteArrayView name;    // of a key line
    QString key;            // "Section/name"
    QString value;
    bool brokenHeader = false;
};

QByteArrayView trimmed(QByteArrayView text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text = text.sliced(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.chop(1);
    return text;
}

bool isUtf8(QByteArrayView text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x80) continue;
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        [[maybe_unused]] const QString decoded = decoder.decode(text);
        return !decoder.hasError();
    }
    return true;
}

struct ParsedStore {
    std::vector<Line> lines;
    bool byteOrderMark = false;
    QByteArrayView ending = "\n";  // of the first line that has one
    bool damaged = false;
};

Line lineFrom(QByteArrayView text, const QString& section) {
    Line line;
    line.text = text;
    line.section = section;
    const auto kind = [&](Line::Kind kind) {
        line.kind = kind;
        return line;
    };
    const QByteArrayView content = trimmed(text);
    if (content.empty()) return line;
    if (content.front() == ';' || content.front() == '#') return kind(Line::Comment);
    if (content.front() == '[') {
        // A header cut short still names its section, as QSettings reads it.
        line.brokenHeader = content.back() != ']';
        line.kind = Line::Section;
        line.section = QString::fromUtf8(content.sliced(1, content.size() - 2 + line.brokenHeader));
        if (line.section == u"General") line.section.clear();
        return line;
    }
    const qsizetype equals = content.indexOf('=');
    line.name = trimmed(content.first(std::max<qsizetype>(equals, 0)));
    if (line.name.empty()) return kind(Line::Junk);
    line.kind = Line::Key;
    const QString name = QString::fromUtf8(line.name);
    line.key = section.isEmpty() ? name : section + u'/' + name;
    line.value = valueAsWritten(trimmed(content.sliced(equals + 1)));
    return line;
}

ParsedStore parseStore(QByteArrayView text) {
    ParsedStore parsed;
    parsed.byteOrderMark = text.startsWith(kByteOrderMark);
    if (parsed.byteOrderMark) text = text.sliced(kByteOrderMark.size());
    parsed.damaged = !isUtf8(text);
    QString section;
    QSet<QString> keys;
    bool endingSeen = false;
    while (!text.empty()) {
        qsizetype end = 0;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
        qsizetype next = end;
        if (next < text.size())
            next += text[next] == '\r' && next + 1 < text.size() && text[next + 1] == '\n' ? 2 : 1;
        Line line = lineFrom(text.first(end), section);
        line.ending = text.sliced(end, next - end);
        if (!endingSeen && !line.ending.empty()) {
            parsed.ending = line.ending;
            endingSeen = true;
        }
        if (line.kind == Line::Section) section = line.section;
        if (line.kind == Line::Junk || line.brokenHeader ||
            (line.kind == Line::Key && keys.contains(line.key)))
            parsed.damaged = true;
        if (line.kind == Line::Key) keys.insert(line.key);
        parsed.lines.push_back(std::move(line));
        text = text.sliced(next);
    }
    return parsed;
}

QString sectionOf(const QString& key) {
    const qsizetype slash = key.indexOf(u'/');
    return slash < 0 ? QString() : key.first(slash);
}

QString nameOf(const QString& key) {
    return key.sliced(key.indexOf(u'/') + 1);
}

// Numbered keys in number order, so that new entries follow the list's order.
bool keyBefore(const QString& left, const QString& right) {
    bool leftIsNumber = false, rightIsNumber = false;
    const qlonglong l = left.toLongLong(&leftIsNumber), r = right.toLongLong(&rightIsNumber);
    if (leftIsNumber && rightIsNumber && l != r) return l < r;
    return left < right;
}

// Line number -> the section whose last header or key line it is.
QHash<qsizetype, QString> lastLinesOfSections(const ParsedStore& parsed) {
    QHash<QString, qsizetype> last;
    for (qsizetype i = 0; i < qsizetype(parsed.lines.size()); ++i)
        if (parsed.lines[i].kind == Line::Section || parsed.lines[i].kind == Line::Key)
            last[parsed.lines[i].section] = i;
    QHash<qsizetype, QString> sections;
    for (auto it = last.begin(); it != last.end(); ++it) sections[it.value()] = it.key();
    return sections;
}

bool readStore(QIODevice& device, QSettings::SettingsMap& values) {
    values = parseStoreText(device.readAll()).values;
    return true;
}

bool writeStore(QIODevice& device, const QSettings::SettingsMap& values) {
    const auto* file = qobject_cast<QFileDevice*>(&device);
    if (!file || !mayWriteStoreFile(file->fileName())) return false;
    const QByteArray text =
        storeTextFor(values, readStoreFile(file->fileName()).value_or(QByteArray()));
    return device.write(text) == text.size();
}

}  // namespace

QSettings::Format storeFormat() {
    static const QSettings::Format format =
        QSettings::registerFormat(QStringLiteral("conf"), readStore, writeStore, Qt::CaseSensitive);
    return format;
}

StoreText parseStoreText(QByteArrayView text) {
    ParsedStore parsed = parseStore(text);
    StoreText result;
    result.damaged = parsed.damaged;
    for (Line& line : parsed.lines)
        if (line.kind == Line::Key) result.values.insert(line.key, std::move(line.value));
    return result;
}

QByteArray storeTextFor(const QSettings::SettingsMap& values, QByteArrayView existing) {
    const ParsedStore parsed = parseStore(existing);
    const QByteArray eol = parsed.ending.toByteArray();
    QMap<QString, QStringList> sections;
    for (auto it = values.begin(); it != values.end(); ++it)
        sections[sectionOf(it.key())].append(it.key());
    const QHash<qsizetype, QString> newKeysAfter = lastLinesOfSections(parsed);
    QSet<QString> written;
    QByteArray out = parsed.byteOrderMark ? kByteOrderMark.toByteArray() : QByteArray();
    const auto writeKey = [&](QByteArrayView name, const QString& key) {
        out += name.toByteArray() + '=' + encodedValue(values.value(key).toString()) + eol;
        written.insert(key);
    };
    const auto writeNewKeys = [&](const QString& section) {
        QStringList keys = sections.value(section);
        std::sort(keys.begin(), keys.end(), [](const QString& a, const QString& b) {
            return keyBefore(nameOf(a), nameOf(b));
        });
        for (const QString& key : keys)
            if (!written.contains(key)) writeKey(nameOf(key).toUtf8(), key);
    };
    for (qsizetype i = 0; i < qsizetype(parsed.lines.size()); ++i) {
        const Line& line = parsed.lines[i];
        const QByteArray ending = line.ending.empty() ? eol : line.ending.toByteArray();
        if (line.kind == Line::Key && values.contains(line.key) && !written.contains(line.key)) {
            if (values.value(line.key).toString() == line.value && isUtf8(line.text)) {
                out += line.text.toByteArray() + ending;
                written.insert(line.key);
            } else {
                writeKey(QString::fromUtf8(line.name).toUtf8(), line.key);
            }
        } else if (line.kind != Line::Key && line.kind != Line::Junk) {
            const QByteArray text = line.brokenHeader
                                        ? '[' + trimmed(line.text).sliced(1).toByteArray() + ']'
                                        : line.text.toByteArray();
            out += (isUtf8(text) ? text : QString::fromUtf8(text).toUtf8()) + ending;
        }
        if (newKeysAfter.contains(i)) writeNewKeys(newKeysAfter.value(i));
    }
    for (auto it = sections.begin(); it != sections.end(); ++it) {
        if (std::all_of(it->begin(), it->end(),
                        [&](const QString& k) { return written.contains(k); }))
            continue;
        if (out.size() > (parsed.byteOrderMark ? 3 : 0) && !out.endsWith(eol + eol)) out += eol;
        out += '[' + (it.key().isEmpty() ? QByteArray("General") : it.key().toUtf8()) + ']' + eol;
        writeNewKeys(it.key());
    }
    return out;
}

}  // namespace settings
