#include "saver/resume_state.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include "platform/private_files.h"
#include "saver/monitor_layout.h"
#include "settings/playlist.h"

namespace saver {

QString resumeStateFile() {
    QString folder = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(folder)) folder = QDir::homePath() + QStringLiteral("/.local/state");
    return folder + QStringLiteral("/flickerdeck/resume");
}

std::optional<KeptPlace> readKeptPlace(const QString& file) {
    const auto text = platform::readRegularFile(file, 64 * 1024);
    return text ? parseKeptPlace(*text) : std::nullopt;
}

// Written every second: flushing each write to the disk would keep it from ever sleeping, and a
// file a crash of the whole machine cut short reads as no place at all.
bool writeKeptPlace(const QString& file, const KeptPlace& place) {
    return platform::makePrivateFolder(QFileInfo(file).path()) &&
           platform::replaceFile(file, keptPlaceText(place), platform::Flush::No);
}

StartPlace monitorStart(const settings::Store& store, int number) {
    const int count = settings::movieCount(store);
    return whereToStart(readKeptPlace(monitorStateFile(resumeStateFile(), number)),
                        {
                            .nowMs = QDateTime::currentMSecsSinceEpoch(),
                            .resume = settings::readSaverOptions(store).resume,
                            .ownFirst = startEntry(number, count),
                            .count = count,
                            .entryAt =
                                [&store](int position) {
                                    return store.GetSetting(settings::kSectionMovie,
                                                            QString::number(position), {});
                                },
                        });
}

}  // namespace saver
