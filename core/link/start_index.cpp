#include "core/link/start_index.h"

#include <algorithm>

namespace zarnmon {

namespace {

CStartIndex::SlotMask Bit(int slot) { return CStartIndex::SlotMask{1} << slot; }

}  // namespace

CStartIndex::CStartIndex() = default;

void CStartIndex::Add(int slot, std::span<const std::uint8_t> pattern) {
    installed_ |= Bit(slot);
    if (pattern.empty()) {
        AddUnconstrained(slot);
        return;
    }
    // A slot with several patterns is allowed a byte at a position when any
    // of them has it there; beyond a pattern's end every byte is allowed.
    for (int k = 0; k < kPositions; ++k) {
        const auto index = static_cast<std::size_t>(k);
        if (index < pattern.size()) {
            allowed_[index][pattern[index]] |= Bit(slot);
        } else {
            for (auto& mask : allowed_[index]) {
                mask |= Bit(slot);
            }
        }
    }
    canStart_[pattern[0]] = true;
}

void CStartIndex::AddUnconstrained(int slot) {
    installed_ |= Bit(slot);
    for (auto& position : allowed_) {
        for (auto& mask : position) {
            mask |= Bit(slot);
        }
    }
    canStart_.fill(true);
}

CStartIndex::SlotMask CStartIndex::Candidates(const CMsgStream& stream) const {
    // An empty stream starts nothing; otherwise only installed slots count.
    SlotMask candidates = stream.Count() > 0 ? installed_ : 0;
    const int held = std::min(stream.Count(), kPositions);
    for (int k = 0; k < held && candidates != 0; ++k) {
        candidates &= allowed_[static_cast<std::size_t>(k)][stream.PeekAt(k)];
    }
    return candidates;
}

}  // namespace zarnmon
