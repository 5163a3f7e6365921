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
    const std::tuple<const char*, std::optional<KeptPlace>, bool, StartPlace> cases[] = {
        {"nothing kept", std::nullopt, true, newRun},
        {"just ended", kB, false, inB},
        {"killed: the last write", changed([](auto& p) { p.writtenMs = kNow - 9900; }), false, inB},
        {"later", changed([](auto& p) { p.writtenMs = kNow - 10100; }), false, newRun},
        {"later, Resume", changed([](auto& p) { p.writtenMs = 1; }), true, inB},
        {"written ahead", changed([](auto& p) { p.writtenMs = kNow + 5000; }), false, newRun},
        {"near its end", changed([](auto& p) { p.movie.seconds = 118.5; }), false,
         StartPlace{2, {}, false, kPass}},
        {"near the last one's end", KeptPlace{2, "/m/c.avi (Origin)", {59, 60}, 1}, true, {0}},
        {"past Count", changed([](auto& p) { p.position = 3; }), false, newRun},
        {"another entry there", changed([](auto& p) { p.entry = "/m/x.avi (Origin)"; }), false,
         fromB},
        {"beyond its length", changed([](auto& p) { p.movie.seconds = 130; }), false, fromB},
        {"an earlier version's, Resume", KeptPlace{.position = 1}, true, {1}},
        {"an earlier version's", KeptPlace{.position = 1}, false, newRun},
    };
    const QStringList list{"/m/a.avi (Origin)", "/m/b.avi (Origin)", "/m/c.avi (Origin)"};
    for (const auto& [what, kept, resume, start] : cases)
        EXPECT_EQ(
            saver::whereToStart(kept, {kNow, resume, 2, 2, [&](int p) { return list.value(p); }}),
            start)
            << what;
}

TEST(KeptPlace, ReadsBackWhatItWroteAndNothingElse) {
    const KeptPlace place = changed([](auto& p) { p.entry = "/m/\"é\" (1).avi (Fit)"; });
    const QByteArray text = saver::keptPlaceText(place);
    EXPECT_EQ(saver::parseKeptPlace(text), place);
    EXPECT_EQ(saver::parseKeptPlace("3\n"), KeptPlace{.position = 3});
    for (const auto& [from, to] : {std::pair{"\"place\":1", "\"place\":2"},
                                   {"\"position\":1", "\"position\":1.5"},
                                   {"\"seconds\":8", "\"seconds\":-8"},
                                   {"\"seed\":4000000000", "\"seed\":-1"},
                                   {"\"entry\":", "\"file\":"},
                                   {"{", "["}})
        EXPECT_EQ(saver::parseKeptPlace(QByteArray(text).replace(from, to)), std::nullopt) << to;
    for (const char* other : {"", "-3", "40000", "{}"})
        EXPECT_EQ(saver::parseKeptPlace(other), std::nullopt) << other;
}

// Playing, it has moved on since the engine told, unless that was longer than a tick ago: then
// the process was stopped, and the movie with it.
TEST(KeptPlace, WhereTheMovieIsNow) {
    const MoviePlace told{8.0, 20.0}, started{5.0, 20.0};
    const std::tuple<int, std::optional<MoviePlace>, qint64, double> cases[] = {
        {player::Running, told, 400, 8.4},
        {player::Running, told, 5000, 8.0},
        {player::Running, std::nullopt, 300, 5.0},
        {player::Stopped, told, 300, 20.0},
        {player::NothingLoaded, told, 300, 0.0}};
    for (const auto& [state, seen, agoMs, seconds] : cases)
        EXPECT_NEAR(saver::moviePlaceNow(state, seen, agoMs, started).seconds, seconds, 1e-9)
            << state << " " << agoMs;
}
