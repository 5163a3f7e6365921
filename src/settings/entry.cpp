#include "settings/entry.h"

namespace settings {

QString entryTail(const QString& entry) {
    const qsizetype open = entry.lastIndexOf(QLatin1Char('('));
    return open < 0 ? entry : entry.mid(open + 1);
}

SplitEntry splitEntry(const QString& entry) {
    const qsizetype open = entry.lastIndexOf(QLatin1Char('('));
    const bool hasModeWord =
        open > 0 && entry.endsWith(QLatin1Char(')')) && entry.at(open - 1) == QLatin1Char(' ');
    if (!hasModeWord) return {entry, std::nullopt};
    return {entry.left(open - 1), entry.mid(open + 1).chopped(1)};
}

std::optional<int> sizeModeForWord(const QString& modeWord) {
    if (modeWord == kOrigin) return 0;
    if (modeWord == kDouble) return 1;
    if (modeWord == kFit) return 2;
    return std::nullopt;
}

QString entryForNewFile(const QString& path) {
    return path + QStringLiteral(" (") + kOrigin + u')';
}

std::optional<int> sizeModeForEntry(const QString& entry) {
    const auto modeWord = splitEntry(entry).modeWord;
    return modeWord ? sizeModeForWord(*modeWord) : std::optional(0);
}

}  // namespace settings
