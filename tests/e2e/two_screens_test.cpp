#include <QGuiApplication>
#include <QScreen>

#include "e2e/saver_test.h"
#include "e2e/x_client.h"
#include "e2e/xorg_screens.h"

// Two monitors: the movie plays on the primary one and every other one is blacked out; the
// pointer is watched on all of them.
namespace e2e {
namespace {

// The pointer watch looks once a second.
constexpr int kEndsAfterMoveMs = 2500;

struct Screens {
    Frame primary;
    Frame second;
};

std::ostream& operator<<(std::ostream& out, const Screens& screens) {
    return out << "primary " << screens.primary << "; second " << screens.second;
}

class TwoScreensTest : public SaverTest {
protected:
    void SetUp() override {
        if (!twoScreensUnavailable().isEmpty())
            GTEST_SKIP() << "no two-screen X server: " << twoScreensUnavailable().toStdString();
        QList<QRect> screens;
        for (const QScreen* screen : QGuiApplication::screens()) screens << screen->geometry();
        ASSERT_EQ(screens, QList<QRect>({kPrimaryScreen, kSecondScreen}));
        ASSERT_TRUE(x_.connected());
    }

    // Both monitors as the X server has them (Qt's grab sees one screen at a time).
    Screens grabScreens() {
        const QImage root = x_.grab(kPrimaryScreen.united(kSecondScreen));
        return {analyseArea(root, kPrimaryScreen), analyseArea(root, kSecondScreen)};
    }

    bool showBoth(const std::function<bool(const Frame&, const Frame&)>& wanted, int timeoutMs,
                  Screens* last) {
        return eventually(
            [&] {
                *last = grabScreens();
                return wanted(last->primary, last->second);
            },
            timeoutMs);
    }

    XClient x_;
};

TEST_F(TwoScreensTest, MoviePlaysOnThePrimaryOthersAreBlackAndThePointerWatchSeesThemAll) {
    writePlayList({clip(kRedClip) + " (Origin)"});
    ASSERT_FALSE(HasFailure());
    ASSERT_TRUE(xdotool({"mousemove", "1800", "300"}));
    Screens seen;
    const auto bare = [](const Frame& primary, const Frame& second) {
        return primary.bare && second.bare;
    };
    ASSERT_TRUE(showBoth(bare, 0, &seen)) << "before the saver: " << seen;

    QProcess& saver = startSaver();
    const QRect box = centredBox(kPrimaryScreen, kRedClip.size);
    EXPECT_TRUE(showBoth(
        [&](const Frame& primary, const Frame& second) {
            return primary.covered && primary.colour == Colour::Red &&
                   nearlyEqual(primary.picture, box) && second.covered && second.picture.isEmpty();
        },
        10000, &seen))
        << seen;
    // Parked on the primary screen, one pixel in from its corner.
    const QPoint parked = kPrimaryScreen.bottomRight() - QPoint(1, 1);
    ASSERT_TRUE(waitForPointer(parked, 5000)) << pointer().value_or(QPoint(-1, -1));
    ASSERT_TRUE(keepsRunningFor(saver, 1200));

    ASSERT_TRUE(xdotool({"mousemove", "1800", "400"}));
    EXPECT_EQ(pointer(), QPoint(1800, 400));
    EXPECT_TRUE(endsCleanlyWithin(saver, kEndsAfterMoveMs));
    EXPECT_TRUE(showBoth(bare, 5000, &seen)) << "after the saver: " << seen;
}

}  // namespace
}  // namespace e2e
