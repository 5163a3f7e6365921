#include <gtest/gtest.h>

#include <cmath>

#include "player/picture_size.h"

using player::announcedPictureSize;

TEST(AnnouncedPictureSize, FollowsTheEnginesRuleForPixelShapeAndTurns) {
    struct Case {
        int64_t width, height;
        double aspect;
        int64_t rotation;
        QSize shown;
    } cases[] = {
        {1280, 720, 1.0, 0, {1280, 720}},
        {1280, 720, 0.0, 0, {1280, 720}},        // the container does not say
        {720, 576, 16.0 / 15.0, 0, {768, 576}},  // wide pixels widen
        {720, 480, 8.0 / 9.0, 0, {720, 540}},    // tall pixels heighten
        {720, 576, 4.0 / 3.0, 0, {960, 576}},    // 4/3 read back as 1.333... stays exact
        {719, 576, 4.0 / 3.0, 0, {958, 576}},    // the engine truncates
        {320, 240, 2.0, 0, {640, 240}},
        {1920, 1080, 1.0, 90, {1080, 1920}},
        {1920, 1080, 1.0, 270, {1080, 1920}},
        {1920, 1080, 1.0, 180, {1920, 1080}},
        {320, 240, 2.0, 90, {240, 640}},  // widened first, then turned
        {640, 360, std::nan(""), 0, {640, 360}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(announcedPictureSize(c.width, c.height, c.aspect, c.rotation), c.shown)
            << c.width << "x" << c.height << " aspect " << c.aspect << " turned " << c.rotation;
}

TEST(AnnouncedPictureSize, NoSizeWhenTheContainerGivesNoneOrNonsense) {
    EXPECT_EQ(announcedPictureSize(0, 720, 1.0, 0), std::nullopt);
    EXPECT_EQ(announcedPictureSize(1280, 0, 1.0, 0), std::nullopt);
    EXPECT_EQ(announcedPictureSize(-4, 720, 1.0, 0), std::nullopt);
    EXPECT_EQ(announcedPictureSize(int64_t(1) << 40, 720, 1.0, 0), std::nullopt);
    EXPECT_EQ(announcedPictureSize(1 << 29, 720, 1e9, 0), std::nullopt);
    EXPECT_EQ(announcedPictureSize(640, 1 << 29, 1e-9, 0), std::nullopt);
}
