#pragma once

// Which handlers could claim the bytes at the front of the stream.
//
// Offering every byte to every handler in turn is what the dispatcher means;
// doing it literally costs a virtual call and a comparison per handler. A
// handler can only claim bytes that begin with one of its patterns, so a
// handler whose patterns disagree with the front bytes would refuse them
// anyway. Per byte position (up to eight) and byte value this index keeps the
// set of slots whose patterns allow that byte there; the AND over the bytes
// held is a superset of the handlers that can claim, in slot order, and
// usually exactly one.

#include <array>
#include <cstdint>
#include <span>

#include "core/link/msg_stream.h"

namespace zarnmon {

class CStartIndex {
public:
    static constexpr int kPositions = 8;
    static constexpr int kMaxSlots = 32;
    using SlotMask = std::uint32_t;

    CStartIndex();

    // Adds a handler's pattern for slot (0..31).
    void Add(int slot, std::span<const std::uint8_t> pattern);
    // Slots whose handler does not constrain the bytes at all.
    void AddUnconstrained(int slot);

    // Bit s set: the handler of slot s may claim what the stream begins with.
    [[nodiscard]] SlotMask Candidates(const CMsgStream& stream) const;
    // False when no handler can claim anything that starts with b.
    [[nodiscard]] bool CanStart(std::uint8_t b) const { return canStart_[b]; }

private:
    std::array<std::array<SlotMask, 256>, kPositions> allowed_{};
    std::array<bool, 256> canStart_{};
    SlotMask installed_ = 0;
};

}  // namespace zarnmon
