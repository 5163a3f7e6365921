#include "saver/same_step.h"

#include <algorithm>
#include <climits>

#include "settings/playlist.h"

namespace saver {
namespace {

bool leadsBefore(const SameMember& a, const SameMember& b) {
    return std::pair(a.monitor, a.id) < std::pair(b.monitor, b.id);
}

bool awaited(const SameMember& member, int round) {
    return member.round == round && !member.ended && !member.guest;
}

}  // namespace

SameStep sameStep(const SameMember& me, const QList<SameMember>& others, bool gathered,
                  qint64 nowMs) {
    const SameMember* newest = &me;
    for (const SameMember& other : others) {
        if (other.round > newest->round ||
            (other.round == newest->round && leadsBefore(other, *newest)))
            newest = &other;
    }
    if (newest->round > me.round) {
        SameMember joined = *newest;
        joined.ended = false;
        joined.guest = nowMs - newest->startedMs > kJoinedLateMs;
        return {SameStep::Follow, joined};
    }
    const bool leader = std::none_of(others.begin(), others.end(),
                                     [&me](const SameMember& o) { return leadsBefore(o, me); });
    if (!leader) return {};
    const SameStep lead{SameStep::Lead, {}};
    if (me.round == 0) return gathered ? lead : SameStep{};
    const auto any = [&others](const auto& test) {
        return std::any_of(others.begin(), others.end(), test);
    };
    if (awaited(me, me.round) || any([&me](const SameMember& o) { return awaited(o, me.round); }))
        return {};
    if (me.ended) return lead;
    // A guest leader cuts its movie short only for others that wait: guests alone (all started
    // again by their host) play it out.
    const bool othersWait =
        any([&me](const SameMember& o) { return o.round == me.round && o.ended; });
    return othersWait ? lead : SameStep{};
}

QByteArray sameRecordText(const SameMember& member, qint64 nowMs) {
    QByteArrayList fields;
    for (const qint64 value :
         {qint64(member.monitor), qint64(member.round), qint64(member.position), member.startedMs,
          qint64(member.ended), qint64(member.guest), nowMs})
        fields << QByteArray::number(value);
    return fields.join(' ') + '\n';
}

std::optional<SameRecord> parseSameRecord(const QByteArray& text) {
    const QList<QByteArray> fields = text.trimmed().split(' ');
    if (fields.size() != 7) return std::nullopt;
    qint64 values[7];
    for (int i = 0; i < 7; ++i) {
        bool ok = false;
        values[i] = fields.at(i).toLongLong(&ok);
        if (!ok || values[i] < 0) return std::nullopt;
    }
    if (values[0] > 1000 || values[1] > INT_MAX || values[2] > settings::kHighestPosition ||
        values[4] > 1 || values[5] > 1)
        return std::nullopt;
    return SameRecord{{.monitor = int(values[0]),
                       .round = int(values[1]),
                       .position = qint16(values[2]),
                       .startedMs = values[3],
                       .ended = values[4] == 1,
                       .guest = values[5] == 1},
                      values[6]};
}

}  // namespace saver
