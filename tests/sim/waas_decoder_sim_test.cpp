// The decoder against the simulator's WAAS broadcast: the grid it builds
// must reproduce the simulated ionosphere at the grid points, and its IGP
// numbering must agree with the simulator's (written independently).

#include <cmath>
#include <cstdint>
#include <map>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "core/link/bin_catalogue.h"
#include "core/waas/iono_interpolation.h"
#include "core/waas/waas_decoder.h"
#include "sim/igp_grid.h"
#include "sim/iono_model.h"
#include "sim/sim_config.h"
#include "sim/waas_broadcast.h"

namespace zarnmon {
namespace {

constexpr std::size_t kFrameSize = kBinFrameOverhead + msg80::kLength;
// Rounding to 0.125 m units, plus the model's drift within the second.
constexpr double kQuantisation = 0.0625 + 0.005;

struct Reception {
    // Second at which each (band, position) last received a delay.
    std::map<std::pair<int, int>, std::uint32_t> placedAt;
    int frames = 0;
};

// Feeds seconds of broadcast to the decoder, noting where each type 26
// placed its delays.
Reception Broadcast(const sim::CWaasBroadcaster& broadcaster, CWaasDecoder& decoder, const sim::SimConfig& config,
                    int seconds) {
    Reception run;
    std::vector<std::uint8_t> bytes;
    for (int s = 0; s < seconds; ++s) {
        bytes.clear();
        broadcaster.AppendSecond(config.startSeconds + s, config.startWeek, bytes);
        for (std::size_t at = 0; at + kFrameSize <= bytes.size(); at += kFrameSize) {
            const auto frame = std::span<const std::uint8_t>(bytes).subspan(at, kFrameSize);
            ++run.frames;
            if (decoder.ProcessWaasRecord(frame) != WaasOutcome::IonoDelays) {
                continue;
            }
            const Msg80View record(frame);
            std::array<std::uint32_t, kWaasMessageWords> words{};
            for (int i = 0; i < kWaasMessageWords; ++i) {
                words[static_cast<std::size_t>(i)] = record.WaasMsg(i);
            }
            const auto band = static_cast<int>(WaasBits(words, 14, 4));
            const auto block = static_cast<int>(WaasBits(words, 18, 4));
            const auto prns = decoder.GeoPrns();
            for (int slot = 0; slot < CWaasDecoder::kGeoSlots; ++slot) {
                const IgpMaskRecord& mask = decoder.IgpMask(slot, band);
                if (prns[static_cast<std::size_t>(slot)] != record.Prn() || mask.geoPrn != record.Prn() ||
                    mask.iodi != static_cast<int>(WaasBits(words, 217, 2))) {
                    continue;
                }
                for (int j = 15 * block; j < std::min(15 * block + 15, mask.count); ++j) {
                    run.placedAt[{band, mask.igp[static_cast<std::size_t>(j)]}] = record.MsgSecOfWeek();
                }
            }
        }
    }
    return run;
}

bool Usable(const IonoGrid& grid, int x, int y) {
    return IonoGrid::DelayUnits(GridValue(grid, x, y)) < IonoGrid::kUnusableDelay;
}

// Every grid point whose interpolation cell reads it alone (all corners
// received, the point on the SW corner) must give the model's delay.
int CheckGridPoints(const sim::CWaasBroadcaster& broadcaster, const CWaasDecoder& decoder, const Reception& run) {
    int checked = 0;
    const IonoGrid& grid = decoder.Grid();
    const bool north = (grid.polarFlags & IonoGrid::kNorthPolarInUse) != 0;
    for (const sim::BandMask& mask : broadcaster.Masks()) {
        for (const sim::Igp& igp : mask.igps) {
            SCOPED_TRACE("band " + std::to_string(igp.band) + " position " + std::to_string(igp.position) + " at " +
                         std::to_string(igp.latitude) + "," + std::to_string(igp.longitude));
            const auto placed = run.placedAt.find({igp.band, igp.position});
            if (placed == run.placedAt.end()) {
                ADD_FAILURE() << "every masked point receives a delay";
                continue;
            }
            const int x = static_cast<int>(std::lround((igp.longitude + 180.0) / 5.0));
            const int y = static_cast<int>(std::lround((igp.latitude + 90.0) / 5.0));
            const int east = (x + 1) % 72;
            bool single = false;
            if (y >= 7 && y < (north ? 30 : 29)) {
                single = Usable(grid, east, y) && Usable(grid, east, y + 1) && Usable(grid, x, y + 1);
            } else if (north && y >= 30 && y <= 32 && x % 2 == 0) {
                const int east2 = (x + 2) % 72;
                single = Usable(grid, east2, y) && Usable(grid, east2, y + 1) && Usable(grid, x, y + 1);
            }
            if (!single) {
                continue;
            }
            const double model =
                sim::VerticalDelayMetres(igp.latitude, igp.longitude, static_cast<double>(placed->second));
            EXPECT_NEAR(decoder.IonoDelayAt(igp.longitude, igp.latitude, false), model, kQuantisation);
            ++checked;
        }
    }
    return checked;
}

TEST(CWaasDecoderSim, FiveMinutesOverCalgary_GridPointsMatchTheSimulatedIonosphere) {
    const sim::SimConfig config;
    const sim::CWaasBroadcaster broadcaster(config, 3);
    CWaasDecoder decoder;
    const Reception run = Broadcast(broadcaster, decoder, config, 300);

    EXPECT_EQ(run.frames, 900);
    const auto prns = decoder.GeoPrns();
    EXPECT_EQ(std::set<int>(prns.begin(), prns.end()), std::set<int>({135, 138, broadcaster.GeoPrn(2)}));
    EXPECT_NE(decoder.Grid().polarFlags & IonoGrid::kNorthPolarInUse, 0U) << "76N is in the region";
    EXPECT_GT(CheckGridPoints(broadcaster, decoder, run), 100);
}

TEST(CWaasDecoderSim, FarNorthWithPolarBand_PolarGridPointsMatchTheSimulatedIonosphere) {
    sim::SimConfig config;
    config.latitude = 68.0;
    config.longitude = 20.0;
    config.seed = 5;
    const sim::CWaasBroadcaster broadcaster(config, 1);
    CWaasDecoder decoder;
    const Reception run = Broadcast(broadcaster, decoder, config, 300);

    EXPECT_EQ(decoder.Grid().polarFlags, IonoGrid::kNorthPolarInUse);
    EXPECT_GT(CheckGridPoints(broadcaster, decoder, run), 60);
    // A polar point off the lattice columns: 62.5N between 60N and 65N.
    const double between = decoder.IonoDelayAt(20.0, 62.5, false);
    EXPECT_NEAR(between, sim::VerticalDelayMetres(62.5, 20.0, config.startSeconds + 300), 0.5);
}

TEST(CWaasDecoderSim, WithoutPolarBands_The65And75DegreePointsOfBands0To8AreUsed) {
    sim::SimConfig config;
    config.latitude = 62.0;
    config.longitude = -100.0;
    sim::WaasOptions options;
    options.geoCount = 1;
    options.polarBands = false;
    const sim::CWaasBroadcaster broadcaster(config, options);
    CWaasDecoder decoder;
    const Reception run = Broadcast(broadcaster, decoder, config, 300);

    EXPECT_EQ(decoder.Grid().polarFlags, 0U);
    CheckGridPoints(broadcaster, decoder, run);
    // 70N 100W: the 10 by 10 degree cell of 65N and 75N points.
    const double model = sim::VerticalDelayMetres(70.0, -100.0, config.startSeconds + 300);
    EXPECT_NEAR(decoder.IonoDelayAt(-100.0, 70.0, false), model, 0.5);
}

// ---------------------------------------------------------------------------

TEST(GridValueNumbering, EveryIgpOfTheSimulatorsBands_IsFoundAtItsLatticePoint) {
    IonoGrid grid;
    int checked = 0;
    for (int band = 0; band < IonoGrid::kBands; ++band) {
        for (const sim::Igp& igp : sim::BandIgps(band)) {
            if (std::fabs(igp.latitude) > 80.0) {
                continue;  // 85-degree points are not on the map's lattice
            }
            SCOPED_TRACE("band " + std::to_string(band) + " position " + std::to_string(igp.position));
            grid.Clear();
            grid.polarFlags = band == 9 ? IonoGrid::kNorthPolarInUse : band == 10 ? IonoGrid::kSouthPolarInUse : 0U;
            grid.igp[static_cast<std::size_t>(band)][static_cast<std::size_t>(igp.position)] = 0x0A5A;
            const int x = static_cast<int>(std::lround((igp.longitude + 180.0) / 5.0));
            const int y = static_cast<int>(std::lround((igp.latitude + 90.0) / 5.0));
            EXPECT_EQ(GridValue(grid, x, y), 0x0A5A);
            ++checked;
        }
    }
    EXPECT_EQ(checked, 9 * (8 * 23 + 4 * 4) + 2 * (72 + 3 * 36));
}

}  // namespace
}  // namespace zarnmon
