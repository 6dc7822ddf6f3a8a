#include "sim/waas_broadcast.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "sim/igp_grid.h"
#include "sim/iono_model.h"
#include "sim/sim_config.h"
#include "support/sbas_capture.h"

namespace zarnmon::sim {
namespace {

// ---------------------------------------------------------------------------
// A small decoder of its own, written from the message-80 and DO-229 layouts
// and sharing no code with the broadcaster: frames are split by hand, bits
// read one at a time and the CRC run bit by bit.

using Words = std::array<std::uint32_t, 8>;

struct Record {
    int prn = 0;
    int spare = 0;
    std::uint32_t secondOfWeek = 0;
    Words words{};
};

std::uint32_t Le(const std::vector<std::uint8_t>& bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = (value << 8) | bytes[at + static_cast<std::size_t>(i)];
    }
    return value;
}

// Every frame must be a complete, valid message 80; anything else fails.
std::vector<Record> SplitFrames(const std::vector<std::uint8_t>& bytes) {
    std::vector<Record> records;
    std::size_t at = 0;
    while (at < bytes.size()) {
        if (bytes.size() - at < 52 || std::string(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                                                  bytes.begin() + static_cast<std::ptrdiff_t>(at + 4)) != "$BIN") {
            ADD_FAILURE() << "no message 80 frame at byte " << at;
            break;
        }
        EXPECT_EQ(Le(bytes, at + 4, 2), 80U);
        EXPECT_EQ(Le(bytes, at + 6, 2), 40U);
        std::uint32_t sum = 0;
        for (std::size_t i = 0; i < 40; ++i) {
            sum += bytes[at + 8 + i];
        }
        EXPECT_EQ(Le(bytes, at + 48, 2), sum & 0xFFFFU);
        EXPECT_EQ(bytes[at + 50], 0x0D);
        EXPECT_EQ(bytes[at + 51], 0x0A);
        Record record;
        record.prn = static_cast<int>(Le(bytes, at + 8, 2));
        record.spare = static_cast<int>(Le(bytes, at + 10, 2));
        record.secondOfWeek = Le(bytes, at + 12, 4);
        for (std::size_t i = 0; i < 8; ++i) {
            record.words[i] = Le(bytes, at + 16 + 4 * i, 4);
        }
        records.push_back(record);
        at += 52;
    }
    return records;
}

std::uint32_t Field(const Words& words, int start, int width) {
    std::uint32_t value = 0;
    for (int bit = start; bit < start + width; ++bit) {
        value = (value << 1) | ((words[static_cast<std::size_t>(bit / 32)] >> (31 - bit % 32)) & 1U);
    }
    return value;
}

std::int32_t SignedField(const Words& words, int start, int width) {
    const std::uint32_t raw = Field(words, start, width);
    const auto value = static_cast<std::int64_t>(raw);
    return static_cast<std::int32_t>((raw >> (width - 1)) != 0 ? value - (std::int64_t{1} << width) : value);
}

std::uint32_t BitwiseCrc24q(const Words& words) {
    std::uint32_t crc = 0;
    for (int bit = 0; bit < 226; ++bit) {
        const bool feedback = (((crc >> 23) & 1U) ^ Field(words, bit, 1)) != 0;
        crc = (crc << 1) & 0xFFFFFFU;
        if (feedback) {
            crc ^= 0x864CFBU;
        }
    }
    return crc;
}

int Type(const Words& words) { return static_cast<int>(Field(words, 8, 6)); }

struct BandMaskState {
    int bandCount = 0;
    int iodi = -1;
    std::vector<int> positions;
};

struct PlacedDelay {
    std::uint32_t units = 0;
    std::uint32_t givei = 0;
    std::uint32_t secondOfWeek = 0;
};

// Keeps, per GEO, the PRN mask and the band masks, and places type 26 delays
// by mask position into one grid keyed by (band, position).
class CReferenceDecoder {
public:
    void Take(const Record& record) {
        if (BitwiseCrc24q(record.words) != Field(record.words, 226, 24)) {
            ++crcFailures;
            return;
        }
        const Words& w = record.words;
        switch (Type(w)) {
            case 1: {
                std::vector<int> prns;
                for (int p = 0; p < 210; ++p) {
                    if (Field(w, 14 + p, 1) != 0) {
                        prns.push_back(p + 1);
                    }
                }
                prnMasks[record.prn] = {prns, static_cast<int>(Field(w, 224, 2))};
                break;
            }
            case 18: {
                const int band = static_cast<int>(Field(w, 18, 4));
                BandMaskState mask{static_cast<int>(Field(w, 14, 4)), static_cast<int>(Field(w, 22, 2)), {}};
                const int bits = band < 8 ? 201 : band == 8 ? 200 : 192;
                for (int p = 0; p < bits; ++p) {
                    if (Field(w, 24 + p, 1) != 0) {
                        mask.positions.push_back(p);
                    }
                }
                bandMasks[{record.prn, band}] = mask;
                break;
            }
            case 26: {
                const int band = static_cast<int>(Field(w, 14, 4));
                const int block = static_cast<int>(Field(w, 18, 4));
                const auto found = bandMasks.find({record.prn, band});
                if (found == bandMasks.end() || found->second.iodi != static_cast<int>(Field(w, 217, 2))) {
                    ++unplaced;
                    return;
                }
                const std::vector<int>& positions = found->second.positions;
                for (int j = 0; j < 15; ++j) {
                    const auto index = static_cast<std::size_t>(15 * block + j);
                    if (index < positions.size()) {
                        const std::uint32_t igp = Field(w, 22 + 13 * j, 13);
                        delays[{band, positions[index]}] = {igp >> 4, igp & 0xFU, record.secondOfWeek};
                    }
                }
                ++placed;
                break;
            }
            default:
                break;
        }
    }

