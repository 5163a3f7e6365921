#include "settings/entry_check.h"

#include <QDir>
#include <QFileInfo>
#include <QObject>

#include "settings/entry.h"

namespace settings {

QString entryProblem(const QString& entry) {
    const QString path = splitEntry(entry).path;
    if (!QDir::isAbsolutePath(path)) return QObject::tr("Not a full path: the saver skips it.");
    const QFileInfo file(path);
    if (!file.exists()) return QObject::tr("The file does not exist.");
    if (file.isDir()) return QObject::tr("This is a folder, not a movie file.");
    if (!file.isFile()) return QObject::tr("This is not a regular file.");
    if (!file.isReadable()) return QObject::tr("The file cannot be read.");
    return {};
}

bool mayNeedSizeNote(const QString& entry) {
    const auto mode = sizeModeForEntry(entry);
    return mode == 0 || mode == 1;
}

QString sizeNote(const QString& entry, std::optional<QSize> picture, std::optional<QSize> screen) {
    if (!picture || !screen || !mayNeedSizeNote(entry)) return {};
    const QSize shown = *picture * (sizeModeForEntry(entry) == 1 ? 2 : 1);
    if (shown.width() <= screen->width() && shown.height() <= screen->height()) return {};
    return QObject::tr(
        "Larger than the screen: its edges are cut off. Choose Fit to see all of it.");
}

QString entryToolTip(const QString& entry, const QString& problem) {
    return problem.isEmpty() ? entry : entry + u'\n' + problem;
}

}  // namespace settings
