#include "settings/size_rules.h"

#include "settings/entry.h"

namespace settings {

std::optional<QString> shownModeWord(const QString& entry) {
    const QString tail = entryTail(entry);
    if (tail.size() <= 1) return std::nullopt;
    return tail.chopped(1);
}

QString withModeWord(const QString& entry, const QString& modeWord) {
    const QString tail = entryTail(entry);
    const bool endsInWord = entry.contains(u'(') && (tail.isEmpty() || tail.endsWith(u')'));
    if (!endsInWord) return entry + QStringLiteral(" (") + modeWord.trimmed() + u')';
    return entry.chopped(tail.size()) + modeWord.trimmed() + u')';
}

}  // namespace settings
