#include <gtest/gtest.h>

#include "saver/movie_order.h"

using saver::ShuffledOrder;

namespace {
QList<int> play(
    ShuffledOrder& order, int movies, int count,
    const std::function<bool(int)>& holds = [](int) { return true; }) {
    QList<int> played;
    for (int i = 0; i < movies; ++i)
        if (const auto position = order.next(count, holds)) played << *position;
    return played;
}
}  // namespace

TEST(ShuffledOrder, EachPassPlaysEveryEntryOnceInANewOrder) {
    ShuffledOrder order;
    QList<int> first = play(order, 8, 7), second = play(order, 8, 7);
    EXPECT_NE(first, second);  // equal by chance: 1 in 40320
    EXPECT_NE(second.front(), first.back());
    std::sort(first.begin(), first.end());
    std::sort(second.begin(), second.end());
    EXPECT_EQ(first, (QList<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(second, first);
}

TEST(ShuffledOrder, PositionsWithoutAnEntryArePassedOverAndAnEmptyListEnds) {
    QList<QList<int>> orders{{4, 3, 2, 1, 0}, {1, 0}, {0, 1}, {0, 1, 2, 3}};
    ShuffledOrder order(
        [&orders](QList<int>& positions, quint32) { positions = orders.takeFirst(); });
    EXPECT_EQ(play(order, 2, 4), (QList<int>{4, 3}));
    // shrunk to three entries with the second removed; the next pass takes the list as it is
    EXPECT_EQ(play(order, 2, 2, [](int p) { return p != 1; }), (QList<int>{2, 0}));
    EXPECT_EQ(play(order, 2, 1), (QList<int>{1, 0}));
    EXPECT_EQ(play(order, 2, 1), (QList<int>{1, 0}));  // {0, 1} would repeat the last
    EXPECT_FALSE(order.next(-1, [](int) { return true; }));
    EXPECT_FALSE(order.next(3, [](int) { return false; }));
}

// A later run goes on with the pass exactly: the rest of it plays, then a new pass.
TEST(ShuffledOrder, AKeptPassGoesOnWhereItWas) {
    ShuffledOrder first, later;
    play(first, 4, 9);
    later.goOnWith(first.pass().value());
    EXPECT_EQ(play(later, 6, 9), play(first, 6, 9));
    EXPECT_EQ(later.pass()->next, 10);
}

// Fit shrinks into the saver's area whatever the option says; the other sizes only with it.
TEST(PlaybackChoices, FitShrinksIntoTheAreaTheOtherSizesOnlyWithTheOption) {
    const QSize area(1024, 768);
    const player::PlaybackChoices plain = saver::playbackChoices({}, area);
    EXPECT_EQ(plain.fitFor(player::FitSize), area);
    EXPECT_EQ(plain.fitFor(player::NativeSize), std::nullopt);
    EXPECT_EQ(plain.fitFor(player::DoubleSize), std::nullopt);
    const player::PlaybackChoices shrinking = saver::playbackChoices({.shrinkToFit = true}, area);
    EXPECT_EQ(shrinking.fitFor(player::DoubleSize), area);
}
