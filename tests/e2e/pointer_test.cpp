#include "e2e/saver_test.h"

// The pointer is parked near the bottom-right corner; moving it at all ends the saver.
namespace e2e {
namespace {

const QPoint kParked(kScreen.width() - 2, kScreen.height() - 2);
// The watch looks once a second.
constexpr int kEndsAfterMoveMs = 2500;

struct Move {
    const char* name;
    int dx;
    int dy;
};

void PrintTo(const Move& move, std::ostream* out) {
    *out << move.name;
}

class PointerMoveTest : public SaverTest, public ::testing::WithParamInterface<Move> {};

TEST_P(PointerMoveTest, OnePixelEndsTheSaver) {
    ASSERT_TRUE(xdotool({"mousemove", "100", "100"}));
    QProcess* saver = startPlayingRed();
    ASSERT_TRUE(saver);
    ASSERT_TRUE(waitForPointer(kParked, 5000))
        << "pointer at " << pointer().value_or(QPoint(-1, -1));
    // At least one look at the resting pointer, which must not count as a move.
    ASSERT_TRUE(keepsRunningFor(*saver, 1200));

    const Move move = GetParam();
    ASSERT_TRUE(
        xdotool({"mousemove_relative", "--", QString::number(move.dx), QString::number(move.dy)}));
    EXPECT_EQ(pointer(), kParked + QPoint(move.dx, move.dy));
    EXPECT_TRUE(endsCleanlyWithin(*saver, kEndsAfterMoveMs));
}

INSTANTIATE_TEST_SUITE_P(Directions, PointerMoveTest,
                         ::testing::Values(Move{"Right", 1, 0}, Move{"Left", -1, 0},
                                           Move{"Down", 0, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
