#include <gtest/gtest.h>

#include "saver/placement.h"

using saver::placePictureBox;
using saver::TwipsRect;

TEST(PlacePictureBox, CentresThePictureLessTheBottomStrip) {
    // 1024 x 768 pixels at 96 DPI
    EXPECT_EQ(placePictureBox(4800, 3600, 1455, 15360, 11520), (TwipsRect{5280, 3975, 4800, 3570}));
    // the first placement at start-up, before any file is open
    EXPECT_EQ(placePictureBox(1815, 735, 1455, 15360, 11520),
              (TwipsRect{6772.5F, 5407.5F, 1815, 705}));
}

TEST(PlacePictureBox, APlayerThirtyTwipsHighOrLessKeepsTheBoxHeight) {
    EXPECT_EQ(placePictureBox(4800, 30, 1455, 15360, 11520),
              (TwipsRect{5280, 5032.5F, 4800, 1455}));
    EXPECT_EQ(placePictureBox(4800, 0, 900, 15360, 11520), (TwipsRect{5280, 5310, 4800, 900}));
    EXPECT_EQ(placePictureBox(4800, 31, 900, 15360, 11520).height, 1.0F);
}

TEST(PlacePictureBox, APictureLargerThanTheScreenIsCutEquallyOnAllSides) {
    const TwipsRect box = placePictureBox(19200, 14400, 0, 15360, 11520);
    EXPECT_EQ(box, (TwipsRect{-1920, -1425, 19200, 14370}));
}

TEST(ShowsPicture, WaveSoundsAnywhereInTheNameStayHidden) {
    for (const char* name : {"/s/a.wav", "/s/A.WAV", "/s/b.Wav", "/s/x.wav/clip.avi", "/s/a.wave"})
        EXPECT_FALSE(saver::showsPicture(name)) << name;
    for (const char* name : {"", "/s/a.avi", "/s/wav.avi", "/s/a.wa", "/s/a.mp4"})
        EXPECT_TRUE(saver::showsPicture(name)) << name;
}
