#include "settings/movie_files.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

#include "settings/entry.h"

namespace settings {
namespace {

const QString kAllFilesPattern = QStringLiteral("*.*");

bool byName(const QString& a, const QString& b) {
    const int folded = a.compare(b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a < b;
}

}  // namespace

const QString kMovieFilter = QStringLiteral(
    "All Videos (*.avi,*.mov,*.mpg)|*.avi;*.mov;*.mpg|Microsoft Video (*.avi)|*.avi|"
    "Quick Time (*.mov)|*.mov|Mpeg Movies (*.mpg)|*.mpg|Waves (*.wav)|*.wav|"
    "Other Movies (*.mp4,*.m4v,*.mkv,*.webm,*.wmv,*.flv,*.ogv,*.ts,*.m2ts,*.mts,*.3gp)|"
    "*.mp4;*.m4v;*.mkv;*.webm;*.wmv;*.flv;*.ogv;*.ts;*.m2ts;*.mts;*.3gp|All Files (*.*)|*.*");

QStringList moviePatterns() {
    const QStringList pieces = kMovieFilter.split(u'|');
    QStringList patterns;
    for (qsizetype i = 1; i < pieces.size(); i += 2)
        for (const QString& pattern : pieces.at(i).split(u';'))
            if (pattern != kAllFilesPattern && !patterns.contains(pattern)) patterns << pattern;
    return patterns;
}

bool isMovieFileName(const QString& name) {
    static const QList<QRegularExpression> expressions = [] {
        QList<QRegularExpression> list;
        for (const QString& pattern : moviePatterns())
            list << QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern),
                                       QRegularExpression::CaseInsensitiveOption);
        return list;
    }();
    return std::any_of(expressions.begin(), expressions.end(),
                       [&](const QRegularExpression& e) { return e.match(name).hasMatch(); });
}

bool acceptsDrop(const QList<QUrl>& urls) {
    return !urls.isEmpty() && std::all_of(urls.begin(), urls.end(), [](const QUrl& url) {
        return url.isLocalFile() && !url.toLocalFile().isEmpty();
    });
}

QStringList entriesFromDrop(const QList<QUrl>& urls, const FolderFiles& filesIn) {
    QStringList entries;
    if (!acceptsDrop(urls)) return entries;
    for (const QUrl& url : urls) {
        const QString path = QDir::cleanPath(url.toLocalFile());
        const auto files = filesIn(path);
        if (!files) {
            entries << entryForNewFile(path);
            continue;
        }
        QStringList movies;
        for (const QString& name : *files)
            if (isMovieFileName(name)) movies << name;
        std::sort(movies.begin(), movies.end(), byName);
        for (const QString& name : movies) entries << entryForNewFile(QDir(path).filePath(name));
    }
    return entries;
}

std::optional<QStringList> filesInFolder(const QString& path) {
    if (!QFileInfo(path).isDir()) return std::nullopt;
    return QDir(path).entryList(QDir::Files);
}

}  // namespace settings
