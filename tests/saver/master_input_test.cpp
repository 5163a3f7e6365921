#include <QTest>
#include <csignal>

#include "master_fixture.h"

using testsupport::writeStoreFile;

namespace {
constexpr const char* kOneClip = "[Movies]\nCount=0\n[Movie]\n0=/c/a.avi (Origin)\n";
}

TEST_F(MasterTest, ParksThePointerOnePixelInFromTheCornerAndHidesIt) {
    writeStoreFile(kOneClip);
    start();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(QPoint(master->intMouseX, master->intMouseY),
              QPoint(screen.right() - 1, screen.bottom() - 1));
    EXPECT_TRUE(platform::isCursorHidden());
}

TEST_F(MasterTest, APointerMovedAndLeftThereEndsTheSaverAtTheNextTick) {
    for (const QPoint step : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
        writeStoreFile(kOneClip);
        ends = 0;
        start();
        QCursor::setPos(QCursor::pos() + step);
        EXPECT_EQ(ends, 0);
        master->tmrNext_Timer();
        EXPECT_EQ(ends, 1) << step.x() << "," << step.y();
        EXPECT_FALSE(platform::isCursorHidden());
    }
}

TEST_F(MasterTest, APointerMovedAwayAndBackBetweenTicksIsNotSeen) {
    writeStoreFile(kOneClip);
    start();
    const QPoint parked = QCursor::pos();
    QCursor::setPos(10, 10);
    QCursor::setPos(parked);
    master->tmrNext_Timer();
    EXPECT_EQ(ends, 0);
}

TEST_F(MasterTest, ACharacterKeyOnTheWindowTheBoxOrThePlayerEndsTheSaver) {
    struct Key {
        Qt::Key key;
        char text;
    };
    for (const Key key : {Key{Qt::Key_A, 'a'}, Key{Qt::Key_5, '5'}, Key{Qt::Key_Return, '\r'},
                          Key{Qt::Key_Escape, '\x1b'}, Key{Qt::Key_Space, ' '}}) {
        for (int target = 0; target < 3; ++target) {
            writeStoreFile(kOneClip);
            ends = 0;
            start();
            QWidget* widgets[] = {monitor().window(), monitor().picContainer, player};
            QTest::keyClick(widgets[target], key.key, Qt::NoModifier);
            EXPECT_EQ(ends, 1) << "key " << key.key << " on target " << target;
            EXPECT_TRUE(player->closed);
        }
    }
}

TEST_F(MasterTest, KeysWithoutACharacterAndClicksLeaveTheSaverRunning) {
    writeStoreFile(kOneClip);
    start();
    for (const Qt::Key key : {Qt::Key_Shift, Qt::Key_Control, Qt::Key_Alt, Qt::Key_Right,
                              Qt::Key_Up, Qt::Key_F5, Qt::Key_Delete}) {
        QTest::keyClick(monitor().window(), key, Qt::NoModifier);
        QTest::keyClick(player, key, Qt::NoModifier);
    }
    QTest::mouseClick(monitor().window(), Qt::LeftButton, {}, monitor().window()->rect().center());
    QTest::mouseClick(monitor().window(), Qt::RightButton, {}, monitor().window()->rect().center());
    master->tmrNext_Timer();
    EXPECT_EQ(ends, 0);
}

TEST_F(MasterTest, TheExitIsSafeToReachTwice) {
    writeStoreFile(kOneClip);
    start();
    master->Ende();
    master->Ende();
    monitor().axMovie_OpenComplete();
    EXPECT_EQ(ends, 1);
    EXPECT_FALSE(master->tmrNext.isActive());
}

TEST_F(MasterTest, AHostsRequestToEndTakesTheSameExit) {
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        writeStoreFile(kOneClip);
        ends = 0;
        start();
        ASSERT_EQ(::raise(signal), 0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return ends == 1; }, 5000)) << "signal " << signal;
        EXPECT_TRUE(player->closed);
        EXPECT_FALSE(platform::isCursorHidden());
    }
}

// A host's window: the host owns pointer and keyboard, so a moving preview keeps playing.
TEST_F(MasterTest, InAHostsWindowThePointerIsLeftAlone) {
    writeStoreFile(kOneClip);
    QCursor::setPos(100, 100);
    start("--window-id 0x400007", false, 0x400007);
    EXPECT_EQ(QCursor::pos(), QPoint(100, 100));
    EXPECT_FALSE(platform::isCursorHidden());
    QCursor::setPos(300, 200);
    master->tmrNext_Timer();
    EXPECT_EQ(ends, 0);
    EXPECT_EQ(player->opened.size(), 1);
    // xsecurelock's reset
    ASSERT_EQ(::raise(SIGUSR1), 0);
    QTest::qWait(100);
    EXPECT_EQ(ends, 0);
    ASSERT_EQ(::raise(SIGTERM), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ends == 1; }, 5000));
    EXPECT_EQ(QCursor::pos(), QPoint(300, 200));
    EXPECT_FALSE(player->closed) << "the engine was torn down inside the host's window";
}
