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

TEST(PreviewScale, TheSmallerOfTheTwoRatiosNeverAboveOne) {
    const struct {
        QSize window;
        QSize monitor;
        float scale;
    } cases[] = {
        {{512, 384}, {1024, 768}, 0.5F},
        {{566, 318}, {1280, 960}, 318.0F / 960.0F},  // a settings dialog's preview: height limits
        {{640, 100}, {1024, 768}, 100.0F / 768.0F},
        {{1024, 768}, {1024, 768}, 1.0F},
        {{2048, 1536}, {1024, 768}, 1.0F},
        {{0, 0}, {1024, 768}, 1.0F},  // a window whose size could not be read
    };
    for (const auto& c : cases)
        EXPECT_EQ(saver::previewScale(c.window, c.monitor), c.scale)
            << c.window.width() << "x" << c.window.height();
}

// 640 x 360 at its own size on a 1024 x 768 monitor, previewed in a 512 x 384 window: the player
// shows it at 320 x 180, and the box is the full-screen one at half size.
TEST(PlacePictureBox, APreviewIsTheFullScreenViewScaledDown) {
    const float scale = saver::previewScale({512, 384}, {1024, 768});
    const TwipsRect full = placePictureBox(9600, 5400, 1455, 15360, 11520);
    const TwipsRect preview = placePictureBox(4800, 2700, 1455, 7680, 5760, scale);
    EXPECT_EQ(preview, (TwipsRect{1440, 1537.5F, 4800, 2685}));
    EXPECT_EQ(preview, (TwipsRect{full.left * scale, full.top * scale, full.width * scale,
                                  full.height * scale}));
    // the strip shrinks with the picture: 15 twips high is still more than it
    EXPECT_EQ(placePictureBox(4800, 16, 900, 7680, 5760, scale).height, 1.0F);
}

TEST(ShowsPicture, WaveSoundsAnywhereInTheNameStayHidden) {
    for (const char* name : {"/s/a.wav", "/s/A.WAV", "/s/b.Wav", "/s/x.wav/clip.avi", "/s/a.wave"})
        EXPECT_FALSE(saver::showsPicture(name)) << name;
    for (const char* name : {"", "/s/a.avi", "/s/wav.avi", "/s/a.wa", "/s/a.mp4"})
        EXPECT_TRUE(saver::showsPicture(name)) << name;
}

TEST(PlayerWindow, IsThePartOfThePictureThatCanBeSeenCutEquallyOnOppositeSides) {
    const QSize screen(1920, 1080);
    struct Case {
        QSize picture;
        QRect box;
        QRect window;
    } cases[] = {
        // fits: the whole picture, its bottom strip clipped by the box only
        {{640, 360}, {640, 361, 640, 358}, {0, 0, 640, 360}},
        {{1920, 1080}, {0, 1, 1920, 1078}, {0, 0, 1920, 1080}},
        // 4K on 1080p: the centre, one row lower at the top, as the box cuts two at the bottom
        {{3840, 2160}, {-960, -539, 3840, 2158}, {960, 539, 1920, 1082}},
        // larger one way only
        {{2560, 720}, {-320, 181, 2560, 718}, {320, 0, 1920, 720}},
        // nothing of it can be seen: left whole
        {{640, 360}, {5000, 0, 640, 358}, {0, 0, 640, 360}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(saver::playerWindow(c.picture, c.box, screen), c.window) << c.picture.width();
}
