#include "core/waas/waas_decoder.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "core/app/settings_keys.h"
#include "core/app/settings_store.h"
#include "core/waas/waas_bits.h"
#include "core/waas/waas_test_messages.h"
#include "support/sbas_capture.h"

namespace zarnmon {
namespace {

using test::IgpField;
using test::IgpMaskMessage;
using test::IonoDelayMessage;
using test::Msg80Frame;
using test::PrnMaskMessage;
using test::WaasWords;

constexpr char kCapture[] = "sbas_l1_2023-11-04_subset.txt";
constexpr std::uint32_t kInitialWord0 = 138U | (135U << 8) | (35U << 16);

// ---------------------------------------------------------------------------
// A reading of the real broadcasts bit by bit, independent of the decoder.

std::uint32_t Bit(const WaasWords& w, int bit) {
    return (w[static_cast<std::size_t>(bit / 32)] >> (31 - bit % 32)) & 1U;
}

std::uint32_t Bits(const WaasWords& w, int start, int width) {
    std::uint32_t value = 0;
    for (int i = 0; i < width; ++i) {
        value = (value << 1) | Bit(w, start + i);
    }
    return value;
}

struct ExpectedMask {
    int iodi = -1;
    std::vector<int> positions;
};

struct Expected {
    std::vector<int> prns;
    int iodp = -1;
    std::map<std::pair<int, int>, ExpectedMask> masks;  // (GEO PRN, band)
    std::array<std::array<std::uint16_t, 201>, 11> igp{};
};

Expected ReadByHand(const std::vector<test::SbasCaptureLine>& lines) {
    Expected expected;
    for (auto& band : expected.igp) {
        band.fill(0xFFFF);
    }
    for (const auto& line : lines) {
        const WaasWords& w = line.words;
        switch (Bits(w, 8, 6)) {
            case 1:
                expected.prns.clear();
                for (int p = 0; p < 210; ++p) {
                    if (Bit(w, 14 + p) != 0 && expected.prns.size() < 51) {
                        expected.prns.push_back(p + 1);
                    }
                }
                expected.iodp = static_cast<int>(Bits(w, 224, 2));
                break;
            case 18: {
                const int band = static_cast<int>(Bits(w, 18, 4));
                ExpectedMask mask{static_cast<int>(Bits(w, 22, 2)), {}};
                const int bits = band < 8 ? 201 : band == 8 ? 200 : 192;
                for (int p = 0; p < bits; ++p) {
                    if (Bit(w, 24 + p) != 0) {
                        mask.positions.push_back(p);
                    }
                }
                expected.masks[{line.prn, band}] = mask;
                break;
            }
            case 26: {
                const int band = static_cast<int>(Bits(w, 14, 4));
                const int block = static_cast<int>(Bits(w, 18, 4));
                const auto found = expected.masks.find({line.prn, band});
                if (found == expected.masks.end() || found->second.iodi != static_cast<int>(Bits(w, 217, 2))) {
                    break;
                }
                for (int j = 0; j < 15; ++j) {
                    const auto index = static_cast<std::size_t>(15 * block + j);
                    if (index < found->second.positions.size()) {
                        expected.igp[static_cast<std::size_t>(band)]
                                    [static_cast<std::size_t>(found->second.positions[index])] =
                            static_cast<std::uint16_t>(Bits(w, 22 + 13 * j, 13));
                    }
                }
                break;
            }
            default:
                break;
        }
    }
    return expected;
}

int SlotOf(const CWaasDecoder& decoder, int prn) {
    const auto prns = decoder.GeoPrns();
    const auto found = std::find(prns.begin(), prns.end(), prn);
    return found == prns.end() ? -1 : static_cast<int>(found - prns.begin());
}

void FeedAll(CWaasDecoder& decoder, const std::vector<test::SbasCaptureLine>& lines) {
    for (const auto& line : lines) {
        decoder.ProcessWaasRecord(Msg80Frame(line.prn, line.words, static_cast<std::uint32_t>(line.seconds)));
    }
}

std::string Word(const CSettingsStore& store, int i) {
    return store.GetString(kWaasNonVolatile, WaasWordKey(i), "missing");
}

// ---------------------------------------------------------------------------
// Real broadcasts

TEST(CWaasDecoderReal, RealBroadcasts_DecodeMasksAndDelaysAsReadBitByBit) {
    const auto lines = test::ReadSbasCapture(kCapture);
    const Expected expected = ReadByHand(lines);
    CWaasDecoder decoder;
    std::map<WaasOutcome, int> outcomes;
    for (const auto& line : lines) {
        ++outcomes[decoder.ProcessWaasRecord(Msg80Frame(line.prn, line.words))];
    }

    EXPECT_EQ(outcomes[WaasOutcome::PrnMask], 32);
    EXPECT_EQ(outcomes[WaasOutcome::IgpMask], 28);
    EXPECT_EQ(outcomes[WaasOutcome::IonoDelays], 140);
    EXPECT_EQ(outcomes[WaasOutcome::BadCrc], 0);
    EXPECT_GT(outcomes[WaasOutcome::Accepted], 0);
    EXPECT_GT(outcomes[WaasOutcome::Ignored], 0);  // types 7, 10, 17, 27, 28, 63

    const WaasPrnMask& prnMask = decoder.PrnMask();
    EXPECT_EQ(std::vector<int>(prnMask.prns.begin(), prnMask.prns.begin() + prnMask.count), expected.prns);
    EXPECT_EQ(prnMask.iodp, expected.iodp);

    ASSERT_EQ(expected.masks.size(), 7U);
    for (const auto& [key, mask] : expected.masks) {
        const auto& [prn, band] = key;
        SCOPED_TRACE("PRN " + std::to_string(prn) + " band " + std::to_string(band));
        const int slot = SlotOf(decoder, prn);
        ASSERT_GE(slot, 0);
        const IgpMaskRecord& record = decoder.IgpMask(slot, band);
        EXPECT_EQ(record.iodi, mask.iodi);
        EXPECT_EQ(record.geoPrn, prn);
        ASSERT_EQ(record.count, static_cast<int>(mask.positions.size()));
        EXPECT_EQ(std::vector<int>(record.igp.begin(), record.igp.begin() + record.count), mask.positions);
    }
    int placed = 0;
    for (std::size_t band = 0; band < 11; ++band) {
        for (std::size_t i = 0; i < 201; ++i) {
            SCOPED_TRACE("band " + std::to_string(band) + " entry " + std::to_string(i));
            EXPECT_EQ(decoder.Grid().igp[band][i], expected.igp[band][i]);
            placed += expected.igp[band][i] != 0xFFFF ? 1 : 0;
        }
    }
    EXPECT_GT(placed, 150);
    EXPECT_EQ(decoder.Grid().polarFlags, 0U);
}

TEST(CWaasDecoderReal, FramesWithBadParity_ChangeNeitherGridNorStore) {
    const auto lines = test::ReadSbasCapture(kCapture);
    const auto bad = test::ReadSbasCapture("sbas_crc_failures_2023-11-04.txt");
    CSettingsStore store;
    CWaasDecoder decoder(&store);
    FeedAll(decoder, lines);
    const std::string text = store.Text();
    const IonoGrid grid = decoder.Grid();

    for (const auto& line : bad) {
        SCOPED_TRACE(std::to_string(line.seconds));
        // Sent as from a GEO already in a slot, so that no slot changes either.
        EXPECT_EQ(decoder.ProcessWaasRecord(Msg80Frame(137, line.words)), WaasOutcome::BadCrc);
    }
    EXPECT_EQ(store.Text(), text);
    EXPECT_EQ(decoder.Grid().igp, grid.igp);
}

TEST(CWaasDecoderReal, AnyCorruptedBitOfAMaskOrDelayMessage_ChangesNothing) {
    const auto lines = test::ReadSbasCapture(kCapture);
    CSettingsStore store;
    CWaasDecoder decoder(&store);
    FeedAll(decoder, lines);
    const std::string text = store.Text();
    const IonoGrid grid = decoder.Grid();
    const WaasPrnMask prnMask = decoder.PrnMask();

    // A fresh mask (another IODI) and delays would change both, were they intact.
    for (const auto& words :
         {PrnMaskMessage({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}, 2),
          IgpMaskMessage(7, 1, test::FirstPositions(30)),
          IonoDelayMessage(7, 0, 3, std::vector<std::uint32_t>(15, IgpField(99, 3)))}) {
        for (int bit = 0; bit < 250; bit += 7) {
            SCOPED_TRACE("type " + std::to_string(WaasBits(words, 8, 6)) + " bit " + std::to_string(bit));
            WaasWords corrupted = words;
            corrupted[static_cast<std::size_t>(bit / 32)] ^= 0x80000000U >> (bit % 32);
            EXPECT_EQ(decoder.ProcessWaasRecord(Msg80Frame(137, corrupted)), WaasOutcome::BadCrc);
        }
    }
    EXPECT_EQ(store.Text(), text);
    EXPECT_EQ(decoder.Grid().igp, grid.igp);
    EXPECT_EQ(decoder.PrnMask(), prnMask);
}

// ---------------------------------------------------------------------------
// GEO slots

TEST(CWaasDecoderSlots, FourthGeo_ReplacesTheLeastRecentlyUsedSlotAndRewritesWord000) {
    CSettingsStore store;
    CWaasDecoder decoder(&store);
    const WaasWords nothing = test::CWaasMessageBuilder(0).Sealed();

    // The first new PRN finds every slot equally unused: the lowest goes.
    decoder.ProcessWaasRecord(Msg80Frame(120, nothing));
    EXPECT_EQ(decoder.GeoPrns(), (std::array<std::int32_t, 3>{120, 135, 35}));
    decoder.ProcessWaasRecord(Msg80Frame(121, nothing));
    decoder.ProcessWaasRecord(Msg80Frame(122, nothing));
    EXPECT_EQ(decoder.GeoPrns(), (std::array<std::int32_t, 3>{120, 121, 122}));
    // 121 is now the one heard longest ago.
    for (const int prn : {122, 120, 122, 120}) {
        decoder.ProcessWaasRecord(Msg80Frame(prn, nothing));
    }
    decoder.ProcessWaasRecord(Msg80Frame(133, nothing));

    EXPECT_EQ(decoder.GeoPrns(), (std::array<std::int32_t, 3>{120, 133, 122}));
    const auto word0 = ScanHex(Word(store, 0));
    ASSERT_TRUE(word0.has_value());
    EXPECT_EQ(Word(store, 0), "7A8578");
    EXPECT_EQ(*word0 & 0xFFU, 120U);
    EXPECT_EQ((*word0 >> 8) & 0xFFU, 133U);
    EXPECT_EQ((*word0 >> 16) & 0xFFU, 122U);
    EXPECT_EQ(*word0 >> 24, 0U);
}

TEST(CWaasDecoderSlots, ReplacedSlot_NoLongerPlacesDelaysWithTheOldGeosMask) {
    CWaasDecoder decoder;
    decoder.ProcessWaasRecord(Msg80Frame(138, IgpMaskMessage(3, 1, test::FirstPositions(20))));
    decoder.ProcessWaasRecord(Msg80Frame(135, test::CWaasMessageBuilder(0).Sealed()));
    decoder.ProcessWaasRecord(Msg80Frame(35, test::CWaasMessageBuilder(0).Sealed()));
    decoder.ProcessWaasRecord(Msg80Frame(131, test::CWaasMessageBuilder(0).Sealed()));  // takes 138's slot
    ASSERT_EQ(decoder.GeoPrns()[0], 131);

    decoder.ProcessWaasRecord(Msg80Frame(131, IonoDelayMessage(3, 0, 1, {IgpField(40, 2)})));
    EXPECT_EQ(decoder.Grid().igp[3][0], IonoGrid::kNeverReceived);
}

// ---------------------------------------------------------------------------
// Types 18 and 26

TEST(CWaasDecoderDelays, Type26BeforeItsBandsMask_StoresNothing_AfterItBlockOneFillsIgps15To29) {
    CWaasDecoder decoder;
    std::vector<int> positions;
    for (int p = 0; p < 40; ++p) {
        positions.push_back(3 + 4 * p);  // every fourth point from 3
    }
    std::vector<std::uint32_t> block1;
    for (std::uint32_t j = 0; j < 15; ++j) {
        block1.push_back(IgpField(100 + j, j % 16));
    }

    EXPECT_EQ(decoder.ProcessWaasRecord(Msg80Frame(135, IonoDelayMessage(4, 1, 2, block1))), WaasOutcome::IonoDelays);
    for (const auto value : decoder.Grid().igp[4]) {
        ASSERT_EQ(value, IonoGrid::kNeverReceived);
    }

    decoder.ProcessWaasRecord(Msg80Frame(135, IgpMaskMessage(4, 2, positions)));
    decoder.ProcessWaasRecord(Msg80Frame(135, IonoDelayMessage(4, 1, 2, block1)));

    const auto& band = decoder.Grid().igp[4];
    for (std::size_t i = 0; i < band.size(); ++i) {
        SCOPED_TRACE(i);
        const auto at = std::find(positions.begin(), positions.end(), static_cast<int>(i));
        const auto j = at - positions.begin();
        if (at != positions.end() && j >= 15 && j < 30) {
            EXPECT_EQ(band[i], IgpField(100 + static_cast<std::uint32_t>(j - 15), static_cast<std::uint32_t>(j - 15)));
        } else {
            EXPECT_EQ(band[i], IonoGrid::kNeverReceived);
        }
    }
}

TEST(CWaasDecoderDelays, Type26OfAnotherIodiOrGeo_IsDroppedAndEarlierDelaysStay) {
    CWaasDecoder decoder;
    decoder.ProcessWaasRecord(Msg80Frame(135, IgpMaskMessage(2, 1, test::FirstPositions(10))));
    decoder.ProcessWaasRecord(Msg80Frame(135, IonoDelayMessage(2, 0, 1, {IgpField(8, 1), IgpField(9, 1)})));
    decoder.ProcessWaasRecord(Msg80Frame(135, IonoDelayMessage(2, 0, 2, {IgpField(50, 1)})));
    decoder.ProcessWaasRecord(Msg80Frame(138, IonoDelayMessage(2, 0, 1, {IgpField(60, 1)})));

    EXPECT_EQ(decoder.Grid().igp[2][0], IgpField(8, 1));
    EXPECT_EQ(decoder.Grid().igp[2][1], IgpField(9, 1));
}

TEST(CWaasDecoderDelays, LastBlockOfAMask_StopsAtTheMaskCount) {
    CWaasDecoder decoder;
    decoder.ProcessWaasRecord(Msg80Frame(135, IgpMaskMessage(0, 0, test::FirstPositions(17))));
    decoder.ProcessWaasRecord(
        Msg80Frame(135, IonoDelayMessage(0, 1, 0, std::vector<std::uint32_t>(15, IgpField(12, 4)))));

    EXPECT_EQ(decoder.Grid().igp[0][15], IgpField(12, 4));
    EXPECT_EQ(decoder.Grid().igp[0][16], IgpField(12, 4));
    EXPECT_EQ(decoder.Grid().igp[0][17], IonoGrid::kNeverReceived);
}

TEST(CWaasDecoderDelays, RepeatedType18_WritesNothingToTheStore) {
    CSettingsStore store;
    CWaasDecoder decoder(&store);
    const auto mask = Msg80Frame(138, IgpMaskMessage(6, 3, test::FirstPositions(25)));
    decoder.ProcessWaasRecord(mask);
    const int seventh = CWaasNonVolatile::RecordWord(0, 6) + 6;
    ASSERT_NE(Word(store, seventh), "0");

    // Spoil the stored copy: a write would repair it.
    store.SetString(kWaasNonVolatile, WaasWordKey(seventh), "BAD");
    decoder.ProcessWaasRecord(mask);
    EXPECT_EQ(Word(store, seventh), "BAD");

    // A new IODI is a new mask.
    decoder.ProcessWaasRecord(Msg80Frame(138, IgpMaskMessage(6, 2, test::FirstPositions(25))));
    EXPECT_NE(Word(store, seventh), "BAD");
}

TEST(CWaasDecoderDelays, Type18Record_KeepsCountPrnAndHeaderInTheLow23BitsOfItsSeventhWord) {
    CSettingsStore store;
    CWaasDecoder decoder(&store);
    decoder.ProcessWaasRecord(Msg80Frame(135, IgpMaskMessage(6, 3, {0, 5, 200}, 4)));

    const int first = CWaasNonVolatile::RecordWord(1, 6);
    EXPECT_EQ(first, 8 + 7 * (6 + 1));
    const auto word0 = ScanHex(Word(store, first));
    const auto seventh = ScanHex(Word(store, first + 6));
    ASSERT_TRUE(word0 && seventh);
    EXPECT_EQ(*word0, 0x84000000U);  // mask bits 0 and 5
    // Mask bit 200, the last of bands 0-7, is the bit just above the replaced 23.
    const std::uint32_t header = (4U << 6) | (6U << 2) | 3U;  // band count, band, IODI
    EXPECT_EQ(*seventh, 0x800000U | 3U | (((135U + 8U) % 32U) << 8) | (header << 13));
}

// ---------------------------------------------------------------------------
// Types 1 and the others

TEST(CWaasDecoderPrnMask, NewMask_IsPersistedWithItsCount_SameMaskAgainWritesNothing) {
    CSettingsStore store;
    CWaasDecoder decoder(&store);
    std::vector<int> prns = test::FirstPrns(30);
    prns.push_back(135);
    decoder.ProcessWaasRecord(Msg80Frame(138, PrnMaskMessage(prns, 1)));

    EXPECT_EQ(decoder.PrnMask().count, 31);
    EXPECT_EQ(decoder.PrnMask().iodp, 1);
    EXPECT_EQ(decoder.PrnMask().prns[30], 135);
    EXPECT_EQ(Word(store, 1), "FFFFFFFC");  // PRNs 1-30 are message bits 14-43
    EXPECT_EQ(ScanHex(Word(store, 7)).value_or(0) & 0xFFFU, 31U);

    store.SetString(kWaasNonVolatile, WaasWordKey(1), "BAD");
    decoder.ProcessWaasRecord(Msg80Frame(138, PrnMaskMessage(prns, 1)));
    EXPECT_EQ(Word(store, 1), "BAD");
}

TEST(CWaasDecoderPrnMask, MoreThan51Prns_KeepsTheFirst51) {
    CWaasDecoder decoder;
    decoder.ProcessWaasRecord(Msg80Frame(138, PrnMaskMessage(test::FirstPrns(60), 0)));
    EXPECT_EQ(decoder.PrnMask().count, 51);
    EXPECT_EQ(decoder.PrnMask().prns[50], 51);
}

TEST(CWaasDecoderOutcomes, TypesWithoutGridContent_AreAcceptedOrIgnoredAndChangeNothing) {
    CSettingsStore store;
    CWaasDecoder decoder(&store);
    decoder.ProcessWaasRecord(Msg80Frame(138, test::CWaasMessageBuilder(0).Sealed()));
    const std::string text = store.Text();
    for (const int type : {0, 2, 3, 4, 5, 9, 24, 25}) {
        SCOPED_TRACE(type);
        EXPECT_EQ(decoder.ProcessWaasRecord(Msg80Frame(138, test::CWaasMessageBuilder(type).Sealed())),
                  WaasOutcome::Accepted);
    }
    for (const int type : {6, 7, 10, 12, 17, 27, 28, 62, 63}) {
        SCOPED_TRACE(type);
        EXPECT_EQ(decoder.ProcessWaasRecord(Msg80Frame(138, test::CWaasMessageBuilder(type).Sealed())),
                  WaasOutcome::Ignored);
    }
    EXPECT_EQ(store.Text(), text);
    for (const auto& band : decoder.Grid().igp) {
        for (const auto value : band) {
            ASSERT_EQ(value, IonoGrid::kNeverReceived);
        }
    }
}

TEST(CWaasDecoderOutcomes, DamagedFrame_IsRejectedBeforeAnything) {
    CSettingsStore store;
    CWaasDecoder decoder(&store);
    auto frame = Msg80Frame(120, PrnMaskMessage(test::FirstPrns(25), 0));
    frame[20] ^= 0x01;  // the data sum no longer matches
    EXPECT_EQ(decoder.ProcessWaasRecord(frame), WaasOutcome::BadFrame);
    EXPECT_EQ(decoder.ProcessWaasRecord(std::span(frame).first(30)), WaasOutcome::BadFrame);
    EXPECT_EQ(decoder.ProcessWaasRecord({}), WaasOutcome::BadFrame);
    EXPECT_FALSE(decoder.Initialised());
    EXPECT_EQ(store.Text(), "");
}

// ---------------------------------------------------------------------------
// Polar bands

TEST(CWaasDecoderPolar, PolarDelays_SetTheirFlag_BandPointsAt75NOr65S_ClearIt) {
    CWaasDecoder decoder;
    decoder.ProcessWaasRecord(Msg80Frame(138, IgpMaskMessage(9, 0, test::FirstPositions(3))));
    decoder.ProcessWaasRecord(Msg80Frame(138, IgpMaskMessage(10, 0, test::FirstPositions(3))));
    EXPECT_EQ(decoder.Grid().polarFlags, 0U) << "a mask alone says nothing";
    decoder.ProcessWaasRecord(Msg80Frame(138, IonoDelayMessage(9, 0, 0, {IgpField(10, 1)})));
    EXPECT_EQ(decoder.Grid().polarFlags, IonoGrid::kNorthPolarInUse);
    decoder.ProcessWaasRecord(Msg80Frame(138, IonoDelayMessage(10, 5, 0, {})));
    EXPECT_EQ(decoder.Grid().polarFlags, 3U) << "set even when the block stores nothing";

    // Band 3, 60W column: mask bit 1 is 65S; bit 51 + 26 = 77 is 75N of the next column pair.
    decoder.ProcessWaasRecord(Msg80Frame(138, IgpMaskMessage(3, 0, {2, 3, 77})));
    EXPECT_EQ(decoder.Grid().polarFlags, IonoGrid::kSouthPolarInUse);
    decoder.ProcessWaasRecord(Msg80Frame(138, IgpMaskMessage(4, 0, {1})));
    EXPECT_EQ(decoder.Grid().polarFlags, 0U);
}

// ---------------------------------------------------------------------------
// The non-volatile block across runs

TEST(CWaasNonVolatileRuns, RestartWithTheSameSettings_PlacesDelaysBeforeAnyNewType18) {
    const auto lines = test::ReadSbasCapture(kCapture);
    CSettingsStore store;
    std::array<std::int32_t, 3> prns{};
    WaasPrnMask prnMask;
    {
        CWaasDecoder first(&store);
        FeedAll(first, lines);
        prns = first.GeoPrns();
        prnMask = first.PrnMask();
    }
    std::uint32_t sum = 0;
    for (int i = 0; i < 134; ++i) {
        sum += ScanHex(Word(store, i)).value();
    }
    EXPECT_EQ(ScanHex(store.GetString(kWaasNonVolatile, kCheckSumKey, "")), sum);

    // The second run sees only delays.
    std::vector<test::SbasCaptureLine> delaysOnly;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(delaysOnly),
                 [](const auto& line) { return WaasBits(line.words, 8, 6) == 26; });
    CSettingsStore reread;
    reread.Parse(store.Text());
    CWaasDecoder second(&reread);
    FeedAll(second, delaysOnly);

