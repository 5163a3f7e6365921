// The open-file chooser's answer: parsing it into play-list entries, writing a selection in the
// chooser's form and reading it back, and the chooser's filter text. The whole input is used
// three ways: as the chooser's answer (NULs included), as a list of paths (one per line), and as
// the caller's filter text.

#include <QDir>
#include <cstddef>
#include <cstdint>

#include "comdlg/open_parts.h"
#include "filter_checks.h"
#include "fuzz_check.h"
#include "settings/chooser_selection.h"
#include "settings/entry.h"

namespace {

const QString kOriginSuffix = QStringLiteral(" (Origin)");
constexpr QChar kNul(u'\0');

// Folders are whatever the input says: pieces starting with an even character.
bool evenFirst(const QString& piece) {
    return !piece.isEmpty() && piece.front().unicode() % 2 == 0;
}

// The answer read piece by piece up to the first pair of NULs; a folder piece sets the prefix of
// the bare names after it, a piece with a "/" is a full path of its own.
QStringList expectedEntries(const QString& answer) {
    QStringList entries;
    if (answer.trimmed().isEmpty()) return entries;
    QString folder;
    QString piece;
    for (qsizetype i = 0; i < answer.size(); ++i) {
        if (answer.at(i) != kNul) {
            piece += answer.at(i);
            if (i + 1 < answer.size()) continue;
        }
        if (!piece.isEmpty()) {
            if (evenFirst(piece)) {
                folder = piece.endsWith(u'/') ? piece : piece + u'/';
            } else if (piece.contains(u'/')) {
                entries << piece + kOriginSuffix;
                folder.clear();
            } else {
                entries << folder + piece + kOriginSuffix;
            }
        }
        piece.clear();
        if (answer.at(i) == kNul && i + 1 < answer.size() && answer.at(i + 1) == kNul) break;
    }
    return entries;
}

void checkAnswer(const QString& answer) {
    const QStringList entries = settings::entriesFromSelection(answer, evenFirst);
    FUZZ_CHECK(entries.size() <= answer.split(kNul, Qt::SkipEmptyParts).size());
    FUZZ_CHECK_EQ(entries.join(u'\n'), expectedEntries(answer).join(u'\n'));
    FUZZ_CHECK(entries.size() == expectedEntries(answer).size());
    for (const QString& entry : entries) {
        FUZZ_CHECK(entry.endsWith(kOriginSuffix));
        FUZZ_CHECK(entry != kOriginSuffix);
        // Whatever the chooser returned, the new entry reads back as its path at original size.
        const settings::SplitEntry split = settings::splitEntry(entry);
        FUZZ_CHECK(split.modeWord.has_value());
        FUZZ_CHECK_EQ(split.path, entry.chopped(kOriginSuffix.size()));
        FUZZ_CHECK(settings::sizeModeForWord(split.modeWord.value_or(QString())) == 0);
    }
}

// One absolute, clean path per line; a line with a NUL names no file. No path may also be the
// folder of another one.
QStringList chosenFiles(const QString& text) {
    QStringList files;
    for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts)) {
        const QString path = QDir::cleanPath(u'/' + line);
        if (!line.contains(kNul) && path != QLatin1String("/") && files.size() < 64) files << path;
    }
    for (const QString& path : files) {
        for (const QString& other : files)
            if (other.startsWith(path + u'/')) return {};
    }
    return files;
}

// The dialog writes the chosen files in the chooser's form; the configuration window must get
// back one entry per file, each naming that file.
void checkRoundTrip(const QString& text) {
    const QStringList files = chosenFiles(text);
    const auto isDirectory = [&files](const QString& piece) {
        if (piece == QLatin1String("/")) return true;
        if (!piece.startsWith(u'/')) return false;
        for (const QString& file : files)
            if (file.startsWith(piece + u'/')) return true;
        return false;
    };
    QStringList expected;
    for (const QString& file : files) expected << file + kOriginSuffix;
    const QString answer = comdlg::selectionText(files);
    FUZZ_CHECK(files.isEmpty() == answer.isEmpty());
    FUZZ_CHECK(answer.isEmpty() || answer.endsWith(QStringView(u"\0\0", 2)));
    FUZZ_CHECK_EQ(settings::entriesFromSelection(answer, isDirectory).join(u'\n'),
                  expected.join(u'\n'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    checkAnswer(text);
    checkRoundTrip(text);
    fuzzfilter::checkFilterText(text);
    return 0;
}
