// Play-list entries: splitting "<path> (<mode word>)", the tail after the last "(", the word the
// size list shows and the entry after a word was picked. Input: the entry, optionally followed by
// a NUL and a mode word to pick.

#include <cstddef>
#include <cstdint>

#include "fuzz_check.h"
#include "settings/entry.h"
#include "settings/size_rules.h"

namespace {

using settings::kOrigin;

const QString kNone = QStringLiteral("<none>");

// The last "(" opens the mode word when a blank (not the entry's start) comes before it and the
// entry ends with ")".
bool hasModeWordForm(const QString& entry) {
    const qsizetype open = entry.lastIndexOf(u'(');
    return open > 0 && entry.at(open - 1) == u' ' && entry.endsWith(u')');
}

void checkSizeMode(const QString& word) {
    const std::optional<int> mode = settings::sizeModeForWord(word);
    const QStringList words{QStringLiteral("Origin"), QStringLiteral("Double"),
                            QStringLiteral("Fit")};
    FUZZ_CHECK(mode.has_value() == words.contains(word));
    if (mode) FUZZ_CHECK(*mode == words.indexOf(word));
}

void checkSplit(const QString& entry) {
    const qsizetype open = entry.lastIndexOf(u'(');
    const QString tail = settings::entryTail(entry);
    FUZZ_CHECK(entry.endsWith(tail));
    FUZZ_CHECK(!tail.contains(u'('));
    FUZZ_CHECK(open < 0 ? tail == entry : tail.size() == entry.size() - open - 1);

    const settings::SplitEntry split = settings::splitEntry(entry);
    FUZZ_CHECK(split.modeWord.has_value() == hasModeWordForm(entry));
    if (!split.modeWord) {
        FUZZ_CHECK_EQ(split.path, entry);
        return;
    }
    const QString& word = *split.modeWord;
    FUZZ_CHECK_EQ(split.path + QStringLiteral(" (") + word + u')', entry);
    FUZZ_CHECK_EQ(word + u')', tail);
    checkSizeMode(word);
    // The size list shows the same word the entry carries (nothing for "()").
    FUZZ_CHECK_EQ(settings::shownModeWord(entry).value_or(kNone), word.isEmpty() ? kNone : word);
    // Picking the word the entry already has changes nothing.
    if (word == word.trimmed()) FUZZ_CHECK_EQ(settings::withModeWord(entry, word), entry);
}

// Picking a size rewrites what follows the last "(" only where that ends with ")" (or is
// empty); any other entry is kept whole and gets the word appended.
bool replacesTail(const QString& entry) {
    const qsizetype open = entry.lastIndexOf(u'(');
    return open >= 0 && (open == entry.size() - 1 || entry.endsWith(u')'));
}

void checkPickedOrigin(const QString& entry) {
    const qsizetype open = entry.lastIndexOf(u'(');
    const QString picked = settings::withModeWord(entry, kOrigin);
    FUZZ_CHECK(picked.endsWith(QLatin1String("(Origin)")));
    FUZZ_CHECK(picked.startsWith(open < 0 ? entry : entry.left(open + 1)));
    FUZZ_CHECK_EQ(settings::shownModeWord(picked).value_or(kNone), kOrigin);
    FUZZ_CHECK_EQ(settings::withModeWord(picked, kOrigin), picked);

    // The player sees the word only where the entry has the form "<path> (<word>)".
    const bool replaced = replacesTail(entry);
    const bool readable = !replaced || (open > 0 && entry.at(open - 1) == u' ');
    const settings::SplitEntry split = settings::splitEntry(picked);
    FUZZ_CHECK(split.modeWord.has_value() == readable);
    if (readable) {
        FUZZ_CHECK_EQ(*split.modeWord, kOrigin);
        FUZZ_CHECK_EQ(split.path, replaced ? entry.left(open - 1) : entry);
    }
}

void checkPickedWord(const QString& entry, const QString& word) {
    const qsizetype open = entry.lastIndexOf(u'(');
    const QString picked = settings::withModeWord(entry, word);
    FUZZ_CHECK(picked.endsWith(u')'));
    FUZZ_CHECK(picked.startsWith(open < 0 ? entry : entry.left(open + 1)));
    // Words from the size list have no outer blanks and no "(": the list then shows the pick.
    if (word != word.trimmed() || word.contains(u'(')) return;
    FUZZ_CHECK_EQ(settings::shownModeWord(picked).value_or(kNone), word.isEmpty() ? kNone : word);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype nul = bytes.indexOf('\0');
    const QString entry = QString::fromUtf8(nul < 0 ? bytes : bytes.left(nul));
    const QString word = nul < 0 ? QStringLiteral("Double") : QString::fromUtf8(bytes.mid(nul + 1));

    checkSplit(entry);
    checkSizeMode(entry);
    checkPickedOrigin(entry);
    checkPickedWord(entry, word);
    return 0;
}