    EXPECT_EQ(second.GeoPrns(), prns);
    EXPECT_GE(prnMask.count, 20);
    EXPECT_EQ(second.PrnMask(), prnMask);
    const Expected expected = ReadByHand(lines);
    Expected expectedDelays = ReadByHand(delaysOnly);  // no masks: nothing placed by hand
    for (const auto& [key, mask] : expected.masks) {
        SCOPED_TRACE("PRN " + std::to_string(key.first) + " band " + std::to_string(key.second));
        const IgpMaskRecord& record = second.IgpMask(SlotOf(second, key.first), key.second);
        EXPECT_EQ(record.iodi, mask.iodi);
        EXPECT_EQ(std::vector<int>(record.igp.begin(), record.igp.begin() + record.count), mask.positions);
    }
    // Every delay of the run placed by the stored masks, as the first run
    // placed them once its masks had arrived.
    std::vector<test::SbasCaptureLine> masksThenDelays;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(masksThenDelays),
                 [](const auto& line) { return WaasBits(line.words, 8, 6) == 18; });
    masksThenDelays.insert(masksThenDelays.end(), delaysOnly.begin(), delaysOnly.end());
    EXPECT_EQ(second.Grid().igp, ReadByHand(masksThenDelays).igp);
    EXPECT_NE(second.Grid().igp, expectedDelays.igp);
    EXPECT_EQ(reread.Text(), store.Text()) << "nothing new to write";
}

