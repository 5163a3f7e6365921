#include <gtest/gtest.h>

#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include "saver/movie_order.h"
#include "saver/resume_state.h"
#include "support/store_file.h"

using saver::ShuffledOrder;

namespace {

// Plays `movies` movies of a list of `count + 1` entries where `holds` says which are there.
QList<int> play(
    ShuffledOrder& order, int movies, int count,
    const std::function<bool(int)>& holds = [](int) { return true; }) {
    QList<int> played;
    for (int i = 0; i < movies; ++i)
        if (const auto position = order.next(count, holds)) played << *position;
    return played;
}

bool isPermutation(QList<int> positions, int size) {
    std::sort(positions.begin(), positions.end());
    for (int i = 0; i < size; ++i)
        if (positions.value(i, -1) != i) return false;
    return positions.size() == size;
}

}  // namespace

TEST(ShuffledOrder, EachPassPlaysEveryEntryOnceThenANewOrder) {
    ShuffledOrder order;
    const QList<int> played = play(order, 40, 7);
    QSet<QList<int>> passes;
    for (int pass = 0; pass < 5; ++pass) {
        const QList<int> one = played.mid(pass * 8, 8);
        EXPECT_TRUE(isPermutation(one, 8)) << pass;
        passes << one;
        // a pass never opens with the movie that closed the one before
        if (pass > 0) {
            EXPECT_NE(one.front(), played.at(pass * 8 - 1));
        }
    }
    EXPECT_GT(passes.size(), 1);  // 5 equal orders of 8: about 1 in 10^18
}

TEST(ShuffledOrder, PositionsWithoutAnEntryArePassedOverAndAnEmptyListEnds) {
    QList<QList<int>> orders{{4, 3, 2, 1, 0}, {1, 0}, {0, 1}, {0, 1, 2, 3}};
    ShuffledOrder order([&orders](QList<int>& positions) { positions = orders.takeFirst(); });
    EXPECT_EQ(play(order, 2, 4), (QList<int>{4, 3}));
    // the list shrank to three entries and its second one was removed: 2 and 0 are left
    EXPECT_EQ(play(order, 2, 2, [](int p) { return p != 1; }), (QList<int>{2, 0}));
    // the next pass is made from the list as it is now
    EXPECT_EQ(play(order, 2, 1), (QList<int>{1, 0}));
    // an order opening with the movie just played is turned around at its ends
    EXPECT_EQ(play(order, 2, 1), (QList<int>{1, 0}));
    EXPECT_FALSE(order.next(-1, [](int) { return true; }));
    EXPECT_FALSE(order.next(3, [](int) { return false; }));
}

TEST(ResumeState, MissingOrBrokenStartsAtTheFirstEntry) {
    QTemporaryDir folder;
    const QString file = folder.path() + "/deep/resume";
    EXPECT_EQ(saver::readResumePosition(file), 0);
    ASSERT_TRUE(saver::writeResumePosition(file, 12));
    EXPECT_EQ(saver::readResumePosition(file), 12);
    for (const char* text : {"", "x", "-3", "40000", "1.5"}) {
        QFile broken(file);
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
        broken.write(text);
        broken.close();
        EXPECT_EQ(saver::readResumePosition(file), 0) << text;
    }
}

TEST(MovieOrder, ResumeStartsAfterTheMovieStartedLastAndWrapsPastTheEnd) {
    testsupport::writeStoreFile(
        "[Movies]\nCount=2\n[Movie]\n0=/a (Origin)\n1=/b (Origin)\n"
        "2=/c (Origin)\n");
    QTemporaryDir folder;
    const QString file = folder.path() + "/resume";
    settings::Store store;
    const settings::SaverOptions resume{.resume = true};
    const auto run = [&](int movies) {
        saver::MovieOrder order(file);
        QStringList entries;
        qint16 intMovie = 0;
        for (int i = 0; i < movies; ++i) {
            const settings::PlaybackSlot slot = order.next(store, resume, intMovie);
            entries << slot.entry.left(2);
            intMovie = slot.following;
        }
        return entries;
    };
    EXPECT_EQ(run(2), (QStringList{"/a", "/b"}));
    EXPECT_EQ(run(1), (QStringList{"/c"}));
    EXPECT_EQ(run(2), (QStringList{"/a", "/b"}));
    saver::MovieOrder off(file);
    EXPECT_EQ(off.next(store, {}, 0).entry.left(2), "/a");
    EXPECT_EQ(saver::readResumePosition(file), 2);  // not written while Resume is off
}
