#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "player/source_policy.h"

TEST(SourcePolicy, OnlyExistingRegularLocalFilesByAbsolutePath) {
    QTemporaryDir dir;
    const QString movie = dir.filePath("a movie (1) é 日本.avi");
    const QString dash = dir.filePath("-leading dash.avi");
    for (const QString& path : {movie, dash}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QFile::link(movie, dir.filePath("link.avi")));
    ASSERT_TRUE(QFile::link(dir.filePath("loop1"), dir.filePath("loop2")));
    ASSERT_TRUE(QFile::link(dir.filePath("loop2"), dir.filePath("loop1")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("fifo.avi")).constData(), 0600), 0);

    for (const QString& ok : {movie, dash, dir.filePath("link.avi")})
        EXPECT_TRUE(player::isPlayableLocalFile(ok)) << qPrintable(ok);

    const QString refused[] = {
        "",
        "a.avi",
        "./a.avi",
        "../a.avi",
        "av://lavfi:testsrc",
        "lavf://file:/etc/passwd",
        "edl://%5%/etc/passwd",
        "http://127.0.0.1:9/x.avi",
        "file:///etc/hostname",
        "memory://abc",
        "fd://0",
        "/dev/zero",
        "/dev/null",
        dir.path(),
        dir.filePath("missing.avi"),
        dir.filePath("fifo.avi"),
        dir.filePath("loop1"),
        movie + QChar(u'\0') + ".txt",
        "/" + QString(5000, u'x'),
    };
    for (const QString& path : refused)
        EXPECT_FALSE(player::isPlayableLocalFile(path)) << qPrintable(path.left(80));
}