TEST(CWaasNonVolatileRuns, MaskOfAllGpsSatellites_IsWrittenAndSurvivesARestart) {
    CSettingsStore store;
    std::vector<int> prns = test::FirstPrns(32);
    prns.push_back(135);
    {
        CWaasDecoder first(&store);
        first.ProcessWaasRecord(Msg80Frame(138, PrnMaskMessage(prns, 3)));
    }
    EXPECT_EQ(Word(store, 1), "FFFFFFFF");

    CWaasDecoder second(&store);
    second.ProcessWaasRecord(Msg80Frame(138, test::CWaasMessageBuilder(0).Sealed()));
    EXPECT_EQ(second.PrnMask().count, 33);
    EXPECT_EQ(second.PrnMask().iodp, 3);
}

TEST(CWaasNonVolatileRuns, CheckSumEditedByHand_StartsEmptyAndRewritesTheSection) {
    const auto lines = test::ReadSbasCapture(kCapture);
    CSettingsStore store;
    {
        CWaasDecoder first(&store);
        FeedAll(first, lines);
    }
    const auto sum = ScanHex(store.GetString(kWaasNonVolatile, kCheckSumKey, "")).value();
    store.SetString(kWaasNonVolatile, kCheckSumKey, FormatHex(sum + 1));

    CWaasDecoder second(&store);
    const auto delay =
        std::find_if(lines.begin(), lines.end(), [](const auto& l) { return WaasBits(l.words, 8, 6) == 26; });
    ASSERT_NE(delay, lines.end());
    second.ProcessWaasRecord(Msg80Frame(138, delay->words));  // a GEO of the initial slots: no reassignment

    EXPECT_EQ(second.GeoPrns(), (std::array<std::int32_t, 3>{138, 135, 35}));
    EXPECT_EQ(second.PrnMask().iodp, -1);
    for (int slot = 0; slot < 3; ++slot) {
        for (int band = 0; band < 11; ++band) {
            EXPECT_EQ(second.IgpMask(slot, band).iodi, -1);
        }
    }
    for (const auto& band : second.Grid().igp) {
        for (const auto value : band) {
            ASSERT_EQ(value, IonoGrid::kNeverReceived);
        }
    }
    EXPECT_EQ(Word(store, 0), FormatHex(kInitialWord0));
    for (int i = 1; i < 134; ++i) {
        ASSERT_EQ(Word(store, i), "0") << WaasWordKey(i);
    }
    EXPECT_EQ(store.GetString(kWaasNonVolatile, kCheckSumKey, ""), FormatHex(kInitialWord0));

    // The rewritten section loads cleanly next time.
    CWaasDecoder third(&store);
    EXPECT_TRUE(third.LoadWaasNonVolatile());
}

