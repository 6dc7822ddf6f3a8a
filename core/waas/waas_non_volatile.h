#pragma once

// The WAAS decoder's memory across runs: 134 words mirrored in the settings
// section "WAASNonVolatile" as WORD000..WORD133 ("%lX") plus "CheckSum", the
// wrap-around sum of the words.
//
//   word 0      the three GEO slot PRNs in bytes 0, 1 and 2
//   words 1-7   bits 14-237 of the last type 1 message (PRN mask and IODP);
//               the low 12 bits of word 7 hold the number of mask bits set
//   words 8-133 18 records of 7 words, record 6 x slot + position: bits
//               24-247 of the last type 18 message for that GEO slot and
//               band position; the low 23 bits of the seventh word hold the
//               mask bit count (0-7), (GEO PRN + 8) mod 32 (8-12) and message
//               bits 14-23, i.e. band count, band and IODI (13-22)
//
// A second array caches what was last read from or written to the store, so
// a save writes only the words that changed. A word the store has not given
// or taken yet is unknown rather than some sentinel value: with 0xFFFFFFFF
// as "unknown", a PRN mask of all 32 GPS satellites (word 1 = FFFFFFFF)
// would never be written, and every later load would fail on it. The file is user-editable, so a
// value that does not scan or a wrong check sum makes the load fail; a
// wrong sum also overwrites the section with the empty state at once, so the
// damage does not survive into the next run. Without a store (null) nothing
// is read and nothing is written.

#include <array>
#include <cstdint>
#include <optional>

namespace zarnmon {

class CSettingsStore;

// GEO slot PRNs before anything is known; 35 is a placeholder no GEO uses.
inline constexpr std::array<std::int32_t, 3> kInitialGeoPrns = {138, 135, 35};

class CWaasNonVolatile {
public:
    static constexpr int kWords = 134;
    static constexpr int kPrnMaskWord = 1;
    static constexpr int kPrnMaskWords = 7;
    static constexpr int kFirstRecordWord = 8;
    static constexpr int kRecordWords = 7;
    static constexpr int kRecords = 18;
    static constexpr int kPositionsPerSlot = 6;
    using Block = std::array<std::uint32_t, kWords>;
    using Cache = std::array<std::optional<std::uint32_t>, kWords>;

    explicit CWaasNonVolatile(CSettingsStore* store) : store_(store) {}

    // Reads the section into the cache; true (and the block takes the cache)
    // only when every word and the check sum scan and the sum matches.
    bool Load();
    // Writes every word that differs from the cache, then the check sum if
    // any word was written.
    void Save();

    [[nodiscard]] Block& Words() { return block_; }
    [[nodiscard]] const Block& Words() const { return block_; }
    [[nodiscard]] const Cache& Cached() const { return cache_; }

    // Record position of a band: band mod 5 for bands 0-8, 5 for the polar bands.
    [[nodiscard]] static constexpr int BandPosition(int band) noexcept { return band < 9 ? band % 5 : 5; }
    // First word of the record for a GEO slot (0-2) and band.
    [[nodiscard]] static constexpr int RecordWord(int slot, int band) noexcept {
        return kFirstRecordWord + kRecordWords * (kPositionsPerSlot * slot + BandPosition(band));
    }
    // Word 0 from the three slot PRNs.
    [[nodiscard]] static constexpr std::uint32_t PackGeoPrns(const std::array<std::int32_t, 3>& prns) noexcept {
        return (static_cast<std::uint32_t>(prns[0]) & 0xFFU) | ((static_cast<std::uint32_t>(prns[1]) & 0xFFU) << 8) |
               ((static_cast<std::uint32_t>(prns[2]) & 0xFFU) << 16);
    }

private:
    CSettingsStore* store_;
    Block block_{};
    Cache cache_{};
};

}  // namespace zarnmon
