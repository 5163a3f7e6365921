#include "settings/ini_value.h"

#include <QStringEncoder>
#include <optional>

namespace settings {
namespace {

// The characters QSettings writes as a backslash and a letter.
constexpr std::pair<char16_t, char> kEscapes[] = {
    {u'\0', '0'}, {u'\a', 'a'}, {u'\b', 'b'}, {u'\f', 'f'}, {u'\n', 'n'},
    {u'\r', 'r'}, {u'\t', 't'}, {u'\v', 'v'}, {u'"', '"'},  {u'\\', '\\'},
};

char escapeLetter(char16_t c) {
    for (const auto& [character, letter] : kEscapes)
        if (character == c) return letter;
    return 0;
}

std::optional<char16_t> escapedCharacter(char letter) {
    for (const auto& [character, escape] : kEscapes)
        if (escape == letter) return character;
    return std::nullopt;
}

bool needsEscape(char16_t c) {
    return c <= 0x1F || escapeLetter(c);
}

bool needsQuotes(char16_t c) {
    return c == u';' || c == u',' || c == u'=';
}

int digitValue(char c, int base) {
    const int value = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : 99;
    return value < base ? value : -1;
}

// A numeric escape ("\x1f", "\0") takes every digit after it, so QSettings escapes a digit that
// follows one.
QByteArray hexEscape(char16_t c) {
    return "\\x" + QByteArray::number(c, 16);
}

// Reads the escapes QSettings writes; nothing for anything it never writes.
std::optional<QString> unescaped(QByteArrayView body) {
    QString text;
    qsizetype plain = 0;
    for (qsizetype i = 0; i < body.size();) {
        if (body[i] == '"') return std::nullopt;
        if (body[i] != '\\') {
            ++i;
            continue;
        }
        text += QString::fromUtf8(body.sliced(plain, i - plain));
        if (++i == body.size()) return std::nullopt;
        const int base = body[i] == 'x' ? 16 : digitValue(body[i], 8) >= 0 ? 8 : 0;
        if (base == 0) {
            const auto character = escapedCharacter(body[i]);
            if (!character) return std::nullopt;
            text += QChar(*character);
            plain = ++i;
            continue;
        }
        if (base == 16) ++i;
        const qsizetype digitsFrom = i;
        int code = 0;
        for (; i < body.size() && digitValue(body[i], base) >= 0 && code <= 0xFFFF; ++i)
            code = code * base + digitValue(body[i], base);
        if (i == digitsFrom || code > 0xFFFF) return std::nullopt;
        text += QChar(static_cast<char16_t>(code));
        plain = i;
    }
    return text + QString::fromUtf8(body.sliced(plain));
}

std::optional<QString> meaningIfEncoded(QByteArrayView raw) {
    const bool quoted = raw.size() >= 2 && raw.front() == '"' && raw.back() == '"';
    auto text = unescaped(quoted ? raw.sliced(1, raw.size() - 2) : raw);
    if (!text) return std::nullopt;
    if (text->startsWith(u"@String(") && text->endsWith(u')'))
        *text = text->sliced(8, text->size() - 9);
    else if (text->startsWith(u"@@"))
        text->remove(0, 1);
    if (encodedValue(*text) != raw) return std::nullopt;
    return text;
}

}  // namespace

QByteArray encodedValue(const QString& value) {
    QString text = value;
    if (text.contains(QChar::Null))
        text = QStringLiteral("@String(") + text + u')';
    else if (text.startsWith(u'@'))
        text.prepend(u'@');
    QByteArray out;
    out.reserve(text.size() + 2);
    // One encoder for the whole text, as QSettings has: a surrogate pair becomes one character,
    // a lone surrogate a replacement character.
    QStringEncoder toUtf8(QStringEncoder::Utf8);
    bool quotes = false, escapeHexDigit = false;
    for (qsizetype i = 0; i < text.size();) {
        const char16_t c = text.at(i).unicode();
        quotes = quotes || needsQuotes(c);
        if (escapeHexDigit && c < 0x80 && digitValue(char(c), 16) >= 0) {
            out += hexEscape(c);
            ++i;
            continue;
        }
        escapeHexDigit = c == 0 || (c <= 0x1F && !escapeLetter(c));
        if (needsEscape(c)) {
            out += escapeLetter(c) ? QByteArray("\\") + escapeLetter(c) : hexEscape(c);
            ++i;
            continue;
        }
        qsizetype end = i + 1;
        for (; end < text.size() && !needsEscape(text.at(end).unicode()); ++end)
            quotes = quotes || needsQuotes(text.at(end).unicode());
        out += toUtf8(QStringView(text).sliced(i, end - i));
        i = end;
    }
    if (quotes || out.startsWith(' ') || out.endsWith(' ')) out = '"' + out + '"';
    return out;
}

QString valueAsWritten(QByteArrayView raw) {
    // QSettings writes every other value as its text stands.
    if (raw.startsWith('@') || raw.contains('\\') || raw.contains('"'))
        if (auto meaning = meaningIfEncoded(raw)) return *meaning;
    return QString::fromUtf8(raw);
}

}  // namespace settings
