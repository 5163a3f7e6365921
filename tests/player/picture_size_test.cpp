#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>
#include <cmath>

#include "player/picture_probe.h"
#include "player/picture_size.h"
#include "support/clips.h"

using player::announcedPictureSize;
using player::probePictureSize;

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

// Real files made with ffmpeg; sizes the header does not give (MPEG program streams name a
// stream but not its size) stay unknown rather than be decoded.
TEST(ProbePictureSize, ReadsTheHeaderAloneAndNothingItNames) {
    QTemporaryDir folder;
    const auto path = [&](const char* name) { return folder.filePath(name); };
    const auto make = [&](const char* name, QStringList arguments) {
        EXPECT_TRUE(testsupport::runFfmpeg(arguments << path(name))) << name;
        return path(name);
    };
    const QStringList red{"-f", "lavfi", "-i", "color=c=red:s=320x240:d=0.2:r=25"};
    make("upright.mp4", red);
    make("turned.mp4", {"-i", path("upright.mp4"), "-c", "copy", "-metadata:s:v:0", "rotate=90"});
    make("wide.avi", red + QStringList{"-vf", "setsar=2/1"});
    make("plain.mkv", red);
    make("program.mpg", red);
    make("tone.wav", {"-f", "lavfi", "-i", "sine=d=0.2"});
    const auto write = [&](const char* name, const QByteArray& content) {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    };
    write("text.avi", "not a movie at all\n");
    write("empty.avi", "");
    write("list.mp4", "#EXTM3U\n#EXT-X-TARGETDURATION:1\n#EXTINF:1,\n" +
                          path("plain.mkv").toUtf8() + "\n#EXT-X-ENDLIST\n");
    ASSERT_EQ(::mkfifo(qPrintable(path("pipe.avi")), 0600), 0);

    const std::pair<const char*, std::optional<QSize>> cases[] = {
        {"upright.mp4", QSize(320, 240)}, {"turned.mp4", QSize(240, 320)},
        {"wide.avi", QSize(640, 240)},    {"plain.mkv", QSize(320, 240)},
        {"program.mpg", std::nullopt},    {"tone.wav", std::nullopt},
        {"text.avi", std::nullopt},       {"empty.avi", std::nullopt},
        {"list.mp4", std::nullopt},       {"pipe.avi", std::nullopt},
        {"missing.avi", std::nullopt},
    };
    for (const auto& [name, size] : cases)
        EXPECT_EQ(probePictureSize(path(name), std::chrono::seconds(10)), size) << name;

    const std::atomic<bool> cancelled = true;
    EXPECT_EQ(probePictureSize(path("plain.mkv"), std::chrono::seconds(10), &cancelled),
              std::nullopt);
    EXPECT_EQ(probePictureSize(path("plain.mkv"), std::chrono::milliseconds(0)), std::nullopt);
}
