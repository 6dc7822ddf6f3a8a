#pragma once

// How well the link carries the receiver's messages, for a live display.
//
// The dispatcher counts, per handler, the messages stored and those that
// failed their frame check, and every byte fed. This samples those counters
// on the program's millisecond clock (from a display's timer, never from
// inside Feed) and turns them into rates over a sliding window. A message
// that someone keeps on (EnsureState asked for it lately) and that has not
// arrived within the 6000 ms rule has stopped. The line's capacity is its
// baud rate at 10 bits per byte (start bit, 8 data bits, stop bit).
//
// Counters that go down were reset by a new connection, and a clock that
// jumps back (a replay follows the recording's own time) leaves samples that
// look older than the window: either way the window starts again.

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <string_view>

#include "core/link/msg_dispatcher.h"
#include "core/link/tick_clock.h"

namespace zarnmon {

struct MessageHealth {
    int slot = 0;
    std::string_view name;  // the handler's, as zarnmon-cli decode names it
    std::uint64_t stored = 0;
    std::uint64_t failed = 0;            // checksum or trailer wrong
    std::optional<double> perSecond;     // stored per second; none until the window spans time
    std::optional<std::uint32_t> ageMs;  // since the last arrival, stored or failed; none before one
    bool keptOn = false;
    bool stopped = false;  // kept on, and silent for the 6000 ms rule

    [[nodiscard]] bool Seen() const { return stored > 0 || failed > 0; }
};

struct LineHealth {
    std::uint64_t receivedBytes = 0;
    std::uint32_t droppedBytes = 0;
    std::optional<double> bytesPerSecond;  // none until the window spans time
    std::optional<double> capacity;        // bytes per second the baud rate carries; none without one

    // The share of the capacity in use (above 1 when more arrives than the
    // baud rate could carry, as on a link that is no serial line).
    [[nodiscard]] std::optional<double> Usage() const {
        if (!bytesPerSecond || !capacity) {
            return std::nullopt;
        }
        return *bytesPerSecond / *capacity;
    }
};

class CLinkHealth {
public:
    static constexpr std::uint32_t kDefaultWindowMs = 10000;
    // Whoever needs a message asks for it every fourth second; a message
    // asked for within this time is kept on.
    static constexpr std::uint32_t kKeptOnMs = 10000;
    static constexpr std::uint32_t kBitsPerByte = 10;

    CLinkHealth(const CMsgDispatcher& dispatcher, const ITickClock& clock, std::uint32_t windowMs = kDefaultWindowMs);

    // 0: the line's capacity is unknown.
    void SetBaud(std::uint32_t baud) { baud_ = baud; }
    // Takes the dispatcher's counters now.
    void Sample();

    // Rates and the kept-on state as of the last sample; ages as of now.
    [[nodiscard]] MessageHealth Message(int slot) const;
    [[nodiscard]] LineHealth Line() const;

private:
    struct Counters {
        std::uint32_t tick = 0;
        std::uint64_t received = 0;
        std::array<std::uint64_t, CMsgDispatcher::kMaxSlots> stored{};
    };

    [[nodiscard]] Counters Take() const;
    // Some count is lower than before: the dispatcher was reset in between.
    [[nodiscard]] static bool WentDown(const Counters& later, const Counters& earlier);
    [[nodiscard]] bool KeptOn(int slot, std::uint32_t now) const;
    // Per second between the window's oldest and newest samples.
    template <typename Count>
    [[nodiscard]] std::optional<double> PerSecond(Count count) const;

    const CMsgDispatcher& dispatcher_;
    const ITickClock& clock_;
    std::uint32_t windowMs_;
    std::uint32_t baud_ = 0;
    std::deque<Counters> samples_;
    // Since when each slot has been kept on without a break (0: it is not),
    // so a message just asked for is not taken as stopped.
    std::array<std::uint32_t, CMsgDispatcher::kMaxSlots> keptOnSince_{};
};

}  // namespace zarnmon
