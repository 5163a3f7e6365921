#include <gtest/gtest.h>

#include "player/mpv_options.h"
#include "player/shrink_to_fit.h"

TEST(ShrinkToFit, ScalesDownKeepingTheAspectAndNeverUp) {
    const QSize screen(1024, 768);
    const std::pair<QSize, QSize> cases[] = {
        {{3840, 2160}, {1024, 576}}, {{1080, 1920}, {432, 768}}, {{2048, 1536}, {1024, 768}},
        {{1100, 500}, {1024, 465}},  {{320, 240}, {320, 240}},   {{1024, 768}, {1024, 768}},
        {{100000, 10}, {1024, 1}},
    };
    for (const auto& [picture, shown] : cases)
        EXPECT_EQ(player::shrinkToFit(picture, screen), shown) << picture.width();
    EXPECT_EQ(player::shrinkToFit({640, 480}, {}), QSize(640, 480));  // no area yet
}

TEST(FileOptions, TodaysOptionsUnlessAChoiceDiffers) {
    using View = player::mpv::Options;
    EXPECT_EQ(player::fileOptions(), "");
    EXPECT_EQ(player::viewOptions(2), (View{{"video-unscaled", "yes"}, {"video-zoom", "1"}}));
    // the window is fitted, so the engine scales the picture to it, doubled or not
    EXPECT_EQ(player::viewOptions(2, {QSize(1024, 768), 100, false}),
              (View{{"video-unscaled", "no"}, {"video-zoom", "0"}}));
    EXPECT_EQ(player::fileOptions({std::nullopt, 35, true}), "volume=35,mute=yes");
}
