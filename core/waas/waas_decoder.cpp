#include "core/waas/waas_decoder.h"

#include <algorithm>
#include <cstddef>

#include "core/link/bin_catalogue.h"

namespace zarnmon {

namespace {

constexpr int kPrnMaskBits = 210;
constexpr int kFirstGeoPrn = 120;
constexpr int kLastGeoPrn = 138;
constexpr int kIgpMaskBit = 24;
constexpr int kIgpsPerBlock = 15;
constexpr int kIonoBlocks = 14;
constexpr int kIgpBits = 13;
constexpr int kIonoIodiBit = 217;
// Applying a stored PRN mask: a mask of fewer satellites is not a real one.
constexpr std::uint32_t kMinStoredPrns = 20;
// Low bits of a record's seventh word that carry our own bookkeeping.
constexpr std::uint32_t kRecordInfoMask = 0x7FFFFFU;
constexpr std::uint32_t kPrnCountMask = 0xFFFU;

using Words = std::span<const std::uint32_t, kWaasMessageWords>;

int ReadField(std::span<const std::uint32_t> words, int start, int width) {
    return static_cast<int>(WaasBits(words, start, width));
}

// The positions of the set bits among the first bits of a mask at start, at
// most out.size() of them; returns how many bits were set in all.
int CollectSetBits(std::span<const std::uint32_t> words, int start, int bits, std::span<std::uint16_t> out) {
    int set = 0;
    for (int p = 0; p < bits; ++p) {
        if (WaasBits(words, start + p, 1) != 0) {
            if (static_cast<std::size_t>(set) < out.size()) {
                out[static_cast<std::size_t>(set)] = static_cast<std::uint16_t>(p);
            }
            ++set;
        }
    }
    return set;
}

// Types that are part of a normal broadcast but say nothing about the grid.
bool IsAcceptedType(int type) {
    switch (type) {
        case 0:
        case 2:
        case 3:
        case 4:
        case 5:
        case 9:
        case 24:
        case 25:
            return true;
        default:
            return false;
    }
}

}  // namespace

CWaasDecoder::CWaasDecoder(CSettingsStore* store) : nonVolatile_(store) {
    // Before the first record nothing is known: no point may read as a zero delay.
    grid_.Clear();
}

std::array<std::int32_t, CWaasDecoder::kGeoSlots> CWaasDecoder::GeoPrns() const {
    return {slots_[0].prn, slots_[1].prn, slots_[2].prn};
}

const IgpMaskRecord& CWaasDecoder::IgpMask(int slot, int band) const {
    static const IgpMaskRecord kEmpty{};
    if (slot < 0 || slot >= kGeoSlots || band < 0 || band >= IonoGrid::kBands) {
        return kEmpty;
    }
    return masks_[static_cast<std::size_t>(slot)][static_cast<std::size_t>(band)];
}

WaasOutcome CWaasDecoder::ProcessWaasRecord(std::span<const std::uint8_t> msg80Frame) {
    const std::size_t size = kBinFrameOverhead + msg80::kLength;
    if (msg80Frame.size() < size || !IsValidFrame(msg80Frame.first(size)) ||
        ReadLe<std::uint16_t>(msg80Frame, 6) != msg80::kLength) {
        return WaasOutcome::BadFrame;
    }
    const Msg80View record(msg80Frame);
    std::array<std::uint32_t, kWaasMessageWords> words{};
    for (int i = 0; i < kWaasMessageWords; ++i) {
        words[static_cast<std::size_t>(i)] = record.WaasMsg(i);
    }
    return ProcessWaasMessage(record.Prn(), words);
}

WaasOutcome CWaasDecoder::ProcessWaasMessage(int prn, Words words) {
    if (!initialised_) {
        Initialise();
    }
    const int slot = ChooseSlot(prn);
    ++messageCounter_;
    slots_[static_cast<std::size_t>(slot)].lastUse = messageCounter_;

    if (!WaasCrcPasses(words)) {
        return WaasOutcome::BadCrc;
    }
    const int type = ReadField(words, kWaasTypeBit, 6);
    switch (type) {
        case 1:
            TakePrnMask(words);
            return WaasOutcome::PrnMask;
        case 18:
            TakeIgpMask(slot, words);
            return WaasOutcome::IgpMask;
        case 26:
            TakeIonoDelays(slot, words);
            return WaasOutcome::IonoDelays;
        default:
            return IsAcceptedType(type) ? WaasOutcome::Accepted : WaasOutcome::Ignored;
    }
}

void CWaasDecoder::Initialise() {
    initialised_ = true;
    // Stamps and the counter carry on: only the PRNs have a starting value.
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        slots_[i].prn = kInitialGeoPrns[i];
    }
    prnMask_ = WaasPrnMask{};
    for (auto& slotMasks : masks_) {
        slotMasks.fill(IgpMaskRecord{});
    }
    grid_.Clear();
    if (LoadWaasNonVolatile()) {
        ApplyBlock();
    }
}

