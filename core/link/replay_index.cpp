#include "core/link/replay_index.h"

#include <algorithm>
#include <cmath>

#include "core/link/bin_catalogue.h"
#include "core/link/msg_dispatcher.h"

namespace zarnmon {

namespace {

// Week 0 is a receiver that does not know the time yet; a time of week
// outside the week is damage, not time.
bool IsTime(const GpsWeekTime& time) {
    return time.week != 0 && std::isfinite(time.secondsOfWeek) && time.secondsOfWeek >= 0.0 &&
           time.secondsOfWeek < kSecondsPerWeek;
}

class CIndexTap final : public IStoreTap {
public:
    CIndexTap(const CMsgDispatcher& dispatcher, std::vector<std::size_t>& ends,
              std::vector<CReplayIndex::TimeTag>& tags)
        : dispatcher_(dispatcher), ends_(ends), tags_(tags) {}

    // Everything fed so far, counted before the piece is fed.
    void SetFed(std::size_t fed) { fed_ = fed; }

    void OnStored(const CMsgHandler& handler, std::span<const std::uint8_t> bytes) override {
        const std::size_t end = fed_ - static_cast<std::size_t>(dispatcher_.Stream().Count());
        if (ends_.empty() || ends_.back() != end) {
            ends_.push_back(end);
        }
        if (const auto time = TimeTagOf(handler); time && IsTime(*time)) {
            tags_.push_back({end - bytes.size(), end, *time, dispatcher_.GpsUtcOffset().Get()});
        }
    }

private:
    const CMsgDispatcher& dispatcher_;
    std::vector<std::size_t>& ends_;
    std::vector<CReplayIndex::TimeTag>& tags_;
    std::size_t fed_ = 0;
};

}  // namespace

std::optional<GpsWeekTime> TimeTagOf(const CMsgHandler& handler) {
    const std::string_view name = handler.Name();
    if (name == "Msg1") {
        const Msg1View msg1(handler.LastMessage());
        return GpsWeekTime{msg1.GpsWeek(), msg1.GpsTimeOfWeek()};
    }
    if (name == "Msg99") {
        const Msg99View msg99(handler.LastMessage());
        return GpsWeekTime{msg99.GpsWeek(), msg99.GpsTimeOfWeek()};
    }
    return std::nullopt;
}

CReplayIndex::CReplayIndex(std::span<const std::uint8_t> log) : size_(log.size()) {
    CManualTickClock clock;
    CMsgDispatcher dispatcher(clock);
    CIndexTap tap(dispatcher, ends_, tags_);
    dispatcher.SetStoreTap(&tap);
    std::size_t fed = 0;
    while (fed < log.size()) {
        // A piece no larger than the stream's free room is appended whole
        // before any handler runs, which the tap's arithmetic relies on.
        const auto room = static_cast<std::size_t>(std::max(dispatcher.Stream().Free(), 1));
        const std::size_t n = std::min(room, log.size() - fed);
        tap.SetFed(fed + n);
        dispatcher.Feed(log.subspan(fed, n));
        fed += n;
    }
    dispatcher.SetStoreTap(nullptr);
}

std::size_t CReplayIndex::NextMessageEnd(std::size_t offset) const {
    const auto next = std::ranges::upper_bound(ends_, offset);
    return next == ends_.end() ? size_ : *next;
}

std::size_t CReplayIndex::PreviousMessageEnd(std::size_t offset) const {
    const auto next = std::ranges::lower_bound(ends_, offset);
    return next == ends_.begin() ? 0 : *std::prev(next);
}

const CReplayIndex::TimeTag* CReplayIndex::TagAt(std::size_t offset) const {
    const auto after = std::ranges::upper_bound(tags_, offset, {}, &TimeTag::end);
    return after == tags_.begin() ? nullptr : &*std::prev(after);
}

}  // namespace zarnmon
