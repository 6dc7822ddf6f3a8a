#include "core/link/replay_schedule.h"

#include <algorithm>
#include <cmath>

namespace zarnmon {

CReplaySchedule::CReplaySchedule(const CReplayIndex& index) : size_(index.Size()) {
    double lastSeconds = 0.0;
    marks_.reserve(index.Tags().size());
    for (const CReplayIndex::TimeTag& tag : index.Tags()) {
        const double seconds = tag.time.week * static_cast<double>(kSecondsPerWeek) + tag.time.secondsOfWeek;
        std::int64_t due = 0;
        if (!marks_.empty()) {
            const auto step = static_cast<std::int64_t>(std::llround((seconds - lastSeconds) * 1000.0));
            due = marks_.back().dueMs + (step < 0 || step > kMaxJumpMs ? 0 : step);
        }
        marks_.push_back({tag.start, due});
        lastSeconds = seconds;
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
