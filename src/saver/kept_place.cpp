#include "saver/kept_place.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>

#include "settings/playlist.h"

namespace saver {
namespace {

constexpr int kFormat = 1;
constexpr qint64 kLatestMs = qint64(1) << 53;  // exact in a JSON number
constexpr double kLongest = 1e9;               // seconds: more than thirty years
constexpr qint64 kTickGapMs = 1500;

std::optional<qint64> whole(const QJsonValue& value, qint64 lowest, qint64 highest) {
    const double number = value.toDouble(NAN);
    if (!(number >= double(lowest) && number <= double(highest)) || number != std::floor(number))
        return std::nullopt;
    return qint64(number);
}

std::optional<double> seconds(const QJsonValue& value) {
    const double number = value.toDouble(NAN);
    return number >= 0.0 && number <= kLongest ? std::optional(number) : std::nullopt;
}

std::optional<ShufflePass> parsePass(const QJsonObject& pass) {
    const auto seed = whole(pass.value("seed"), 0, 0xffffffff);
    const auto count = whole(pass.value("count"), -1, settings::kHighestPosition);
    const auto next = whole(pass.value("next"), 0, settings::kMostEntries);
    const auto before = whole(pass.value("before"), -1, settings::kHighestPosition);
    if (!seed || !count || !next || !before) return std::nullopt;
    return ShufflePass{quint32(*seed), int(*count), int(*next), int(*before)};
}

}  // namespace

QByteArray keptPlaceText(const KeptPlace& place) {
    QJsonObject text{{"place", kFormat},
                     {"position", place.position},
                     {"entry", place.entry},
                     {"seconds", place.movie.seconds},
                     {"length", place.movie.length},
                     {"written", place.writtenMs}};
    if (const auto& pass = place.pass)
        text.insert("pass", QJsonObject{{"seed", qint64(pass->seed)},
                                        {"count", pass->count},
                                        {"next", pass->next},
                                        {"before", pass->before}});
    return QJsonDocument(text).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<KeptPlace> parseKeptPlace(const QByteArray& text) {
    bool number = false;
    const int old = text.trimmed().toInt(&number);
    if (number)
        return old >= 0 && old <= settings::kHighestPosition
                   ? std::optional(KeptPlace{.position = qint16(old)})
                   : std::nullopt;
    const QJsonObject place = QJsonDocument::fromJson(text).object();
    if (whole(place.value("place"), kFormat, kFormat) != kFormat) return std::nullopt;
    const auto position = whole(place.value("position"), 0, settings::kHighestPosition);
    const QString entry = place.value("entry").toString();
    const auto at = seconds(place.value("seconds")), length = seconds(place.value("length"));
    const auto written = whole(place.value("written"), 1, kLatestMs);
    std::optional<ShufflePass> pass;
    if (place.contains("pass") && !(pass = parsePass(place.value("pass").toObject())))
        return std::nullopt;
    if (!position || entry.isEmpty() || !at || !length || !written) return std::nullopt;
    return KeptPlace{qint16(*position), entry, {*at, *length}, *written, pass};
}

StartPlace whereToStart(const std::optional<KeptPlace>& kept, const StartRules& rules) {
    const StartPlace newRun{rules.ownFirst};
    if (!kept) return newRun;
    const qint64 age = rules.nowMs - kept->writtenMs;
    const bool handedOver = kept->writtenMs > 0 && age >= 0 && age <= kHandOverMs;
    if (!handedOver && !rules.resume) return newRun;
    if (kept->entry.isEmpty()) return {kept->position};
    if (kept->position > rules.count) return newRun;
    StartPlace start{kept->position, {}, true, kept->pass};
    const player::MoviePlace& movie = kept->movie;
    if (rules.entryAt(kept->position) != kept->entry || movie.length <= 0.0 ||
        movie.seconds > movie.length)
        return start;
    if (movie.length - movie.seconds <= kNearEndSeconds)
        return {
            qint16(kept->position >= rules.count ? 0 : kept->position + 1), {}, false, kept->pass};
    start.movie = movie;
    return start;
}

player::MoviePlace moviePlaceNow(int playState, const std::optional<player::MoviePlace>& told,
                                 qint64 agoMs, const std::optional<player::MoviePlace>& startedAt) {
    if (playState == player::NothingLoaded) return {};
    if (playState == player::Stopped)
        return told ? player::MoviePlace{told->length, told->length} : player::MoviePlace{};
    if (!told) return startedAt.value_or(player::MoviePlace{});
    const double since = agoMs >= 0 && agoMs <= kTickGapMs ? double(agoMs) / 1000.0 : 0.0;
    const double reached = told->seconds + since;
    return {told->length > 0.0 ? std::min(reached, told->length) : reached, told->length};
}

}  // namespace saver
