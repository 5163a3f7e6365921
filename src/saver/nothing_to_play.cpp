#include "saver/nothing_to_play.h"

#include <cstdio>

#include "settings/entry_check.h"
#include "settings/playlist.h"

namespace saver {

std::optional<QString> nothingToPlayMessage(int count, const std::function<QString(int)>& entryAt,
                                            const std::function<bool(const QString&)>& playable) {
    int entries = 0;
    for (int position = 0; position <= count; ++position) {
        const QString entry = entryAt(position);
        if (entry.isEmpty()) continue;
        if (playable(entry)) return std::nullopt;
        ++entries;
    }
    if (entries == 0)
        return QStringLiteral(
            "flickerdeck: the play list is empty; add movies with \"flickerdeck /C\".");
    return QStringLiteral(
               "flickerdeck: none of the %1 entries of the play list names a movie "
               "file that can be read; fix the list with \"flickerdeck /C\".")
        .arg(entries);
}

void warnWhenNothingCanPlay(const settings::Store& store) {
    const auto message = nothingToPlayMessage(
        settings::movieCount(store),
        [&store](int position) {
            return store.GetSetting(settings::kSectionMovie, QString::number(position), {});
        },
        [](const QString& entry) { return settings::entryProblem(entry).isEmpty(); });
    if (message) std::fputs(qPrintable(*message + u'\n'), stderr);
}

}  // namespace saver
