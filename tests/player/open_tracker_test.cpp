#include <gtest/gtest.h>

#include "player/movie_player.h"
#include "player/open_tracker.h"

using namespace player;
using Query = OpenTracker::Query;

namespace {

// Drives one open through the replies the engine gives for a file with a picture.
struct OpenedFile {
    OpenTracker tracker;
    uint64_t open(int scale, int64_t entryId) {
        const uint64_t tag = tracker.begin(scale);
        tracker.handle(mpv::CommandReply{tag, 0, entryId});
        tracker.handle(mpv::StartFile{entryId});
        return tag;
    }
    OpenTracker::Actions track(int64_t w, int64_t h, double aspect = 1.0, int64_t rotation = 0) {
        const uint64_t tag = tracker.tag(Query::VideoTrack);
        return tracker.handle(mpv::VideoTrackReply{tag, 0, w, h, aspect, rotation});
    }
    OpenTracker::Actions noTrack() {
        return tracker.handle(mpv::VideoTrackReply{tracker.tag(Query::VideoTrack), -8, 0, 0, 0, 0});
    }
    OpenTracker::Actions size(int64_t w, int64_t h) {
        tracker.handle(mpv::PropertyReply{tracker.tag(Query::DisplayWidth), 0, w});
        return tracker.handle(mpv::PropertyReply{tracker.tag(Query::DisplayHeight), 0, h});
    }
};

}  // namespace

TEST(OpenTracker, FollowsAFileWithAPictureFromOpenToItsEnd) {
    OpenedFile f;
    EXPECT_EQ(f.tracker.playState(), NothingLoaded);
    f.open(2, 7);
    EXPECT_EQ(f.tracker.playState(), Running);
    EXPECT_TRUE(f.tracker.handle(mpv::FileLoaded{}).queryVideoTrack);
    EXPECT_FALSE(f.track(0, 0).openComplete);  // the container gives no size
    EXPECT_TRUE(f.tracker.handle(mpv::VideoReconfig{}).queryDisplaySize);
    const OpenTracker::Actions done = f.size(320, 180);
    EXPECT_TRUE(done.openComplete);
    EXPECT_EQ(done.picture, QSize(640, 360));
    EXPECT_FALSE(f.tracker.handle(mpv::VideoReconfig{}).queryDisplaySize);
    EXPECT_EQ(f.tracker.playState(), Running);
    f.tracker.handle(mpv::EndFile{7, mpv::EndReason::Eof, 0});
    EXPECT_EQ(f.tracker.playState(), Stopped);
}

TEST(OpenTracker, AFileWithoutPictureIsOpenWithoutASize) {
    OpenedFile f;
    f.open(1, 3);
    f.tracker.handle(mpv::FileLoaded{});
    const auto done = f.noTrack();
    EXPECT_TRUE(done.openComplete);
    EXPECT_FALSE(done.picture.has_value());
}

// The box goes up at the size the container gives, before the first frame; the engine's own
// size only moves it when the two disagree.
TEST(OpenTracker, TheContainersSizeOpensTheFileAndTheEnginesCorrectsIt) {
    OpenedFile agreeing;
    agreeing.open(2, 1);
    agreeing.tracker.handle(mpv::FileLoaded{});
    const auto announced = agreeing.track(320, 180);
    EXPECT_TRUE(announced.openComplete);
    EXPECT_EQ(announced.picture, QSize(640, 360));
    EXPECT_TRUE(agreeing.tracker.handle(mpv::VideoReconfig{}).queryDisplaySize);
    EXPECT_FALSE(agreeing.size(320, 180).openComplete);

    OpenedFile correcting;
    correcting.open(1, 1);
    correcting.tracker.handle(mpv::FileLoaded{});
    EXPECT_EQ(correcting.track(320, 240, 1.0, 90).picture, QSize(240, 320));
    correcting.tracker.handle(mpv::VideoReconfig{});
    const auto corrected = correcting.size(640, 240);
    EXPECT_TRUE(corrected.openComplete);
    EXPECT_EQ(corrected.picture, QSize(640, 240));
    EXPECT_FALSE(correcting.tracker.handle(mpv::VideoReconfig{}).queryDisplaySize);
    EXPECT_FALSE(correcting.track(100, 100).openComplete);  // late: the engine's size stands
}

TEST(OpenTracker, FailuresLeaveNothingLoaded) {
    OpenTracker refused;
    refused.begin(1);
    refused.refuse();
    EXPECT_EQ(refused.playState(), NothingLoaded);

    OpenTracker rejected;
    const uint64_t tag = rejected.begin(1);
    rejected.handle(mpv::CommandReply{tag, -4, -1});
    EXPECT_EQ(rejected.playState(), NothingLoaded);

    OpenedFile unreadable;
    unreadable.open(1, 5);
    unreadable.tracker.handle(mpv::EndFile{5, mpv::EndReason::Error, -13});
    EXPECT_EQ(unreadable.tracker.playState(), NothingLoaded);

    OpenedFile engineGone;
    engineGone.open(1, 5);
    engineGone.tracker.handle(mpv::Shutdown{});
    EXPECT_EQ(engineGone.tracker.playState(), NothingLoaded);
}

