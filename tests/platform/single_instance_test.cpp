#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/private_files.h"
#include "platform/single_instance.h"

TEST(SingleInstance, TheFirstHoldsTheLockForItsWholeLife) {
    auto first = std::make_unique<platform::SingleInstance>();
    EXPECT_FALSE(first->anotherInstanceRunning());
    {
        const platform::SingleInstance second;
        EXPECT_TRUE(second.anotherInstanceRunning());
    }
    first.reset();
    const platform::SingleInstance third;
    EXPECT_FALSE(third.anotherInstanceRunning());
}

// A killed saver leaves its lock file behind; the next start must not take it for a live one.
TEST(SingleInstance, ALockLeftByADeadProcessIsTakenOver) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const platform::SingleInstance held;
        ::_exit(held.anotherInstanceRunning() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const platform::SingleInstance next;
    EXPECT_FALSE(next.anotherInstanceRunning());
}

// What can be neither taken over nor removed is named.
TEST(ProcessLock, ALockThatCannotBeTakenSaysWhy) {
    const QString path = qEnvironmentVariable("XDG_RUNTIME_DIR") + "/probe.lock";
    ASSERT_TRUE(QDir().mkpath(path + "/inside"));
    const platform::ProcessLock blocked("probe.lock");
    EXPECT_EQ(blocked.state(), platform::ProcessLock::State::Unavailable);
    EXPECT_TRUE(blocked.problem().startsWith(path + " is not a regular file"));
    QDir(path).removeRecursively();
}

// With no usable runtime folder (none given, and the temporary folder's runtime-USER taken by
// someone else), lock files go to a private folder of the user's own, never the temporary folder.
TEST(RuntimeFolder, IsAlwaysAFolderNoOneElseCanWriteInto) {
    QTemporaryDir scratch;
    const QByteArray saved[] = {qgetenv("XDG_RUNTIME_DIR"), qgetenv("TMPDIR"),
                                qgetenv("XDG_CACHE_HOME")};
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", scratch.path().toLocal8Bit());
    qputenv("XDG_CACHE_HOME", scratch.filePath("cache").toLocal8Bit());
    const QString user = QString::fromLocal8Bit(::getpwuid(::geteuid())->pw_name);
    ASSERT_TRUE(QFile::link(scratch.path(), scratch.filePath("runtime-" + user)));
    EXPECT_EQ(platform::runtimeFolder(), scratch.filePath("cache/flickerdeck"));
    EXPECT_TRUE(platform::isPrivateFolder(platform::runtimeFolder()));
    qputenv("XDG_RUNTIME_DIR", saved[0]);
    qputenv("TMPDIR", saved[1]);
    qputenv("XDG_CACHE_HOME", saved[2]);
}
