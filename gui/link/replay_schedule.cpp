#include "gui/link/replay_schedule.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/link/bin_catalogue.h"
#include "core/link/msg_dispatcher.h"

namespace zarnmon {

namespace {

constexpr double kSecondsPerWeek = 604800.0;
constexpr std::size_t kScanChunk = 4096;

// Collects the time tags of messages 1 and 99 as the dispatcher stores them.
class CTagCollector final : public IStoreTap {
public:
    struct Tag {
        std::size_t length;
        double seconds;  // since the GPS epoch
    };

    explicit CTagCollector(const CMsgDispatcher& dispatcher)
        : msg1_(&dispatcher.Handler(Slots::Msg1)), msg99_(&dispatcher.Handler(Slots::Msg99)) {}

    void OnStored(const CMsgHandler& handler, std::span<const std::uint8_t> bytes) override {
        if (bytes.size() < kBinHeaderSize) {
            return;
        }
        const auto data = bytes.subspan(kBinHeaderSize);
        std::uint16_t week = 0;
        double tow = 0.0;
        if (&handler == msg1_) {
            week = Get(data, msg1::GpsWeek);
            tow = Get(data, msg1::GpsTimeOfWeek);
        } else if (&handler == msg99_) {
            week = Get(data, msg99::GpsWeek);
            tow = Get(data, msg99::GpsTimeOfWeek);
        } else {
            return;
        }
        // Week 0 is a receiver that does not know the time yet.
        if (week == 0 || !std::isfinite(tow) || tow < 0.0 || tow >= kSecondsPerWeek) {
            return;
        }
        tags.push_back({bytes.size(), week * kSecondsPerWeek + tow});
        frames.emplace_back(bytes.begin(), bytes.end());
    }

    std::vector<Tag> tags;
    std::vector<std::vector<std::uint8_t>> frames;

private:
    const CMsgHandler* msg1_;
    const CMsgHandler* msg99_;
};

}  // namespace

CReplaySchedule::CReplaySchedule(std::span<const std::uint8_t> log) : size_(log.size()) {
    CManualTickClock clock;
    CMsgDispatcher dispatcher(clock);
    CTagCollector collector(dispatcher);
    dispatcher.SetStoreTap(&collector);

    // A stored frame completed inside the chunk just fed, and lies in the log
    // exactly as received: its end is found by comparing within the chunk.
    std::size_t searchFrom = 0;
    double lastSeconds = 0.0;
    for (std::size_t at = 0; at < log.size(); at += kScanChunk) {
        const std::size_t end = std::min(log.size(), at + kScanChunk);
        dispatcher.Feed(log.subspan(at, end - at));
        for (std::size_t i = 0; i < collector.tags.size(); ++i) {
            const auto& tag = collector.tags[i];
            const auto& frame = collector.frames[i];
            std::size_t stop = std::max(searchFrom + tag.length, at + 1);
            while (stop <= end && std::memcmp(log.data() + stop - tag.length, frame.data(), tag.length) != 0) {
                ++stop;
            }
            if (stop > end) {
                continue;
            }
            const std::size_t start = stop - tag.length;
            std::int64_t due = 0;
            if (!marks_.empty()) {
                const auto step = static_cast<std::int64_t>(std::llround((tag.seconds - lastSeconds) * 1000.0));
                due = marks_.back().dueMs + (step < 0 || step > kMaxJumpMs ? 0 : step);
            }
            marks_.push_back({start, due});
            lastSeconds = tag.seconds;
            searchFrom = stop;
        }
        collector.tags.clear();
        collector.frames.clear();
    }
}

std::size_t CReplaySchedule::DueBytes(std::int64_t playMs) const {
    if (playMs < 0) {
        return 0;
    }
    if (marks_.empty()) {
        const auto bytes = playMs * kUntaggedBytesPerSecond / 1000;
        return std::min(size_, static_cast<std::size_t>(bytes));
    }
    // The segment of the first mark not yet due is not due either.
    const auto next = std::ranges::upper_bound(marks_, playMs, {}, &Mark::dueMs);
    return next == marks_.end() ? size_ : next->offset;
}

std::int64_t CReplaySchedule::DueMs(std::size_t offset) const {
    if (marks_.empty()) {
        return static_cast<std::int64_t>(offset) * 1000 / kUntaggedBytesPerSecond;
    }
    const auto after = std::ranges::upper_bound(marks_, offset, {}, &Mark::offset);
    return after == marks_.begin() ? 0 : std::prev(after)->dueMs;
}

}  // namespace zarnmon