    std::map<int, std::pair<std::vector<int>, int>> prnMasks;  // GEO PRN -> (PRNs, IODP)
    std::map<std::pair<int, int>, BandMaskState> bandMasks;    // (GEO PRN, band)
    std::map<std::pair<int, int>, PlacedDelay> delays;         // (band, position)
    int crcFailures = 0;
    int placed = 0;
    int unplaced = 0;
};

// ---------------------------------------------------------------------------

struct Capture {
    std::vector<Record> records;
    std::vector<std::size_t> framesPerSecond;
};

Capture Broadcast(const CWaasBroadcaster& broadcaster, std::int32_t week, double startSeconds, int seconds) {
    Capture run;
    std::vector<std::uint8_t> bytes;
    std::size_t before = 0;
    for (int s = 0; s < seconds; ++s) {
        broadcaster.AppendSecond(startSeconds + s, week, bytes);
        run.framesPerSecond.push_back((bytes.size() - before) / 52);
        before = bytes.size();
    }
    run.records = SplitFrames(bytes);
    return run;
}

std::string Where(const Record& record) {
    return "PRN " + std::to_string(record.prn) + " second " + std::to_string(record.secondOfWeek) + " type " +
           std::to_string(Type(record.words));
}

constexpr int kFiveMinutes = 300;

SimConfig Calgary() { return SimConfig{}; }

SimConfig At(double latitude, double longitude, std::uint32_t seed) {
    SimConfig config;
    config.latitude = latitude;
    config.longitude = longitude;
    config.seed = seed;
    return config;
}

// ---------------------------------------------------------------------------

TEST(CWaasBroadcasterFrames, EverySecond_AppendsOneValidMessage80FramePerGeo) {
    for (const int geos : {1, 2, 3}) {
        SCOPED_TRACE(std::to_string(geos) + " GEOs");
        const CWaasBroadcaster broadcaster(Calgary(), geos);
        const Capture run = Broadcast(broadcaster, 2443, 345600.0, 20);

        ASSERT_EQ(broadcaster.GeoCount(), geos);
        EXPECT_EQ(run.framesPerSecond, std::vector<std::size_t>(20, static_cast<std::size_t>(geos)));
        ASSERT_EQ(run.records.size(), 20U * static_cast<std::size_t>(geos));
        for (std::size_t i = 0; i < run.records.size(); ++i) {
            const Record& record = run.records[i];
            SCOPED_TRACE(Where(record));
            EXPECT_EQ(record.prn, broadcaster.GeoPrn(static_cast<int>(i) % geos));
            EXPECT_EQ(record.spare, 0);
            EXPECT_EQ(record.secondOfWeek, 345600U + static_cast<std::uint32_t>(i) / static_cast<std::uint32_t>(geos));
            EXPECT_EQ(Field(record.words, 250, 6), 0U);
        }
    }
}

TEST(CWaasBroadcasterFrames, GeoCountOutOfRange_IsBroughtIntoOneToThree) {
    EXPECT_EQ(CWaasBroadcaster(Calgary(), 0).GeoCount(), 1);
    EXPECT_EQ(CWaasBroadcaster(Calgary(), 7).GeoCount(), 3);
    EXPECT_THROW((void)CWaasBroadcaster(Calgary(), 2).MessageAt(2, 0), std::out_of_range);
}

TEST(CWaasBroadcasterFrames, Geos_AreWaasPrnsFirstThenADistinctSbasPrn) {
    for (const std::uint32_t seed : {1U, 2U, 77U, 1000U}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const CWaasBroadcaster broadcaster(At(40.0, -100.0, seed), 3);
        EXPECT_EQ(broadcaster.GeoPrn(0), 135);
        EXPECT_EQ(broadcaster.GeoPrn(1), 138);
        EXPECT_GE(broadcaster.GeoPrn(2), 120);
        EXPECT_LE(broadcaster.GeoPrn(2), 138);
        EXPECT_NE(broadcaster.GeoPrn(2), 135);
        EXPECT_NE(broadcaster.GeoPrn(2), 138);
        EXPECT_EQ(broadcaster.GeoPrns(), (std::vector<int>{135, 138, broadcaster.GeoPrn(2)}));
    }
}

TEST(CWaasBroadcasterFrames, WeekRollover_StampsSecondsOfTheNewWeekAndKeepsThePreambleRhythm) {
    const CWaasBroadcaster broadcaster(Calgary(), 1);
    std::vector<std::uint8_t> bytes;
    broadcaster.AppendSecond(604798.0, 2443, bytes);
    broadcaster.AppendSecond(604799.0, 2443, bytes);
    broadcaster.AppendSecond(0.0, 2444, bytes);
    broadcaster.AppendSecond(1.0, 2444, bytes);
    const std::vector<Record> records = SplitFrames(bytes);

    ASSERT_EQ(records.size(), 4U);
    EXPECT_EQ(records[0].secondOfWeek, 604798U);
    EXPECT_EQ(records[1].secondOfWeek, 604799U);
    EXPECT_EQ(records[2].secondOfWeek, 0U);
    EXPECT_EQ(records[3].secondOfWeek, 1U);
    // The week is a whole number of three-second preamble rounds: the
    // message received at 0 was sent from 604799 of the week before.
    EXPECT_EQ(Field(records[0].words, 0, 8), 0x53U);
    EXPECT_EQ(Field(records[1].words, 0, 8), 0x9AU);
    EXPECT_EQ(Field(records[2].words, 0, 8), 0xC6U);
    EXPECT_EQ(Field(records[3].words, 0, 8), 0x53U);
}

TEST(CWaasBroadcasterFrames, FractionalReceiverSecond_StampsTheWholeSecond) {
    const CWaasBroadcaster broadcaster(Calgary(), 1);
    std::vector<std::uint8_t> whole;
    std::vector<std::uint8_t> fraction;
    broadcaster.AppendSecond(345601.0, 2443, whole);
    broadcaster.AppendSecond(345601.95, 2443, fraction);

    EXPECT_EQ(whole, fraction);
}

// ---------------------------------------------------------------------------

TEST(CWaasBroadcasterMessages, EveryMessage_HasAValidCrcAndABroadcastType) {
    const std::set<int> types = {0, 1, 2, 3, 4, 5, 9, 18, 24, 25, 26};
    const CWaasBroadcaster broadcaster(Calgary(), 3);
    const Capture run = Broadcast(broadcaster, 2443, 345600.0, kFiveMinutes);

    ASSERT_EQ(run.records.size(), 3U * kFiveMinutes);
    for (const Record& record : run.records) {
        SCOPED_TRACE(Where(record));
        EXPECT_EQ(BitwiseCrc24q(record.words), Field(record.words, 226, 24));
        EXPECT_TRUE(types.contains(Type(record.words)));
    }
}

TEST(CWaasBroadcasterMessages, Preamble_Rotates53_9A_C6WithTheSecond) {
    const CWaasBroadcaster broadcaster(Calgary(), 2);
    const Capture run = Broadcast(broadcaster, 2443, 345600.0, 12);
    const std::array<std::uint32_t, 3> rotation = {0x53, 0x9A, 0xC6};

    for (const Record& record : run.records) {
        SCOPED_TRACE(Where(record));
        // The message received at second s was sent from s - 1; 0x53 starts
        // every third second from the GPS epoch.
        const std::uint32_t expected = rotation[(record.secondOfWeek + 2) % 3];
        EXPECT_EQ(Field(record.words, 0, 8), expected);
    }
}

TEST(CWaasBroadcasterMessages, FiveMinutes_CarryEveryTypeFromEveryGeo) {
    const CWaasBroadcaster broadcaster(Calgary(), 3);
    const Capture run = Broadcast(broadcaster, 2443, 345600.0, kFiveMinutes);
    std::map<int, std::set<int>> typesByPrn;
    for (const Record& record : run.records) {
        typesByPrn[record.prn].insert(Type(record.words));
    }

    ASSERT_EQ(typesByPrn.size(), 3U);
    for (const auto& [prn, seen] : typesByPrn) {
        SCOPED_TRACE("PRN " + std::to_string(prn));
        EXPECT_EQ(seen, (std::set<int>{0, 1, 2, 3, 4, 5, 9, 18, 24, 25, 26}));
    }
}

TEST(CWaasBroadcasterMessages, PrnMask_ListsGpsGlonassAndTheGeosWithAFixedIodpEveryMinute) {
    const CWaasBroadcaster broadcaster(Calgary(), 2);
    const Capture run = Broadcast(broadcaster, 2443, 345600.0, kFiveMinutes);
    std::vector<int> expected;
    for (int prn = 1; prn <= 32; ++prn) {
        expected.push_back(prn);
    }
    for (int slot = 38; slot <= 45; ++slot) {
        expected.push_back(slot);
    }
    expected.insert(expected.end(), {135, 138});

    std::map<int, std::vector<std::uint32_t>> seconds;
    for (const Record& record : run.records) {
        if (Type(record.words) != 1) {
            continue;
        }
        SCOPED_TRACE(Where(record));
        CReferenceDecoder decoder;
        decoder.Take(record);
        const auto& [prns, iodp] = decoder.prnMasks.at(record.prn);
        EXPECT_EQ(prns, expected);
        EXPECT_EQ(iodp, broadcaster.Iodp(record.prn == 135 ? 0 : 1));
        seconds[record.prn].push_back(record.secondOfWeek);
    }
    for (const auto& [prn, list] : seconds) {
        SCOPED_TRACE("PRN " + std::to_string(prn));
        ASSERT_GE(list.size(), 4U);
        for (std::size_t i = 1; i < list.size(); ++i) {
            EXPECT_EQ(list[i] - list[i - 1], 60U);
        }
    }
}

TEST(CWaasBroadcasterMessages, FastAndLongTermCorrections_CarryTheIodpOfThePrnMask) {
    const CWaasBroadcaster broadcaster(At(35.0, 139.0, 9), 3);
    const Capture run = Broadcast(broadcaster, 2443, 345600.0, kFiveMinutes);
    std::map<int, int> iodpByPrn;
    for (int geo = 0; geo < broadcaster.GeoCount(); ++geo) {
        iodpByPrn[broadcaster.GeoPrn(geo)] = broadcaster.Iodp(geo);
    }

    for (const Record& record : run.records) {
        SCOPED_TRACE(Where(record));
        const Words& w = record.words;
        const int iodp = iodpByPrn.at(record.prn);
        switch (Type(w)) {
            case 1:
                EXPECT_EQ(static_cast<int>(Field(w, 224, 2)), iodp);
                break;
            case 0:
            case 2:
            case 3:
            case 4:
            case 5:
                EXPECT_EQ(static_cast<int>(Field(w, 16, 2)), iodp);
                break;
            case 24:
                EXPECT_EQ(static_cast<int>(Field(w, 110, 2)), iodp);
                EXPECT_EQ(Field(w, 120, 1), 0U);  // velocity code
                EXPECT_EQ(static_cast<int>(Field(w, 120 + 103, 2)), iodp);
                break;
            case 25:
                for (const int half : {14, 120}) {
                    EXPECT_EQ(Field(w, half, 1), 0U);
                    EXPECT_EQ(static_cast<int>(Field(w, half + 103, 2)), iodp);
                    EXPECT_EQ(Field(w, half + 105, 1), 0U);  // spare
                    // Both satellites are GPS entries of the mask.
                    EXPECT_GE(Field(w, half + 1, 6), 1U);
                    EXPECT_LE(Field(w, half + 1, 6), 32U);
                    EXPECT_GE(Field(w, half + 52, 6), 1U);
                    EXPECT_LE(Field(w, half + 52, 6), 32U);
                }
                break;
            default:
                break;
        }
    }
}

TEST(CWaasBroadcasterMessages, FastCorrections_IodfRunsZeroToTwoAndSlotsPastTheMaskAreDoNotUse) {
    const CWaasBroadcaster broadcaster(Calgary(), 2);
    const Capture run = Broadcast(broadcaster, 2443, 345600.0, kFiveMinutes);
    const int maskCount = static_cast<int>(broadcaster.MaskPrns().size());
    std::map<std::pair<int, int>, std::vector<int>> iodfs;  // (GEO, type)

    for (const Record& record : run.records) {
        const Words& w = record.words;
        const int type = Type(w);
        if (type < 2 || type > 5) {
            continue;
        }
        SCOPED_TRACE(Where(record));
        iodfs[{record.prn, type}].push_back(static_cast<int>(Field(w, 14, 2)));
        for (int i = 0; i < 13; ++i) {
            const int entry = 13 * (type - 2) + i;  // 0-based mask entry
            const int prn = entry < maskCount ? broadcaster.MaskPrns()[static_cast<std::size_t>(entry)] : 0;
            const std::uint32_t udrei = Field(w, 174 + 4 * i, 4);
            const std::int32_t correction = SignedField(w, 18 + 12 * i, 12);
            if (prn == 0) {
                EXPECT_EQ(udrei, 15U);
                EXPECT_EQ(correction, 0);
            } else if (prn >= 38 && prn <= 61) {
                EXPECT_EQ(udrei, 14U);  // GLONASS: not monitored
            } else {
                EXPECT_LE(udrei, 13U);
                EXPECT_LE(std::abs(correction), 8 * 8);  // within 8 m
            }
        }
    }
    ASSERT_FALSE(iodfs.empty());
    for (const auto& [key, list] : iodfs) {
        SCOPED_TRACE("PRN " + std::to_string(key.first) + " type " + std::to_string(key.second));
        for (std::size_t i = 1; i < list.size(); ++i) {
            EXPECT_EQ(list[i], (list[i - 1] + 1) % 3);
        }
    }
}

TEST(CWaasBroadcasterMessages, FastCorrectionTypes_EachReturnWithinTenSeconds) {
    const CWaasBroadcaster broadcaster(Calgary(), 1);
    const Capture run = Broadcast(broadcaster, 2443, 345600.0, kFiveMinutes);
    std::map<int, std::uint32_t> last;
    for (const Record& record : run.records) {
        const int type = Type(record.words);
        if (type < 2 || type > 5) {
            continue;
        }
        SCOPED_TRACE(Where(record));
        if (last.contains(type)) {
            EXPECT_LE(record.secondOfWeek - last[type], 10U);
        }
        last[type] = record.secondOfWeek;
    }
    EXPECT_EQ(last.size(), 4U);
}

TEST(CWaasBroadcasterMessages, GeoNavigation_PutsTheGeoOnTheGeostationaryRing) {
    const CWaasBroadcaster broadcaster(Calgary(), 2);
    const Capture run = Broadcast(broadcaster, 2443, 345600.0, kFiveMinutes);
    int seen = 0;
    for (const Record& record : run.records) {
        if (Type(record.words) != 9) {
            continue;
        }
        SCOPED_TRACE(Where(record));
        const double x = SignedField(record.words, 39, 30) * 0.08;
        const double y = SignedField(record.words, 69, 30) * 0.08;
        const double z = SignedField(record.words, 99, 25) * 0.4;
        EXPECT_NEAR(std::hypot(x, y, z), 42164170.0, 1000.0);
        EXPECT_EQ(Field(record.words, 22, 13), (record.secondOfWeek % 86400) / 16);
        ++seen;
    }
    EXPECT_GE(seen, 4);
}

TEST(CWaasBroadcasterMessages, IgpMasks_NameEveryRegionBandWithItsPointsAndOneIodiPerGeo) {
    const CWaasBroadcaster broadcaster(Calgary(), 2);
    const Capture run = Broadcast(broadcaster, 2443, 345600.0, kFiveMinutes);
    const auto masks = broadcaster.Masks();
    std::map<std::pair<int, int>, int> seen;  // (GEO, band) -> count

    for (const Record& record : run.records) {
        if (Type(record.words) != 18) {
            continue;
        }
        SCOPED_TRACE(Where(record));
        const int geo = record.prn == broadcaster.GeoPrn(0) ? 0 : 1;
        CReferenceDecoder decoder;
        decoder.Take(record);
        ASSERT_EQ(decoder.bandMasks.size(), 1U);
        const auto& [key, mask] = *decoder.bandMasks.begin();
        const int band = key.second;
        EXPECT_EQ(mask.bandCount, static_cast<int>(masks.size()));
        EXPECT_EQ(mask.iodi, broadcaster.Iodi(geo));
        const auto expected =
            std::find_if(masks.begin(), masks.end(), [band](const BandMask& m) { return m.band == band; });
        ASSERT_NE(expected, masks.end());
        std::vector<int> positions;
        for (const Igp& igp : expected->igps) {
            positions.push_back(igp.position);
        }
        EXPECT_EQ(mask.positions, positions);
        // Bits past the band's mask length stay clear.
        for (int bit = 24 + BandMaskBits(band); bit < 226; ++bit) {
            EXPECT_EQ(Field(record.words, bit, 1), 0U);
        }
        ++seen[{geo, band}];
    }
    for (int geo = 0; geo < 2; ++geo) {
        for (const BandMask& mask : masks) {
            SCOPED_TRACE("GEO " + std::to_string(geo) + " band " + std::to_string(mask.band));
            EXPECT_GE((seen[{geo, mask.band}]), 2);  // a cycle is two minutes
        }
    }
}

TEST(CWaasBroadcasterMessages, SameSecond_GivesTheSameMessageWhereverTheRunStarted) {
    const CWaasBroadcaster broadcaster(Calgary(), 2);
    const CWaasBroadcaster twin(Calgary(), 2);
    const Capture early = Broadcast(broadcaster, 2443, 345600.0, 200);
    const Capture late = Broadcast(twin, 2443, 345700.0, 100);

    ASSERT_EQ(late.records.size(), 200U);
    for (std::size_t i = 0; i < late.records.size(); ++i) {
        SCOPED_TRACE(Where(late.records[i]));
        EXPECT_EQ(late.records[i].words, early.records[200 + i].words);
    }
}

TEST(CWaasBroadcasterMessages, AnotherSeed_ChangesTheBroadcast) {
    const Capture one = Broadcast(CWaasBroadcaster(At(51.0, -114.0, 1), 2), 2443, 345600.0, 60);
    const Capture other = Broadcast(CWaasBroadcaster(At(51.0, -114.0, 2), 2), 2443, 345600.0, 60);
    ASSERT_EQ(one.records.size(), other.records.size());

    std::size_t differing = 0;
    for (std::size_t i = 0; i < one.records.size(); ++i) {
        differing += one.records[i].words != other.records[i].words ? 1U : 0U;
    }
    EXPECT_GT(differing, one.records.size() / 2);
}

// ---------------------------------------------------------------------------

struct GridCase {
    const char* name;
    SimConfig config;
    WaasOptions options;
};

std::vector<GridCase> GridCases() {
    return {
        {"Calgary, two GEOs", Calgary(), {}},
        {"equator, three GEOs", At(0.0, 100.0, 5), {.geoCount = 3}},
        {"across the date line, one GEO", At(-40.0, 175.0, 11), {.geoCount = 1}},
        {"north cape without polar bands", At(70.0, 25.0, 3), {.geoCount = 2, .polarBands = false}},
        {"small box", At(-33.9, 18.4, 4), {.geoCount = 2, .latHalfSpan = 6.0, .lonHalfSpan = 6.0}},
    };
}

TEST(CWaasBroadcasterGrid, FiveMinutes_FillEveryMaskedIgpWithTheModelDelay) {
    for (const GridCase& grid : GridCases()) {
        SCOPED_TRACE(grid.name);
        const CWaasBroadcaster broadcaster(grid.config, grid.options);
        const Capture run = Broadcast(broadcaster, 2443, 345600.0, kFiveMinutes);
        CReferenceDecoder decoder;
        for (const Record& record : run.records) {
            decoder.Take(record);
        }

        EXPECT_EQ(decoder.crcFailures, 0);
        EXPECT_GT(decoder.placed, 0);
        std::size_t masked = 0;
        for (const BandMask& mask : broadcaster.Masks()) {
            const std::vector<Igp> band = BandIgps(mask.band);
            for (const Igp& igp : mask.igps) {
                SCOPED_TRACE("band " + std::to_string(igp.band) + " position " + std::to_string(igp.position));
                ++masked;
                const auto found = decoder.delays.find({igp.band, igp.position});
                ASSERT_NE(found, decoder.delays.end());
                const PlacedDelay& delay = found->second;
                // Where the grid says that position is, and what the model
                // gives there at the second of the message.
                const Igp& place = band[static_cast<std::size_t>(igp.position)];
                EXPECT_TRUE(Contains(
                    {grid.config.latitude, grid.config.longitude, grid.options.latHalfSpan, grid.options.lonHalfSpan},
                    place.latitude, place.longitude));
                const double model = VerticalDelayMetres(place.latitude, place.longitude, delay.secondOfWeek);
                EXPECT_NEAR(delay.units * 0.125, model, 0.0625 + 1e-9);
                EXPECT_EQ(broadcaster.ModelDelayAt(igp.band, igp.position, delay.secondOfWeek), model);
                EXPECT_GE(delay.givei, 5U);
                EXPECT_LE(delay.givei, 11U);
            }
        }
        EXPECT_EQ(decoder.delays.size(), masked);
    }
}

TEST(CWaasBroadcasterGrid, DelaysBeforeTheBandMask_AreNotPlacedAndLaterOnesAre) {
    const CWaasBroadcaster broadcaster(Calgary(), 2);
    const Capture run = Broadcast(broadcaster, 2443, 345600.0, kFiveMinutes);
    CReferenceDecoder decoder;
    std::set<std::pair<int, int>> masksSeen;
    for (const Record& record : run.records) {
        const Words& w = record.words;
        if (Type(w) == 18) {
            masksSeen.insert({record.prn, static_cast<int>(Field(w, 18, 4))});
        }
        if (Type(w) == 26) {
            SCOPED_TRACE(Where(record));
            const int placedBefore = decoder.placed;
            decoder.Take(record);
            const bool maskKnown = masksSeen.contains({record.prn, static_cast<int>(Field(w, 14, 4))});
            EXPECT_EQ(decoder.placed - placedBefore, maskKnown ? 1 : 0);
            continue;
        }
        decoder.Take(record);
    }
    EXPECT_EQ(decoder.unplaced + decoder.placed,
              static_cast<int>(std::count_if(run.records.begin(), run.records.end(),
                                             [](const Record& r) { return Type(r.words) == 26; })));
}

TEST(CWaasBroadcasterGrid, DelayBlocks_CoverTheMaskAndPadWithDoNotUse) {
    const CWaasBroadcaster broadcaster(Calgary(), 1);
    const Capture run = Broadcast(broadcaster, 2443, 345600.0, broadcaster.CycleSeconds());
    std::map<int, std::set<int>> blocksByBand;

    for (const Record& record : run.records) {
        const Words& w = record.words;
        if (Type(w) != 26) {
            continue;
        }
        SCOPED_TRACE(Where(record));
        const int band = static_cast<int>(Field(w, 14, 4));
        const int block = static_cast<int>(Field(w, 18, 4));
        blocksByBand[band].insert(block);
        EXPECT_EQ(static_cast<int>(Field(w, 217, 2)), broadcaster.Iodi(0));
        EXPECT_EQ(Field(w, 219, 7), 0U);  // spare
        const auto mask = std::find_if(broadcaster.Masks().begin(), broadcaster.Masks().end(),
                                       [band](const BandMask& m) { return m.band == band; });
        ASSERT_NE(mask, broadcaster.Masks().end());
        for (int j = 0; j < 15; ++j) {
            const std::uint32_t igp = Field(w, 22 + 13 * j, 13);
            if (15 * block + j >= static_cast<int>(mask->igps.size())) {
                EXPECT_EQ(igp, 0x1FFFU);  // delay 0x1FF, GIVEI 15
            } else {
                EXPECT_LT(igp >> 4, 510U);
            }
        }
    }
    // One cycle sends every block of every band.
    ASSERT_EQ(blocksByBand.size(), broadcaster.Masks().size());
    for (const BandMask& mask : broadcaster.Masks()) {
        SCOPED_TRACE("band " + std::to_string(mask.band));
        std::set<int> expected;
        for (int block = 0; 15 * block < static_cast<int>(mask.igps.size()); ++block) {
            expected.insert(block);
        }
        EXPECT_EQ(blocksByBand[mask.band], expected);
    }
}

TEST(CWaasBroadcasterGrid, IgpNotInTheMask_HasNoModelDelay) {
    const CWaasBroadcaster broadcaster(Calgary(), 2);

    EXPECT_FALSE(broadcaster.ModelDelayAt(7, 10, 345600.0).has_value());  // band 7 is over Asia
    EXPECT_FALSE(broadcaster.ModelDelayAt(1, 0, 345600.0).has_value());   // 75S
    EXPECT_FALSE(broadcaster.ModelDelayAt(11, 0, 345600.0).has_value());
    EXPECT_TRUE(broadcaster.ModelDelayAt(1, broadcaster.Masks()[1].igps.front().position, 345600.0).has_value());
}

// ---------------------------------------------------------------------------

TEST(IonoModel, AnyPlaceAndTime_StaysWithinHalfToTwelveMetres) {
    for (int lat = -85; lat <= 85; lat += 5) {
        for (int lon = -180; lon < 180; lon += 10) {
            for (int hour = 0; hour < 24; ++hour) {
                const double delay = VerticalDelayMetres(lat, lon, 3600.0 * hour);
                ASSERT_GE(delay, 0.5) << lat << ", " << lon << " at hour " << hour;
                ASSERT_LE(delay, 12.0) << lat << ", " << lon << " at hour " << hour;
            }
        }
    }
}

TEST(IonoModel, TwoMinutes_ChangeTheDelayByLessThanOneBroadcastStep) {
    for (int lat = -60; lat <= 60; lat += 15) {
        for (int lon = -180; lon < 180; lon += 30) {
            for (double t = 0.0; t < 86400.0; t += 600.0) {
                SCOPED_TRACE(std::to_string(lat) + ", " + std::to_string(lon) + " at " + std::to_string(t));
                EXPECT_LT(std::abs(VerticalDelayMetres(lat, lon, t + 120.0) - VerticalDelayMetres(lat, lon, t)), 0.125);
            }
        }
    }
}

TEST(IonoModel, Afternoon_HasSeveralTimesTheNightDelayAndFollowsTheSun) {
    // 14:00 local solar time at 0E is 14:00 GPS; at 90E it is 08:00 GPS.
    const double afternoonAt0 = VerticalDelayMetres(15.0, 0.0, 14 * 3600.0);
    const double nightAt0 = VerticalDelayMetres(15.0, 0.0, 2 * 3600.0);
    const double afternoonAt90 = VerticalDelayMetres(15.0, 90.0, 8 * 3600.0);

    EXPECT_GT(afternoonAt0, 4.0 * nightAt0);
    EXPECT_NEAR(afternoonAt90, afternoonAt0, 0.15 * afternoonAt0);
}

TEST(IonoModel, SecondsOfWeekAndSinceTheEpoch_GiveTheSameDelay) {
    const double secondsOfWeek = 345600.0 + 1234.0;
    const double sinceEpoch = 2443.0 * 604800.0 + secondsOfWeek;

    EXPECT_DOUBLE_EQ(VerticalDelayMetres(51.0, -114.0, secondsOfWeek), VerticalDelayMetres(51.0, -114.0, sinceEpoch));
    EXPECT_NEAR(VerticalDelayMetres(51.0, -114.0, 604799.0), VerticalDelayMetres(51.0, -114.0, 604800.0), 0.01);
}

// ---------------------------------------------------------------------------
// The reference decoder against real broadcasts: if it reads them right, it
// reads the layouts the monitor will read.

std::vector<Record> ReadCapture(const std::string& name) {
    std::vector<Record> records;
    for (const auto& line : test::ReadSbasCapture(name)) {
        Record record;
        record.prn = line.prn;
        record.secondOfWeek = static_cast<std::uint32_t>(line.seconds);
        std::ranges::copy(line.words, record.words.begin());
        records.push_back(record);
    }
    return records;
}

TEST(RealSbasCapture, ReferenceDecoder_PlacesEveryDelayBlockUnderItsGeosMask) {
    const std::vector<Record> records = ReadCapture("sbas_l1_2023-11-04_subset.txt");
    ASSERT_EQ(records.size(), 290U);
    // The capture starts between masks: take the masks first.
    CReferenceDecoder decoder;
    for (const Record& record : records) {
        if (Type(record.words) == 18) {
            decoder.Take(record);
        }
    }
    for (const Record& record : records) {
        decoder.Take(record);
    }

    EXPECT_EQ(decoder.crcFailures, 0);
    EXPECT_EQ(decoder.placed, 140);
    EXPECT_EQ(decoder.unplaced, 0);
    // MSAS and KASS mask two bands, GAGAN three.
    const std::map<std::pair<int, int>, int> bandCounts = {{{137, 7}, 2}, {{137, 8}, 2}, {{134, 7}, 2}, {{134, 8}, 2},
                                                           {{128, 5}, 3}, {{128, 6}, 3}, {{128, 7}, 3}};
    ASSERT_EQ(decoder.bandMasks.size(), bandCounts.size());
    for (const auto& [key, count] : bandCounts) {
        SCOPED_TRACE("PRN " + std::to_string(key.first) + " band " + std::to_string(key.second));
        EXPECT_EQ(decoder.bandMasks.at(key).bandCount, count);
    }
    for (const auto& [key, delay] : decoder.delays) {
        SCOPED_TRACE("band " + std::to_string(key.first) + " position " + std::to_string(key.second));
        EXPECT_TRUE(delay.units < 510U || delay.units == 0x1FFU);
    }
}

TEST(RealSbasCapture, RealIgpMasks_LieOverTheServiceAreasOfTheirSystems) {
    const std::vector<Record> records = ReadCapture("sbas_l1_2023-11-04_subset.txt");
    CReferenceDecoder decoder;
    for (const Record& record : records) {
        decoder.Take(record);
    }
    // Boxes around Japan (MSAS), Korea (KASS) and India (GAGAN).
    const std::map<int, IgpRegion> areas = {
        {137, {35.0, 137.5, 35.0, 37.5}}, {134, {35.0, 127.5, 25.0, 30.0}}, {128, {20.0, 80.0, 30.0, 30.0}}};
    for (const auto& [key, mask] : decoder.bandMasks) {
        SCOPED_TRACE("PRN " + std::to_string(key.first) + " band " + std::to_string(key.second));
        const std::vector<Igp> band = BandIgps(key.second);
        ASSERT_FALSE(mask.positions.empty());
        for (const int position : mask.positions) {
            const Igp& igp = band[static_cast<std::size_t>(position)];
            EXPECT_TRUE(Contains(areas.at(key.first), igp.latitude, igp.longitude))
                << "position " << position << " at " << igp.latitude << ", " << igp.longitude;
        }
    }
}

}  // namespace
}  // namespace zarnmon::sim
