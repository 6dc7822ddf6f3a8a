#pragma once

// Where every message of a recorded raw log ends, and what time the receiver
// had reached at each time tag, from one scan of the log.
//
// A raw log is the receiver's byte stream exactly as it arrived: no offsets
// or times of its own. The scan feeds it through a dispatcher of its own, in
// pieces that fit the stream whole, so when a handler stores a message the
// bytes taken so far end exactly where that message ends (fed minus what the
// stream still holds). Only messages the dispatcher stores count: noise,
// frames that fail their check and a frame cut short at the end are part of
// the bytes before the next message, never messages of their own. Two
// handlers storing one line (a beacon reply that is also an NMEA line) end
// at one place and count once.
//
// Time tags are the stored messages 1 and 99 with a known week and a time
// of week inside the week; each keeps the GPS-UTC offset the recording had
// given by then, so its time reads as the views showed it at that moment.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/link/gps_time.h"
#include "core/link/msg_handler.h"

namespace zarnmon {

// The GPS week and time of week a stored message 1 or 99 carries (told by
// the handler's name), unchecked; nullopt for every other message.
[[nodiscard]] std::optional<GpsWeekTime> TimeTagOf(const CMsgHandler& handler);

class CReplayIndex {
public:
    struct TimeTag {
        std::size_t start;  // where the tagged message starts
        std::size_t end;    // and where it ends
        GpsWeekTime time;
        std::int32_t gpsUtcOffset;
    };

    CReplayIndex() = default;
    explicit CReplayIndex(std::span<const std::uint8_t> log);

    [[nodiscard]] std::size_t Size() const noexcept { return size_; }
    // Increasing offsets just past each stored message.
    [[nodiscard]] const std::vector<std::size_t>& MessageEnds() const noexcept { return ends_; }
    [[nodiscard]] const std::vector<TimeTag>& Tags() const noexcept { return tags_; }

    // The end of the first message that ends after offset; Size() when none does.
    [[nodiscard]] std::size_t NextMessageEnd(std::size_t offset) const;
    // The end of the last message that ends before offset; 0 when none does.
    [[nodiscard]] std::size_t PreviousMessageEnd(std::size_t offset) const;
    // The last time tag complete within the first offset bytes; null before the first.
    [[nodiscard]] const TimeTag* TagAt(std::size_t offset) const;

private:
    std::size_t size_ = 0;
    std::vector<std::size_t> ends_;
    std::vector<TimeTag> tags_;
};

}  // namespace zarnmon