int CWaasDecoder::ChooseSlot(int prn) {
    for (int i = 0; i < kGeoSlots; ++i) {
        if (slots_[static_cast<std::size_t>(i)].prn == prn) {
            return i;
        }
    }
    // Least recently used; unsigned differences survive the counter wrapping.
    int chosen = 0;
    std::uint32_t oldest = 0;
    for (int i = 0; i < kGeoSlots; ++i) {
        const std::uint32_t age = messageCounter_ - slots_[static_cast<std::size_t>(i)].lastUse;
        if (i == 0 || age > oldest) {
            chosen = i;
            oldest = age;
        }
    }
    slots_[static_cast<std::size_t>(chosen)].prn = prn;
    RebuildGeoWord();
    SaveWaasNonVolatile();
    return chosen;
}

int CWaasDecoder::PrnIndex(int prn) const {
    if (prn < 1) {
        return kNoIndex;
    }
    if (prn <= 32) {
        return prn - 1;
    }
    for (int i = 0; i < kGeoSlots; ++i) {
        if (slots_[static_cast<std::size_t>(i)].prn == prn) {
            return 32 + i;
        }
    }
    return kNoIndex;
}

void CWaasDecoder::RebuildGeoWord() { nonVolatile_.Words()[0] = CWaasNonVolatile::PackGeoPrns(GeoPrns()); }

// ---------------------------------------------------------------------------
// Message types

void CWaasDecoder::TakePrnMask(Words words) {
    WaasPrnMask mask;
    for (int p = 0; p < kPrnMaskBits; ++p) {
        if (WaasBits(words, kWaasDataBit + p, 1) != 0 && mask.count < WaasPrnMask::kMaxPrns) {
            mask.prns[static_cast<std::size_t>(mask.count++)] = p + 1;
        }
    }
    mask.iodp = ReadField(words, kWaasDataBit + kPrnMaskBits, 2);
    if (mask == prnMask_) {
        return;
    }
    prnMask_ = mask;
    auto& block = nonVolatile_.Words();
    for (int i = 0; i < CWaasNonVolatile::kPrnMaskWords; ++i) {
        block[static_cast<std::size_t>(CWaasNonVolatile::kPrnMaskWord + i)] =
            WaasBits(words, kWaasDataBit + 32 * i, 32);
    }
    auto& last = block[CWaasNonVolatile::kPrnMaskWord + CWaasNonVolatile::kPrnMaskWords - 1];
    last = (last & ~kPrnCountMask) | static_cast<std::uint32_t>(mask.count);
    SaveWaasNonVolatile();
}

void CWaasDecoder::TakeIgpMask(int slot, Words words) {
    const int bandCount = ReadField(words, 14, 4);
    const int band = ReadField(words, 18, 4);
    const int iodi = ReadField(words, 22, 2);
    if (bandCount < 1 || band >= IonoGrid::kBands) {
        return;
    }
    const int bits = BandMaskBits(band);
    IgpMaskRecord mask;
    mask.iodi = iodi;
    // In bands 0-8, a set bit at a 75N (65S) point means that part of the world
    // comes from bands 0-8 rather than from the polar band. The position in a
    // column pair repeats every 51 bits.
    for (int p = 0; p < bits; ++p) {
        if (WaasBits(words, kIgpMaskBit + p, 1) == 0) {
            continue;
        }
        mask.igp[static_cast<std::size_t>(mask.count++)] = static_cast<std::uint16_t>(p);
        if (band < IonoGrid::kNorthPolarBand) {
            const int inPair = p % 51;
            if (inPair == 26) {
                grid_.polarFlags &= ~IonoGrid::kNorthPolarInUse;
            } else if (inPair == 1) {
                grid_.polarFlags &= ~IonoGrid::kSouthPolarInUse;
            }
        }
    }
    if (mask.count == 0) {
        return;
    }
    mask.geoPrn = slots_[static_cast<std::size_t>(slot)].prn;
    const IgpMaskRecord& stored = MaskAt(slot, band);
    if (stored.iodi == mask.iodi && stored.geoPrn == mask.geoPrn && stored.count == mask.count) {
        return;
    }
    // The record keeps the PRN in 5 bits, which only GEO PRNs survive.
    if (mask.geoPrn < kFirstGeoPrn) {
        return;
    }
    MaskAt(slot, band) = mask;

    auto& block = nonVolatile_.Words();
    const auto first = static_cast<std::size_t>(CWaasNonVolatile::RecordWord(slot, band));
    for (std::size_t i = 0; i < CWaasNonVolatile::kRecordWords; ++i) {
        block[first + i] = WaasBits(words, kIgpMaskBit + 32 * static_cast<int>(i), 32);
    }
    const std::uint32_t info = static_cast<std::uint32_t>(mask.count) |
                               ((static_cast<std::uint32_t>(mask.geoPrn + 8) % 32U) << 8) |
                               (WaasBits(words, 14, 10) << 13);
    auto& seventh = block[first + CWaasNonVolatile::kRecordWords - 1];
    seventh = (seventh & ~kRecordInfoMask) | info;
    SaveWaasNonVolatile();
}