TEST(CWaasNonVolatileRuns, MissingOrUnscannableWord_FailsTheLoadAndKeepsWhatWasRead) {
    CSettingsStore store;
    {
        CWaasDecoder first(&store);
        first.ProcessWaasRecord(Msg80Frame(120, PrnMaskMessage(test::FirstPrns(25), 0)));
    }
    CSettingsStore unscannable;
    unscannable.Parse(store.Text());
    unscannable.SetString(kWaasNonVolatile, WaasWordKey(5), "xyz");
    CWaasNonVolatile block(&unscannable);
    EXPECT_FALSE(block.Load());
    EXPECT_EQ(block.Cached()[4], ScanHex(Word(store, 4)).value());
    EXPECT_EQ(block.Cached()[5], std::nullopt);
    EXPECT_EQ(block.Words()[4], 0U);

    CSettingsStore noCheckSum;
    noCheckSum.Parse("[WAASNonVolatile]\nWORD000=1\n");
    CWaasNonVolatile partial(&noCheckSum);
    EXPECT_FALSE(partial.Load());
    EXPECT_EQ(noCheckSum.Text(), "[WAASNonVolatile]\nWORD000=1\n") << "a missing key is no reason to rewrite";

    CWaasNonVolatile none(nullptr);
    EXPECT_FALSE(none.Load());
    none.Words()[3] = 7;
    none.Save();  // nowhere to write: only the cache follows
    EXPECT_EQ(none.Cached()[3], 7U);
}

