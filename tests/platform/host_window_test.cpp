#include <gtest/gtest.h>

#include "platform/host_window.h"

using platform::hostWindowFrom;

TEST(HostWindow, ReadsTheHostsWindowFromTheCommandLineOrTheEnvironment) {
    const QStringList program{"flickerdeck"};
    EXPECT_EQ(hostWindowFrom(program + QStringList{"--window-id", "0x1c00007"}, ""), 0x1c00007u);
    EXPECT_EQ(hostWindowFrom(program + QStringList{"-window-id", "0X1C00007"}, ""), 0x1c00007u);
    EXPECT_EQ(hostWindowFrom(program + QStringList{"--window-id", "29360135"}, ""), 29360135u);
    EXPECT_EQ(hostWindowFrom(program + QStringList{"-root", "--window-id=0x20"}, ""), 0x20u);
    EXPECT_EQ(hostWindowFrom(program, "0x3a00001"), 0x3a00001u);
    EXPECT_EQ(hostWindowFrom(program, " 1234 "), 1234u);
    EXPECT_EQ(hostWindowFrom(program + QStringList{"--window-id", "0x10"}, "0x99"), 0x10u);
}

TEST(HostWindow, UnreadableValuesMeanStandalone) {
    const QStringList program{"flickerdeck"};
    EXPECT_FALSE(hostWindowFrom(program, "").has_value());
    EXPECT_FALSE(hostWindowFrom(program + QStringList{"/S"}, "").has_value());
    EXPECT_FALSE(hostWindowFrom(program + QStringList{"--window-id"}, "").has_value());
    EXPECT_FALSE(hostWindowFrom(program + QStringList{"--window-id", "zz"}, "").has_value());
    EXPECT_FALSE(hostWindowFrom(program + QStringList{"--window-id", "0"}, "").has_value());
    EXPECT_FALSE(hostWindowFrom(program, "0xnothex").has_value());
    EXPECT_FALSE(hostWindowFrom({"--window-id"}, "").has_value());
}