// The previous file's end and late replies arrive after the next open has begun.
TEST(OpenTracker, EventsOfAnEarlierOpenAreIgnored) {
    OpenedFile f;
    f.open(1, 1);
    f.tracker.handle(mpv::FileLoaded{});
    f.tracker.handle(mpv::VideoReconfig{});
    const uint64_t oldWidth = f.tracker.tag(Query::DisplayWidth);
    const uint64_t oldHeight = f.tracker.tag(Query::DisplayHeight);
    const uint64_t oldTrack = f.tracker.tag(Query::VideoTrack);

    const uint64_t tag = f.tracker.begin(1);
    f.tracker.handle(mpv::EndFile{1, mpv::EndReason::Stop, 0});
    EXPECT_EQ(f.tracker.playState(), Running);
    EXPECT_FALSE(f.tracker.handle(mpv::PropertyReply{oldWidth, 0, 100}).openComplete);
    EXPECT_FALSE(f.tracker.handle(mpv::PropertyReply{oldHeight, 0, 100}).openComplete);
    EXPECT_FALSE(f.tracker.handle(mpv::VideoTrackReply{oldTrack, 0, 100, 100, 1, 0}).openComplete);
    EXPECT_FALSE(f.tracker.handle(mpv::VideoReconfig{}).queryDisplaySize);  // not started yet

    f.tracker.handle(mpv::CommandReply{tag, 0, 2});
    f.tracker.handle(mpv::StartFile{2});
    f.tracker.handle(mpv::VideoReconfig{});
    EXPECT_EQ(f.size(200, 100).picture, QSize(200, 100));
}

// Two quick opens can share one start: only the entry of the latest open counts.
TEST(OpenTracker, AStartOfAnotherEntryDoesNotCountAsOurs) {
    OpenTracker tracker;
    const uint64_t tag = tracker.begin(1);
    tracker.handle(mpv::CommandReply{tag, 0, 9});
    tracker.handle(mpv::StartFile{8});
    EXPECT_FALSE(tracker.handle(mpv::FileLoaded{}).queryVideoTrack);
    tracker.handle(mpv::EndFile{8, mpv::EndReason::Error, -1});
    EXPECT_EQ(tracker.playState(), Running);
}

TEST(OpenTracker, StopEndsTheCurrentFile) {
    OpenedFile f;
    f.open(1, 1);
    f.tracker.stop();
    EXPECT_EQ(f.tracker.playState(), Stopped);
    OpenTracker idle;
    idle.stop();
    EXPECT_EQ(idle.playState(), NothingLoaded);
}

TEST(OpenTracker, RepliesAboutAFileThatAlreadyEndedStillOpenIt) {
    OpenedFile f;
    f.open(1, 4);
    f.tracker.handle(mpv::FileLoaded{});
    f.tracker.handle(mpv::EndFile{4, mpv::EndReason::Eof, 0});
    EXPECT_TRUE(f.noTrack().openComplete);
    EXPECT_EQ(f.tracker.playState(), Stopped);
}

// Under load the engine's news about our entry can overtake the reply that names it.
TEST(OpenTracker, NewsThatArrivesBeforeTheReplyStillCounts) {
    OpenTracker tracker;
    const uint64_t tag = tracker.begin(1);
    tracker.handle(mpv::StartFile{6});
    tracker.handle(mpv::FileLoaded{});
    tracker.handle(mpv::VideoReconfig{});
    const auto caughtUp = tracker.handle(mpv::CommandReply{tag, 0, 6});
    EXPECT_TRUE(caughtUp.queryVideoTrack);
    EXPECT_TRUE(caughtUp.queryDisplaySize);

    OpenTracker failed;
    const uint64_t failedTag = failed.begin(1);
    failed.handle(mpv::StartFile{3});
    failed.handle(mpv::EndFile{3, mpv::EndReason::Error, -13});
    failed.handle(mpv::CommandReply{failedTag, 0, 3});
    EXPECT_EQ(failed.playState(), NothingLoaded);
}

// Asked just after an open, the engine may still answer about the file before: only answers
// given once it has loaded ours count.
TEST(OpenTracker, KnowsWhereTheMovieIsOnlyFromAnswersAboutItsOwnFile) {
    OpenedFile f;
    f.open(1, 1);
    const auto told = [&](mpv::TimeReply::Kind kind, int error, double seconds) {
        f.tracker.handle(mpv::TimeReply{f.tracker.placeTag(), kind, error, seconds});
    };
    told(mpv::TimeReply::Position, 0, 30.0);
    EXPECT_EQ(f.tracker.place(), std::nullopt);
    f.tracker.handle(mpv::FileLoaded{});
    told(mpv::TimeReply::Position, 0, 8.5);
    told(mpv::TimeReply::Length, 0, 20.0);
    told(mpv::TimeReply::Position, -10, 0.0);  // unavailable: the last answer stands
    EXPECT_EQ(f.tracker.place(), (MoviePlace{8.5, 20.0}));
}

// After a picture the next file is open only at its own first picture, so the box changes with
// the picture; before any picture, as soon as its size is known.
TEST(OpenTracker, AfterAPictureTheNextFileIsOpenAtItsFirstPicture) {
    for (const bool picture : {true, false}) {
        OpenedFile f;
        f.open(1, 1);
        picture ? f.track(320, 240) : f.noTrack();
        f.tracker.handle(mpv::EofReached{});
        EXPECT_EQ(f.tracker.playState(), Stopped);
        f.open(1, 2);
        EXPECT_EQ(f.track(160, 120).openComplete, !picture);
        EXPECT_EQ(f.tracker.handle(mpv::PlaybackRestart{}).openComplete, picture);
    }
}
