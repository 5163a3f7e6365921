#include <gtest/gtest.h>

#include "saver/kept_place.h"

using player::MoviePlace;
using saver::KeptPlace;
using saver::StartPlace;

namespace {

constexpr qint64 kNow = 1'700'000'000'000;
const saver::ShufflePass kPass{4000000000U, 2, 1, 0};
const KeptPlace kB{1, "/m/b.avi (Origin)", {8.0, 120.0}, kNow - 500, kPass};

KeptPlace changed(const std::function<void(KeptPlace&)>& change) {
    KeptPlace place = kB;
    change(place);
    return place;
}

}  // namespace

// Monitor 2 of a list of three: a new run begins at its own first entry, 2.
TEST(KeptPlace, WhereAMonitorStarts) {
    const StartPlace inB{1, {8.0, 120.0}, true, kPass}, fromB{1, {}, true, kPass}, newRun{2};
    const struct {
        const char* what;
        std::optional<KeptPlace> kept;
        bool resume;
        StartPlace start;
    } cases[] = {
        {"nothing kept", std::nullopt, true, newRun},
        {"just ended", kB, false, inB},
        {"killed: the last write", changed([](auto& p) { p.writtenMs = kNow - 9900; }), false, inB},
        {"later", changed([](auto& p) { p.writtenMs = kNow - 10100; }), false, newRun},
        {"later, Resume", changed([](auto& p) { p.writtenMs = kNow - 3600000; }), true, inB},
        {"written ahead", changed([](auto& p) { p.writtenMs = kNow + 5000; }), false, newRun},
        {"near its end",
         changed([](auto& p) { p.movie.seconds = 118.5; }),
         false,
         {2, {}, false, kPass}},
        {"near the end of the last",
         changed([](auto& p) {
             p = {2, "/m/c.avi (Origin)", {59, 60}, kNow - 500};
         }),
         true,
         {0}},
        {"past Count", changed([](auto& p) { p.position = 3; }), false, newRun},
        {"another entry there", changed([](auto& p) { p.entry = "/m/x.avi (Origin)"; }), false,
         fromB},
        {"beyond its length", changed([](auto& p) { p.movie.seconds = 130; }), false, fromB},
        {"length not known", changed([](auto& p) { p.movie.length = 0; }), false, fromB},
        {"an earlier version's, Resume", KeptPlace{.position = 1}, true, {1}},
        {"an earlier version's", KeptPlace{.position = 1}, false, newRun},
    };
    const QStringList list{"/m/a.avi (Origin)", "/m/b.avi (Origin)", "/m/c.avi (Origin)"};
    for (const auto& c : cases)
        EXPECT_EQ(saver::whereToStart(c.kept, {kNow, c.resume, 2, 2,
                                               [&](int position) { return list.value(position); }}),
                  c.start)
            << c.what;
}

TEST(KeptPlace, ReadsBackWhatItWroteAndNothingElse) {
    const KeptPlace place = changed([](auto& p) { p.entry = "/m/\"é\" (1).avi (Fit)"; });
    EXPECT_EQ(saver::parseKeptPlace(saver::keptPlaceText(place)), place);
    const KeptPlace plain = changed([](auto& p) { p.pass.reset(); });
    EXPECT_EQ(saver::parseKeptPlace(saver::keptPlaceText(plain)), plain);
    EXPECT_EQ(saver::parseKeptPlace("3\n"), KeptPlace{.position = 3});
    const QByteArray good = saver::keptPlaceText(place);
    const std::pair<const char*, const char*> broken[] = {
        {"\"place\":1", "\"place\":2"},
        {"\"position\":1", "\"position\":1.5"},
        {"\"position\":1", "\"position\":-1"},
        {"\"seconds\":8", "\"seconds\":-8"},
        {"\"seconds\":8", "\"seconds\":\"8\""},
        {"\"entry\":", "\"file\":"},
        {"\"seed\":4000000000", "\"seed\":-1"},
        {"\"written\":", "\"w\":"},
        {"{", "["},
    };
    for (const auto& [from, to] : broken)
        EXPECT_EQ(saver::parseKeptPlace(QByteArray(good).replace(from, to)), std::nullopt) << to;
    for (const char* text : {"", "-3", "40000", "{}", "junk"})
        EXPECT_EQ(saver::parseKeptPlace(text), std::nullopt) << text;
}

TEST(KeptPlace, WhereTheMovieIsNow) {
    const MoviePlace told{8.0, 20.0}, started{5.0, 20.0};
    const struct {
        int state;
        std::optional<MoviePlace> told;
        qint64 agoMs;
        MoviePlace now;
    } cases[] = {
        {player::Running, told, 400, {8.4, 20.0}},
        {player::Running, told, 5000, told},  // the process was stopped, and the movie with it
        {player::Running, MoviePlace{19.9, 20.0}, 800, {20.0, 20.0}},
        {player::Running, std::nullopt, 300, started},
        {player::Stopped, told, 300, {20.0, 20.0}},
        {player::NothingLoaded, told, 300, {}},
    };
    for (const auto& c : cases) {
        const MoviePlace now = saver::moviePlaceNow(c.state, c.told, c.agoMs, started);
        EXPECT_NEAR(now.seconds, c.now.seconds, 1e-9) << c.state << " " << c.agoMs;
        EXPECT_EQ(now.length, c.now.length) << c.state << " " << c.agoMs;
    }
}
