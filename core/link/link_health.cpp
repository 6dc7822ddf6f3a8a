#include "core/link/link_health.h"

#include <algorithm>
#include <functional>

namespace zarnmon {

CLinkHealth::CLinkHealth(const CMsgDispatcher& dispatcher, const ITickClock& clock, std::uint32_t windowMs)
    : dispatcher_(dispatcher), clock_(clock), windowMs_(windowMs) {}

CLinkHealth::Counters CLinkHealth::Take() const {
    Counters counters;
    counters.tick = clock_.Now();
    counters.received = dispatcher_.ReceivedBytes();
    for (int slot = 0; slot < dispatcher_.HandlerCount(); ++slot) {
        counters.stored[static_cast<std::size_t>(slot)] = dispatcher_.Handler(slot).StoredCount();
    }
    return counters;
}

bool CLinkHealth::WentDown(const Counters& later, const Counters& earlier) {
    // Every count at least what it was: the same connection.
    const bool kept = later.received >= earlier.received && std::equal(later.stored.begin(), later.stored.end(),
                                                                       earlier.stored.begin(), std::greater_equal<>{});
    return !kept;
}

bool CLinkHealth::KeptOn(int slot, std::uint32_t now) const {
    const std::uint32_t asked = dispatcher_.LastKeepOnTick(slot);
    return asked != 0 && now - asked < kKeptOnMs;
}

void CLinkHealth::Sample() {
    const Counters now = Take();
    if (!samples_.empty() && WentDown(now, samples_.back())) {
        samples_.clear();
    }
    samples_.push_back(now);
    // Unsigned ages: a sample from a clock that has since jumped back looks
    // far older than the window.
    while (now.tick - samples_.front().tick > windowMs_) {
        samples_.pop_front();
    }
    for (int slot = 0; slot < dispatcher_.HandlerCount(); ++slot) {
        auto& since = keptOnSince_[static_cast<std::size_t>(slot)];
        if (!KeptOn(slot, now.tick)) {
            since = 0;
        } else if (since == 0) {
            since = StampOf(now.tick);
        }
    }
}

template <typename Count>
std::optional<double> CLinkHealth::PerSecond(Count count) const {
    if (samples_.size() < 2) {
        return std::nullopt;
    }
    const Counters& first = samples_.front();
    const Counters& last = samples_.back();
    const std::uint32_t span = last.tick - first.tick;
    if (span == 0) {
        return std::nullopt;
    }
    return static_cast<double>(count(last) - count(first)) * 1000.0 / span;
}

MessageHealth CLinkHealth::Message(int slot) const {
    const CMsgHandler& handler = dispatcher_.Handler(slot);
    const auto index = static_cast<std::size_t>(slot);
    MessageHealth health;
    health.slot = slot;
    health.name = handler.Name();
    health.stored = handler.StoredCount();
    health.failed = handler.FailedCount();
    health.perSecond = PerSecond([index](const Counters& c) { return c.stored[index]; });
    if (handler.LastCompletionTick() != 0) {
        health.ageMs = handler.AgeMs();
    }
    const std::uint32_t since = keptOnSince_[index];
    health.keptOn = since != 0;
    const std::uint32_t now = clock_.Now();
    // Asked for only just now: the receiver has not had the 6000 ms to answer.
    const bool given = health.keptOn && now - since >= CMsgDispatcher::kActiveMs;
    health.stopped = given && health.ageMs.value_or(CMsgDispatcher::kActiveMs) >= CMsgDispatcher::kActiveMs;
    return health;
}

LineHealth CLinkHealth::Line() const {
    LineHealth line;
    line.receivedBytes = dispatcher_.ReceivedBytes();
    line.droppedBytes = dispatcher_.DroppedBytes();
    line.bytesPerSecond = PerSecond([](const Counters& c) { return c.received; });
    if (baud_ > 0) {
        line.capacity = static_cast<double>(baud_) / kBitsPerByte;
    }
    return line;
}

}  // namespace zarnmon
