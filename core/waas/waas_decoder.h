#pragma once

// Decodes the WAAS (RTCA DO-229) messages the receiver forwards in binary
// message 80 into the ionospheric grid.
//
// Input: one intact message-80 frame at a time, in the order received. Each
// carries the broadcasting GEO's PRN and the 250-bit message. What is used:
//   - type 1, the PRN mask: kept to notice when it changes, and persisted;
//   - type 18, an IGP band mask per GEO: which grid points a type 26 block
//     of that band and GEO describes;
//   - type 26, IGP vertical delays, placed by the matching mask into the
//     delay table (one table, not per GEO).
// Types 0, 2-5, 9, 24 and 25 are accepted and change nothing; any other
// type is ignored. Masks are kept for three GEO slots, reassigned to a new
// PRN by least recent use.
//
// What can go wrong: bit errors (the CRC-24Q drops the message), a type 26
// before its mask, from another IODI or from a GEO whose slot has since
// been taken by another PRN (dropped; delays already placed stay), a settings
// file edited by hand (the grid starts empty). Wire data is never asserted
// on: every field is bounds-checked by construction or range-checked.
//
// The masks and GEO PRNs persist through a settings store (see
// CWaasNonVolatile) so delays can be placed right after a restart, before
// the next type 18. The store is read at the first record, not at
// construction, as the program only learns then that WAAS is wanted.

#include <array>
#include <cstdint>
#include <span>

#include "core/waas/iono_grid.h"
#include "core/waas/iono_interpolation.h"
#include "core/waas/waas_bits.h"
#include "core/waas/waas_non_volatile.h"

namespace zarnmon {

class CSettingsStore;

// What ProcessWaasRecord made of a record.
enum class WaasOutcome : std::uint8_t {
    BadFrame,    // not an intact message-80 frame: nothing happened
    BadCrc,      // dropped by the CRC-24Q (the GEO slot was still chosen)
    PrnMask,     // type 1
    IgpMask,     // type 18
    IonoDelays,  // type 26
    Accepted,    // types 0, 2-5, 9, 24, 25: nothing to do
    Ignored,     // any other type
};

// The current PRN mask (type 1).
struct WaasPrnMask {
    static constexpr int kMaxPrns = 51;
    std::array<std::int32_t, kMaxPrns> prns{};  // 1-based mask positions, unused entries 0
    std::int32_t count = 0;
    std::int32_t iodp = -1;  // -1: none yet

    friend bool operator==(const WaasPrnMask&, const WaasPrnMask&) = default;
};

// One type 18 band mask of one GEO slot.
struct IgpMaskRecord {
    std::int32_t iodi = -1;  // -1: empty
    std::int32_t count = 0;
    std::int32_t geoPrn = 0;                                     // the slot's PRN when the mask was taken
    std::array<std::uint16_t, IonoGrid::kEntriesPerBand> igp{};  // positions of the set mask bits
};

class CWaasDecoder {
public:
    static constexpr int kGeoSlots = 3;

    // store: where the non-volatile block lives; null keeps nothing across runs.
    explicit CWaasDecoder(CSettingsStore* store = nullptr);

    // One message-80 frame ("$BIN", id 80, 40 data bytes, sum, CR LF).
    WaasOutcome ProcessWaasRecord(std::span<const std::uint8_t> msg80Frame);
    // The same for a record already taken apart: the GEO PRN and the eight
    // message words.
    WaasOutcome ProcessWaasMessage(int prn, std::span<const std::uint32_t, kWaasMessageWords> words);

    // Reads the block from the store (see CWaasNonVolatile::Load) without
    // applying it; applying happens at the first record.
    bool LoadWaasNonVolatile() { return nonVolatile_.Load(); }
    void SaveWaasNonVolatile() { nonVolatile_.Save(); }

    [[nodiscard]] const IonoGrid& Grid() const { return grid_; }
    [[nodiscard]] double IonoDelayAt(double longitude, double latitude, bool extendMap) const {
        return zarnmon::IonoDelayAt(grid_, longitude, latitude, extendMap);
    }

    [[nodiscard]] bool Initialised() const { return initialised_; }
    [[nodiscard]] std::array<std::int32_t, kGeoSlots> GeoPrns() const;
    [[nodiscard]] const WaasPrnMask& PrnMask() const { return prnMask_; }
    // Empty record for a slot or band out of range.
    [[nodiscard]] const IgpMaskRecord& IgpMask(int slot, int band) const;
    [[nodiscard]] const CWaasNonVolatile& NonVolatile() const { return nonVolatile_; }

private:
    struct GeoSlot {
        std::int32_t prn = 0;
        std::uint32_t lastUse = 0;
    };
    // The PRN-to-index rule: GPS PRNs 1-32 give 0-31, a slot's PRN 32 + slot.
    static constexpr int kNoIndex = -1;

    void Initialise();
    int ChooseSlot(int prn);
    [[nodiscard]] int PrnIndex(int prn) const;
    void RebuildGeoWord();

    void ApplyBlock();
    void ApplyGeoPrns();
    void ApplyPrnMask();
    void ApplyIgpMasks();

    void TakePrnMask(std::span<const std::uint32_t, kWaasMessageWords> words);
    void TakeIgpMask(int slot, std::span<const std::uint32_t, kWaasMessageWords> words);
    void TakeIonoDelays(int slot, std::span<const std::uint32_t, kWaasMessageWords> words);

    IgpMaskRecord& MaskAt(int slot, int band) {
        return masks_[static_cast<std::size_t>(slot)][static_cast<std::size_t>(band)];
    }

    bool initialised_ = false;
    std::array<GeoSlot, kGeoSlots> slots_{};
    std::uint32_t messageCounter_ = 0;
    WaasPrnMask prnMask_;
    std::array<std::array<IgpMaskRecord, IonoGrid::kBands>, kGeoSlots> masks_{};
    IonoGrid grid_;
    CWaasNonVolatile nonVolatile_;
};

}  // namespace zarnmon