TEST(CWaasNonVolatileRuns, StoredRecordThatDoesNotFitItsPlace_IsNotApplied) {
    CSettingsStore store;
    {
        CWaasDecoder first(&store);
        first.ProcessWaasRecord(Msg80Frame(138, IgpMaskMessage(1, 2, test::FirstPositions(12))));
        first.ProcessWaasRecord(Msg80Frame(138, IgpMaskMessage(2, 2, test::FirstPositions(12))));
    }
    // Move band 2's record (position 2) to position 3, where band 2 does not belong.
    const int from = CWaasNonVolatile::RecordWord(0, 2);
    const int to = CWaasNonVolatile::RecordWord(0, 3);
    std::uint32_t sum = ScanHex(store.GetString(kWaasNonVolatile, kCheckSumKey, "")).value();
    for (int i = 0; i < 7; ++i) {
        const auto value = ScanHex(Word(store, from + i)).value();
        sum += value - ScanHex(Word(store, to + i)).value();
        store.SetString(kWaasNonVolatile, WaasWordKey(to + i), FormatHex(value));
    }
    store.SetString(kWaasNonVolatile, kCheckSumKey, FormatHex(sum));

    CWaasDecoder second(&store);
    ASSERT_TRUE(second.LoadWaasNonVolatile());
    second.ProcessWaasRecord(Msg80Frame(138, test::CWaasMessageBuilder(0).Sealed()));
    EXPECT_EQ(second.IgpMask(0, 1).count, 12);
    EXPECT_EQ(second.IgpMask(0, 2).count, 12);
    EXPECT_EQ(second.IgpMask(0, 3).iodi, -1);
}

}  // namespace
}  // namespace zarnmon
