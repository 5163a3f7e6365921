#include <gtest/gtest.h>

#include "platform/twips.h"

using platform::pixelsToTwips;
using platform::twipsToPixels;

TEST(Twips, ConvertAtTheGivenDpi) {
    EXPECT_EQ(twipsToPixels(15360, 96), 1024);
    EXPECT_EQ(twipsToPixels(4950, 96), 330);
    EXPECT_EQ(twipsToPixels(1815, 96), 121);
    EXPECT_EQ(twipsToPixels(7, 96), 0);
    EXPECT_EQ(twipsToPixels(8, 96), 1);
    EXPECT_EQ(twipsToPixels(-1920, 96), -128);
    EXPECT_EQ(twipsToPixels(1440, 120), 120);
    EXPECT_EQ(twipsToPixels(1440, 144), 144);
    EXPECT_EQ(pixelsToTwips(320, 96), 4800.0F);
    EXPECT_EQ(pixelsToTwips(1, 96), 15.0F);
    EXPECT_EQ(pixelsToTwips(120, 120), 1440.0F);
}

TEST(Twips, TheScreenDpiIsUsable) {
    EXPECT_GT(platform::logicalDpi(), 0.0);
    EXPECT_EQ(twipsToPixels(1440), static_cast<int>(platform::logicalDpi() + 0.5));
}
