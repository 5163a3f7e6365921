#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include "settings/entry_check.h"
#include "settings/movie_files.h"

using settings::entriesFromDrop;

TEST(MovieFiles, EveryMoviePatternMatchesInAnyLetterCase) {
    for (const char* name : {"a.avi", "B.MOV", "c.Mpg", "d.wav", "e.mp4", "f.MKV", "g.webm",
                             "h.3GP", "i.m2ts", "j.Ts", "clip (1).ogv"})
        EXPECT_TRUE(settings::isMovieFileName(name)) << name;
    for (const char* name : {"notes.txt", "a.mp4.part", "mp4", "a.avi.srt", "a.*", ""})
        EXPECT_FALSE(settings::isMovieFileName(name)) << name;
}

namespace {
QList<QUrl> urls(const QStringList& texts) {
    QList<QUrl> list;
    for (const QString& text : texts) list << QUrl(text);
    return list;
}
// A folder "/films" with some files in it; every other path is a file.
std::optional<QStringList> films(const QString& path) {
    if (path != "/films") return std::nullopt;
    return QStringList{"b.MP4", "notes.txt", "a.mkv", "C.avi", "c.avi", ".x.avi.part"};
}
}  // namespace

TEST(DropRules, FilesInTheOrderGivenFoldersAsTheirMoviesByName) {
    EXPECT_EQ(
        entriesFromDrop(urls({"file:///c/z.avi", "file:///films/", "file:///c/a%20b.mov"}), films),
        (QStringList{"/c/z.avi (Origin)", "/films/a.mkv (Origin)", "/films/b.MP4 (Origin)",
                     "/films/C.avi (Origin)", "/films/c.avi (Origin)", "/c/a b.mov (Origin)"}));
    // Anything but local files is refused as a whole.
    for (const QStringList& refused : {QStringList{}, QStringList{"http://host/a.avi"},
                                       QStringList{"file:///c/a.avi", "sftp://host/b.avi"}}) {
        EXPECT_FALSE(settings::acceptsDrop(urls(refused))) << refused.join(' ').toStdString();
        EXPECT_TRUE(entriesFromDrop(urls(refused), films).isEmpty());
    }
}

TEST(EntryCheck, TellsWhyAnEntryCannotPlay) {
    QTemporaryDir dir;
    const QString file = dir.path() + "/a (1).avi";
    ASSERT_TRUE(QFile(file).open(QIODevice::WriteOnly));
    ASSERT_EQ(mkfifo(qPrintable(dir.path() + "/fifo"), 0600), 0);
    const std::pair<QString, const char*> cases[] = {
        {file + " (Double)", ""},
        {file, ""},
        {dir.path() + "/gone.avi (Origin)", "does not exist"},
        {dir.path() + " (Origin)", "folder"},
        {dir.path() + "/fifo (Origin)", "not a regular file"},
        {"clips/a.avi (Origin)", "full path"},
    };
    for (const auto& [entry, reason] : cases) {
        const QString problem = settings::entryProblem(entry);
        EXPECT_EQ(problem.isEmpty(), *reason == 0)
            << qPrintable(entry) << ": " << qPrintable(problem);
        EXPECT_TRUE(problem.contains(reason)) << qPrintable(problem);
    }
    if (geteuid() != 0) {  // root reads every file
        QFile(file).setPermissions(QFileDevice::WriteOwner);
        EXPECT_TRUE(settings::entryProblem(file).contains("cannot be read"));
    }
    EXPECT_EQ(settings::entryToolTip("/a.avi (Origin)", "Gone."), "/a.avi (Origin)\nGone.");
}
