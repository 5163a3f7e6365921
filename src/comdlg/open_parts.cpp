#include "comdlg/open_parts.h"

#include <algorithm>

#include <QDir>
#include <cmath>

namespace comdlg {
namespace {

bool isSeparator(QChar c) {
    return c == u'|' || c == QChar(u'\0');
}

// Besides ASCII letters (which become bracket sets) and "[" "]", the characters Qt's name-filter
// parser takes between the parentheses; blanks, ";" and "|" never reach it from here.
const QString kKeptAsIs = QStringLiteral("0123456789_.,*?#-@{}/!<>$%&=^~:");

int roundHalfToEven(double value) {
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction < 0.5) return static_cast<int>(below);
    if (fraction > 0.5) return static_cast<int>(below) + 1;
    return std::fmod(below, 2.0) == 0.0 ? static_cast<int>(below) : static_cast<int>(below) + 1;
}

// Absolute paths only: the folder of "/a.avi" is "/".
QString folderOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
}

QString nameOf(const QString& path) {
    return path.mid(path.lastIndexOf(u'/') + 1);
}

}  // namespace

QList<NameFilter> parseFilterText(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && isSeparator(text.at(end - 1))) --end;
    QStringList pieces;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= end; ++i) {
        if (i == end || isSeparator(text.at(i))) {
            pieces.append(text.mid(start, i - start));
            start = i + 1;
        }
    }
    QList<NameFilter> filters;
    for (qsizetype i = 0; i + 1 < pieces.size(); i += 2) {
        NameFilter filter{pieces.at(i), {}};
        for (const QString& pattern : pieces.at(i + 1).split(u';')) {
            if (!pattern.trimmed().isEmpty()) filter.patterns.append(pattern.trimmed());
        }
        filters.append(filter);
    }
    return filters;
}

QString caseInsensitivePattern(const QString& pattern) {
    if (pattern == QStringLiteral("*.*")) return QStringLiteral("*");
    QString result;
    for (const uint c : pattern.toUcs4()) {
        const QChar ascii = c < 0x80 ? QChar(static_cast<char16_t>(c)) : QChar();
        if (ascii.isLetter()) {
            result += u'[';
            result += ascii.toLower();
            result += ascii.toUpper();
            result += u']';
        } else if (ascii == u'[') {
            result += QStringLiteral("[[]");
        } else if (ascii == u']') {
            result += QStringLiteral("[]]");
        } else if (!ascii.isNull() && kKeptAsIs.contains(ascii)) {
            result += ascii;
        } else {
            // Qt would throw away the whole name filter for this one character (a blank would
            // split the pattern): a wildcard for exactly one character comes closest.
            result += u'?';
        }
    }
    return result;
}

QString qtNameFilter(const NameFilter& filter) {
    QStringList patterns;
    for (const QString& pattern : filter.patterns) patterns.append(caseInsensitivePattern(pattern));
    return filter.label + QStringLiteral(" (") + patterns.join(u' ') + u')';
}

QString selectionText(const QStringList& absolutePaths) {
    if (absolutePaths.isEmpty()) return {};
    const QChar nul(u'\0');
    const QString folder = folderOf(absolutePaths.first());
    const bool oneFolder =
        std::all_of(absolutePaths.begin(), absolutePaths.end(),
                    [&](const QString& path) { return folderOf(path) == folder; });
    QString text;
    if (absolutePaths.size() == 1 || !oneFolder) {
        // Typed names can reach into other folders: then every file goes by its full path, which
        // the caller takes as it is.
        for (const QString& path : absolutePaths) text += QDir::toNativeSeparators(path) + nul;
    } else {
        text = QDir::toNativeSeparators(folder) + nul;
        for (const QString& path : absolutePaths)
            text += QDir::toNativeSeparators(nameOf(path)) + nul;
    }
    return text + nul;
}

QPoint centredTopLeft(const QRect& owner, const QSize& window) {
    return {roundHalfToEven(owner.left() + (owner.width() - window.width()) / 2.0),
            roundHalfToEven(owner.top() + (owner.height() - window.height()) / 2.0)};
}

}  // namespace comdlg
