#include "filter_checks.h"

#include <QRegularExpression>

#include "comdlg/open_parts.h"
#include "fuzz_check.h"

namespace fuzzfilter {
namespace {

using comdlg::NameFilter;

bool isSeparator(QChar c) {
    return c == u'|' || c == QChar(u'\0');
}

QString swappedAsciiCase(const QString& text) {
    QString swapped = text;
    for (QChar& c : swapped) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
        else if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    }
    return swapped;
}

// What Qt's file dialog accepts between the parentheses of a name filter; anything else makes it
// take the whole filter text as one pattern.
const QRegularExpression kQtPatternText(
    QStringLiteral("^[a-zA-Z0-9_.,*? +;#\\-\\[\\]@\\{\\}/!<>\\$%&=^~:\\|]*$"));

// The written form again: "label|p1;p2|...". A pair without patterns keeps a lone ";" so a last
// label still counts as a pair.
QString joined(const QList<NameFilter>& filters) {
    QStringList pieces;
    for (const NameFilter& filter : filters) {
        pieces << filter.label;
        pieces << (filter.patterns.isEmpty() ? QStringLiteral(";") : filter.patterns.join(u';'));
    }
    return pieces.join(u'|');
}

void checkPattern(const QString& pattern) {
    const QString converted = comdlg::caseInsensitivePattern(pattern);
    FUZZ_CHECK(kQtPatternText.match(converted).hasMatch());
    FUZZ_CHECK(!converted.contains(u' ') && !converted.contains(u';') && !converted.contains(u'|'));
    // Any name written like the pattern, in whatever ASCII letter case, is matched. Several "*"
    // over a long name make the regular expression engine give up on backtracking, which reads
    // as no match.
    if (pattern.count(u'*') > 2 || pattern.size() > 512) return;
    const QRegularExpression wildcard = QRegularExpression::fromWildcard(converted);
    FUZZ_CHECK(wildcard.isValid());
    FUZZ_CHECK(wildcard.match(pattern).hasMatch());
    FUZZ_CHECK(wildcard.match(swappedAsciiCase(pattern)).hasMatch());
}

void checkQtNameFilter(const NameFilter& filter) {
    const QString qtFilter = comdlg::qtNameFilter(filter);
    FUZZ_CHECK(qtFilter.startsWith(filter.label + QStringLiteral(" (")));
    FUZZ_CHECK(qtFilter.endsWith(u')'));
    // Qt reads the patterns from the last parenthesised group: it must be the one added here.
    const qsizetype open = qtFilter.lastIndexOf(u'(');
    FUZZ_CHECK(open == filter.label.size() + 1);
    const QString inside = qtFilter.mid(open + 1).chopped(1);
    FUZZ_CHECK(kQtPatternText.match(inside).hasMatch());
    QStringList expected;
    for (const QString& pattern : filter.patterns)
        expected << comdlg::caseInsensitivePattern(pattern);
    FUZZ_CHECK_EQ(inside, expected.join(u' '));
}

}  // namespace

void checkFilterText(const QString& text) {
    if (text.size() <= 256) checkPattern(text);
    const QList<NameFilter> filters = comdlg::parseFilterText(text);
    qsizetype separators = 0;
    for (const QChar c : text) separators += isSeparator(c) ? 1 : 0;
    FUZZ_CHECK(filters.size() <= (separators + 1) / 2);
    for (const NameFilter& filter : filters) {
        FUZZ_CHECK(!filter.label.contains(u'|') && !filter.label.contains(QChar(u'\0')));
        for (const QString& pattern : filter.patterns) {
            FUZZ_CHECK(!pattern.isEmpty() && pattern == pattern.trimmed());
            FUZZ_CHECK(!pattern.contains(u';') && !pattern.contains(u'|') &&
                       !pattern.contains(QChar(u'\0')));
            checkPattern(pattern);
        }
        checkQtNameFilter(filter);
    }
    // The dialog hands the text back with NULs for "|"; read again it gives the same pairs.
    QString rewritten = text;
    FUZZ_CHECK(comdlg::parseFilterText(rewritten.replace(u'|', QChar(u'\0'))) == filters);
    FUZZ_CHECK(comdlg::parseFilterText(joined(filters)) == filters);
}

}  // namespace fuzzfilter
