#pragma once

// When each byte of a recorded raw log is due in a replay at the receiver's
// own pace.
//
// A raw log is the receiver's byte stream exactly as it arrived, without
// timestamps of its own. The receiver's time tags inside it give the pace
// (the index's tags: messages 1 and 99 that passed the frame check, with
// their GPS week and time of week). Every tagged message starts a segment
// that is due at its tag's time, measured from the first tag, and the bytes
// before the first tag are due at once. A tag that runs backwards or jumps
// more than an hour (a log of several sessions) continues the previous
// segment's time rather than stalling or rewinding the replay.
//
// A log without tags (text only) plays at the pace of a line at the
// profile's default baud rate.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/app/settings_keys.h"
#include "core/link/replay_index.h"

namespace zarnmon {

class CReplaySchedule {
public:
    struct Mark {
        std::size_t offset;  // where the tagged message starts
        std::int64_t dueMs;  // from the start of the replay
    };

    static constexpr std::int64_t kMaxJumpMs = 3600 * 1000;
    // Bytes per second of an untagged log: 10 bits a byte on the line.
    static constexpr std::int64_t kUntaggedBytesPerSecond = kDefaultBaud / 10;

    CReplaySchedule() = default;
    explicit CReplaySchedule(const CReplayIndex& index);
    explicit CReplaySchedule(std::span<const std::uint8_t> log) : CReplaySchedule(CReplayIndex(log)) {}

    // How many bytes from the start of the log are due playMs into the replay.
    [[nodiscard]] std::size_t DueBytes(std::int64_t playMs) const;
    // When the byte at offset is due.
    [[nodiscard]] std::int64_t DueMs(std::size_t offset) const;

    [[nodiscard]] const std::vector<Mark>& Marks() const { return marks_; }
    [[nodiscard]] std::size_t Size() const { return size_; }

private:
    std::vector<Mark> marks_;
    std::size_t size_ = 0;
};

}  // namespace zarnmon
