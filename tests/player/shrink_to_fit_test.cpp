#include <gtest/gtest.h>

#include "player/mpv_options.h"
#include "player/shrink_to_fit.h"

using player::shrinkToFit;

TEST(ShrinkToFit, ScalesDownKeepingTheAspectAndNeverUp) {
    const struct {
        QSize picture, bounds, shown;
    } cases[] = {
        {{3840, 2160}, {1024, 768}, {1024, 576}},  // wide: the width decides
        {{1080, 1920}, {1024, 768}, {432, 768}},   // upright: the height decides
        {{2048, 1536}, {1024, 768}, {1024, 768}},  // same aspect: exactly the bounds
        {{1100, 500}, {1024, 768}, {1024, 465}},   // larger one way only
        {{320, 240}, {1024, 768}, {320, 240}},     // smaller: as it is
        {{1024, 768}, {1024, 768}, {1024, 768}},
        {{100000, 10}, {1024, 768}, {1024, 1}},  // never thinner than a pixel
        {{640, 480}, {0, 0}, {640, 480}},        // no area yet
    };
    for (const auto& c : cases)
        EXPECT_EQ(shrinkToFit(c.picture, c.bounds), c.shown)
            << c.picture.width() << "x" << c.picture.height();
}

TEST(FileOptions, TodaysOptionsUnlessAChoiceDiffers) {
    EXPECT_EQ(player::fileOptions(1), "");
    EXPECT_EQ(player::fileOptions(2), "video-zoom=1");
    const player::PlaybackChoices fitted{.fitWithin = QSize(1024, 768)};
    // the window is fitted, so the engine scales the picture to it, doubled or not
    EXPECT_EQ(player::fileOptions(2, fitted), "video-unscaled=no");
    EXPECT_EQ(player::fileOptions(1, {std::nullopt, 0, false}), "volume=0");
    EXPECT_EQ(player::fileOptions(2, {std::nullopt, 35, true}), "video-zoom=1,volume=35,mute=yes");
}
