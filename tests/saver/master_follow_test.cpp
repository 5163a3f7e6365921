#include <QCoreApplication>

#include "master_fixture.h"

using testsupport::writeStoreFile;

// The player's word that a movie or an open has ended moves the list on without a tick.
namespace {

constexpr const char* kFollowList =
    "[Movies]\nCount=2\n[Movie]\n0=/c/a.avi (Origin)\n1=/c/b.avi (Double)\n2=/c/c.avi (Origin)\n";

// Delivers what the player queued, and what that queued in turn, without any tick.
void deliverQueued() {
    for (int round = 0; round < 50; ++round) QCoreApplication::processEvents();
}

TEST_F(MasterTest, TheNextMovieOpensAsSoonAsThePlayerSaysTheLastOneEnded) {
    writeStoreFile(kFollowList);
    start();
    player->completeOpen(320, 240);
    emit player->PlayStateChange();  // the word alone, while the movie plays, changes nothing
    deliverQueued();
    EXPECT_EQ(player->opened, QStringList{"/c/a.avi"});

    player->finish();
    deliverQueued();
    EXPECT_EQ(player->opened, (QStringList{"/c/a.avi", "/c/b.avi"}));
    EXPECT_EQ(player->modesAtOpen.last(), player::DoubleSize);
    EXPECT_TRUE(monitor().picContainer->isVisible());  // the last picture, until b's first
    player->fail();
    deliverQueued();
    EXPECT_FALSE(monitor().picContainer->isVisible());  // black over what cannot be played
}

TEST_F(MasterTest, AOneEntryListReplaysAsSoonAsItsMovieEnds) {
    writeStoreFile("[Movies]\nCount=0\n[Movie]\n0=/c/a.avi (Origin)\n");
    start();
    for (int play = 0; play < 3; ++play) {
        player->completeOpen(320, 240);
        player->finish();
        deliverQueued();
    }
    EXPECT_EQ(player->opened, (QStringList{"/c/a.avi", "/c/a.avi", "/c/a.avi", "/c/a.avi"}));
}

TEST_F(MasterTest, AnEntryThatCannotBePlayedIsPassedOverAtOnce) {
    writeStoreFile(kFollowList);
    start();
    player->fail();
    deliverQueued();
    EXPECT_EQ(player->opened, (QStringList{"/c/a.avi", "/c/b.avi"}));
    player->completeOpen(320, 240);
    EXPECT_TRUE(monitor().picContainer->isVisible());
}

TEST_F(MasterTest, AListWhereNothingPlaysIsGoneRoundOncePerTick) {
    writeStoreFile(kFollowList);
    start();
    player->refuseEveryOpen = true;
    player->fail();
    deliverQueued();
    EXPECT_EQ(player->opened, (QStringList{"/c/a.avi", "/c/b.avi", "/c/c.avi"}));

    master->tmrNext_Timer();
    deliverQueued();
    EXPECT_EQ(player->opened.size(), 6);
    EXPECT_EQ(player->opened.mid(3), player->opened.mid(0, 3));

    // One entry that plays again resets the count: the others are passed over at once.
    player->refuseEveryOpen = false;
    master->tmrNext_Timer();
    player->completeOpen(320, 240);
    player->refuseEveryOpen = true;
    player->finish();
    deliverQueued();
    EXPECT_EQ(player->opened.size(), 10);
    EXPECT_EQ(ends, 0);
}

TEST_F(MasterTest, AOneEntryListThatCannotBePlayedIsTriedOncePerTick) {
    writeStoreFile("[Movies]\nCount=0\n[Movie]\n0=/c/a.avi (Origin)\n");
    start();
    player->refuseEveryOpen = true;
    player->fail();
    deliverQueued();
    master->tmrNext_Timer();
    deliverQueued();
    EXPECT_EQ(player->opened.size(), 2);
}

TEST_F(MasterTest, AnEndReportedAfterTheSaverEndedOpensNothing) {
    writeStoreFile(kFollowList);
    start();
    player->finish();
    master->Ende();
    deliverQueued();
    EXPECT_EQ(player->opened.size(), 1);
    EXPECT_EQ(ends, 1);
}

}  // namespace
