#include <QGuiApplication>
#include <QScreen>

#include "master_fixture.h"
#include "platform/single_editor.h"
#include "platform/twips.h"

using testsupport::writeStoreFile;

namespace {
constexpr const char* kThreeClips =
    "[Movies]\nCount=2\n[Movie]\n0=/c/a.avi (Origin)\n1=/c (old)/b.avi (Double)\n"
    "2=/c/c.avi (origin)\n";
}

TEST_F(MasterTest, PreviewEndsAtOnceWithoutPlayerOrPointer) {
    writeStoreFile(kThreeClips);
    QCursor::setPos(100, 100);
    start("/p 1234");
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(player, nullptr);
    EXPECT_FALSE(shown());
    EXPECT_EQ(QCursor::pos(), QPoint(100, 100));
}

TEST_F(MasterTest, ConfigurationShowsTheSettingsWithTheTimerStoppedThenEnds) {
    writeStoreFile(kThreeClips);
    start("/c");
    EXPECT_EQ(settingsShown, 1);
    EXPECT_EQ(ends, 1);
    EXPECT_FALSE(master->tmrNext.isActive());
    EXPECT_EQ(player, nullptr);
    EXPECT_FALSE(shown());
}

TEST_F(MasterTest, ASecondInstanceRunsOnlyWhileTheSettingsWindowIsOpen) {
    writeStoreFile(QString(kThreeClips) + "[Settings]\nActive=0\n");
    start("/c", true);
    EXPECT_EQ(settingsShown, 0);
    EXPECT_EQ(ends, 1);

    writeStoreFile(QString(kThreeClips) + "[Settings]\nActive=1\n");
    start("/S", true);
    EXPECT_EQ(ends, 2) << "a flag left by a window that is gone";

    const platform::SingleEditor window;
    start("/S", true);
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(player->opened, QStringList{"/c/a.avi"});
}

TEST_F(MasterTest, PlaysTheListInOrderOverAndOverWithEachEntrysSize) {
    writeStoreFile(kThreeClips);
    start();
    ASSERT_NE(player, nullptr);
    for (int movie = 0; movie < 6; ++movie) playToEndAndTick();
    EXPECT_EQ(player->opened, (QStringList{"/c/a.avi", "/c (old)/b.avi", "/c/c.avi", "/c/a.avi",
                                           "/c (old)/b.avi", "/c/c.avi", "/c/a.avi"}));
    // "origin" is not a mode word: that movie keeps the size of the one before
    EXPECT_EQ(player->modesAtOpen, (QList<int>{0, 1, 1, 0, 1, 1, 0}));
    EXPECT_EQ(ends, 0);
    EXPECT_TRUE(shown());
}

TEST_F(MasterTest, AMovieStillPlayingIsNeverReplaced) {
    writeStoreFile(kThreeClips);
    start();
    for (int tick = 0; tick < 5; ++tick) master->tmrNext_Timer();
    player->state = player::Paused;
    master->tmrNext_Timer();
    EXPECT_EQ(player->opened.size(), 1);
}

TEST_F(MasterTest, AFailedOpenMovesOnAtTheNextTick) {
    writeStoreFile(kThreeClips);
    start();
    player->state = player::NothingLoaded;
    master->tmrNext_Timer();
    EXPECT_EQ(player->opened.size(), 2);
}

TEST_F(MasterTest, WithoutCountOnlyTheFirstEntryPlays) {
    writeStoreFile("[Movie]\n0=/c/a.avi (Origin)\n1=/c/b.avi (Origin)\n");
    start();
    playToEndAndTick();
    playToEndAndTick();
    EXPECT_EQ(player->opened, (QStringList{"/c/a.avi", "/c/a.avi", "/c/a.avi"}));
}

TEST_F(MasterTest, AnEmptyListEndsAtTheFirstTickWithThePointerNeverHidden) {
    writeStoreFile("[Movies]\nCount=-1\n");
    start();
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(player->opened.isEmpty());
    EXPECT_TRUE(player->closed);
    EXPECT_FALSE(platform::isCursorHidden());
    EXPECT_FALSE(shown());
}

TEST_F(MasterTest, APositionWithoutAnEntryEndsTheSaver) {
    writeStoreFile("[Movies]\nCount=2\n[Movie]\n0=/c/a.avi (Origin)\n2=/c/c.avi (Origin)\n");
    start();
    EXPECT_TRUE(platform::isCursorHidden());
    playToEndAndTick();
    EXPECT_EQ(ends, 1);
    EXPECT_GE(player->stops, 1);
    EXPECT_FALSE(platform::isCursorHidden());
    master->tmrNext_Timer();  // a late tick after the end does nothing
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(player->opened.size(), 1);
}

TEST_F(MasterTest, AListShrunkOrEmptiedWhileRunningNeverPlaysLeftoverKeys) {
    writeStoreFile(kThreeClips);
    start();
    playToEndAndTick();  // opens 1, next is 2
    writeStoreFile(
        "[Movies]\nCount=1\n[Movie]\n0=/n/x.avi (Origin)\n1=/n/y.avi (Origin)\n"
        "2=/c/c.avi (Origin)\n");
    playToEndAndTick();
    EXPECT_EQ(player->opened.last(), "/n/x.avi");

    writeStoreFile("[Movies]\nCount=-1\n[Movie]\n0=/n/x.avi (Origin)\n");
    playToEndAndTick();
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(player->opened.size(), 3);
}

TEST_F(MasterTest, TheOpenMovieIsCentredAndItsBottomStripClipped) {
    writeStoreFile(kThreeClips);
    start();
    const QSize screen = monitor().window()->size();
    EXPECT_EQ(screen, QGuiApplication::primaryScreen()->geometry().size());
    EXPECT_FALSE(monitor().picContainer->isVisible());  // the first tick hid it for the first open

    player->completeOpen(320, 240);
    EXPECT_EQ(monitor().picContainer->geometry(),
              QRect((screen.width() - 320) / 2, (screen.height() - 238) / 2, 320, 238));
    EXPECT_TRUE(monitor().picContainer->isVisible());

    playToEndAndTick();                                // "(Double)"
    EXPECT_TRUE(monitor().picContainer->isVisible());  // the last picture, until the next one's
    player->completeOpen(160, 120);
    EXPECT_EQ(monitor().picContainer->geometry().size(), QSize(320, 238));
    EXPECT_TRUE(monitor().picContainer->isVisible());
}

TEST_F(MasterTest, AWaveSoundKeepsThePictureHidden) {
    writeStoreFile("[Movies]\nCount=0\n[Movie]\n0=/s/Tone.WAV (Origin)\n");
    start();
    player->completeOpen(0, 0);
    EXPECT_FALSE(monitor().picContainer->isVisible());
}