void CWaasDecoder::TakeIonoDelays(int slot, Words words) {
    const int band = ReadField(words, 14, 4);
    const int block = ReadField(words, 18, 4);
    const int iodi = ReadField(words, kIonoIodiBit, 2);
    if (band >= IonoGrid::kBands || block >= kIonoBlocks) {
        return;
    }
    const IgpMaskRecord& mask = MaskAt(slot, band);
    if (mask.iodi != iodi || mask.geoPrn != slots_[static_cast<std::size_t>(slot)].prn) {
        return;
    }
    const int first = kIgpsPerBlock * block;
    const int end = std::min(first + kIgpsPerBlock, mask.count);
    auto& delays = grid_.igp[static_cast<std::size_t>(band)];
    for (int j = first; j < end; ++j) {
        const auto value = static_cast<std::uint16_t>(WaasBits(words, 22 + kIgpBits * (j - first), kIgpBits));
        delays[mask.igp[static_cast<std::size_t>(j)]] = value;
    }
    if (band == IonoGrid::kNorthPolarBand) {
        grid_.polarFlags |= IonoGrid::kNorthPolarInUse;
    } else if (band == IonoGrid::kSouthPolarBand) {
        grid_.polarFlags |= IonoGrid::kSouthPolarInUse;
    }
}

// ---------------------------------------------------------------------------
// A block loaded from the store

void CWaasDecoder::ApplyBlock() {
    ApplyGeoPrns();
    ApplyPrnMask();
    ApplyIgpMasks();
}

void CWaasDecoder::ApplyGeoPrns() {
    const std::uint32_t word = nonVolatile_.Words()[0];
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        const auto prn = static_cast<int>((word >> (8 * i)) & 0xFFU);
        if (prn >= kFirstGeoPrn && prn <= kLastGeoPrn) {
            slots_[i].prn = prn;
        }
    }
}

void CWaasDecoder::ApplyPrnMask() {
    const auto stored = std::span<const std::uint32_t>(nonVolatile_.Words())
                            .subspan(CWaasNonVolatile::kPrnMaskWord, CWaasNonVolatile::kPrnMaskWords);
    const std::uint32_t count = stored.back() & kPrnCountMask;
    if (count < kMinStoredPrns || count > static_cast<std::uint32_t>(WaasPrnMask::kMaxPrns)) {
        return;
    }
    WaasPrnMask mask;
    int set = 0;
    for (int p = 0; p < kPrnMaskBits; ++p) {
        if (WaasBits(stored, p, 1) != 0) {
            if (mask.count < WaasPrnMask::kMaxPrns) {
                mask.prns[static_cast<std::size_t>(mask.count++)] = p + 1;
            }
            ++set;
        }
    }
    if (static_cast<std::uint32_t>(set) != count) {
        return;
    }
    mask.iodp = ReadField(stored, kPrnMaskBits, 2);
    prnMask_ = mask;
}

void CWaasDecoder::ApplyIgpMasks() {
    for (int i = 0; i < CWaasNonVolatile::kRecords; ++i) {
        const int slot = i / CWaasNonVolatile::kPositionsPerSlot;
        const int position = i % CWaasNonVolatile::kPositionsPerSlot;
        const auto record = std::span<const std::uint32_t>(nonVolatile_.Words())
                                .subspan(static_cast<std::size_t>(CWaasNonVolatile::kFirstRecordWord +
                                                                  CWaasNonVolatile::kRecordWords * i),
                                         CWaasNonVolatile::kRecordWords);
        const std::uint32_t info = record.back();
        const auto count = static_cast<int>(info & 0xFFU);
        const int prn = static_cast<int>((info >> 8) & 0x1FU) + kFirstGeoPrn;
        const auto band = static_cast<int>((info >> 15) & 0xFU);
        const auto iodi = static_cast<int>((info >> 13) & 0x3U);
        const int bits = BandMaskBits(band);
        const bool bandFits = position < 5 ? band < 9 && band % 5 == position
                                           : band == IonoGrid::kNorthPolarBand || band == IonoGrid::kSouthPolarBand;
        if (count < 1 || count > bits || !bandFits || PrnIndex(prn) != 32 + slot) {
            continue;
        }
        IgpMaskRecord mask;
        mask.iodi = iodi;
        mask.geoPrn = prn;
        mask.count = CollectSetBits(record, 0, bits, mask.igp);
        if (mask.count != count) {
            continue;
        }
        MaskAt(slot, band) = mask;
        if (band == IonoGrid::kNorthPolarBand) {
            grid_.polarFlags |= IonoGrid::kNorthPolarInUse;
        } else if (band == IonoGrid::kSouthPolarBand) {
            grid_.polarFlags |= IonoGrid::kSouthPolarInUse;
        }
    }
}

}  // namespace zarnmon
