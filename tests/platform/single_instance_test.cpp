#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

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
