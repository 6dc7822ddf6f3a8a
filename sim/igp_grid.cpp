#include "sim/igp_grid.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>
#include <vector>

namespace zarnmon::sim {

namespace {

constexpr int kColumnsPerBand = 8;
constexpr int kBandsAroundTheWorld = 9;
constexpr double kEdgeTolerance = 1e-9;

// Longitude of 5-degree column index x (0 = 180W).
[[nodiscard]] double ColumnLongitude(int x) noexcept { return 5.0 * x - 180.0; }

// Latitudes of one band 0-8 column, south to north.
[[nodiscard]] std::vector<double> ColumnLatitudes(int x) {
    const bool tenDegreeColumn = x % 2 == 0;
    const double longitude = ColumnLongitude(x);
    const bool south85 = longitude == -140.0 || longitude == -50.0 || longitude == 40.0 || longitude == 130.0;
    const bool north85 = longitude == -180.0 || longitude == -90.0 || longitude == 0.0 || longitude == 90.0;

    std::vector<double> latitudes;
    if (south85) {
        latitudes.push_back(-85.0);
    }
    if (tenDegreeColumn) {
        latitudes.push_back(-75.0);
        latitudes.push_back(-65.0);
    }
    for (int lat = -55; lat <= 55; lat += 5) {
        latitudes.push_back(lat);
    }
    if (tenDegreeColumn) {
        latitudes.push_back(65.0);
        latitudes.push_back(75.0);
    }
    if (north85) {
        latitudes.push_back(85.0);
    }
    return latitudes;
}

[[nodiscard]] std::vector<Igp> MeridianBandIgps(int band) {
    std::vector<Igp> igps;
    igps.reserve(static_cast<std::size_t>(BandMaskBits(band)));
    for (int c = 0; c < kColumnsPerBand; ++c) {
        const int x = kColumnsPerBand * band + c;
        for (const double latitude : ColumnLatitudes(x)) {
            igps.push_back({band, static_cast<int>(igps.size()), latitude, ColumnLongitude(x)});
        }
    }
    return igps;
}

[[nodiscard]] std::vector<Igp> PolarBandIgps(int band) {
    const double side = band == kNorthPolarBand ? 1.0 : -1.0;
    const double first85Longitude = band == kNorthPolarBand ? -180.0 : -170.0;
    std::vector<Igp> igps;
    igps.reserve(static_cast<std::size_t>(BandMaskBits(band)));
    const auto add = [&](double latitude, double longitude) {
        igps.push_back({band, static_cast<int>(igps.size()), side * latitude, longitude});
    };
    for (int x = 0; x < 72; ++x) {
        add(60.0, ColumnLongitude(x));
    }
    for (const double latitude : {65.0, 70.0, 75.0}) {
        for (int x = 0; x < 72; x += 2) {
            add(latitude, ColumnLongitude(x));
        }
    }
    for (int k = 0; k < 12; ++k) {
        add(85.0, first85Longitude + 30.0 * k);
    }
    return igps;
}

// Difference of two longitudes brought into [-180, 180).
[[nodiscard]] double LongitudeOffset(double longitude, double reference) noexcept {
    const double d = std::fmod(longitude - reference + 180.0, 360.0);
    return (d < 0.0 ? d + 360.0 : d) - 180.0;
}

[[nodiscard]] bool IsPolarBand(int band) noexcept { return band == kNorthPolarBand || band == kSouthPolarBand; }

}  // namespace

int BandMaskBits(int band) noexcept {
    if (band >= 0 && band < 8) {
        return 201;
    }
    if (band == 8) {
        return 200;
    }
    if (IsPolarBand(band)) {
        return 192;
    }
    return 0;
}

std::vector<Igp> BandIgps(int band) {
    if (band >= 0 && band < kBandsAroundTheWorld) {
        return MeridianBandIgps(band);
    }
    if (IsPolarBand(band)) {
        return PolarBandIgps(band);
    }
    return {};
}

bool Contains(const IgpRegion& region, double latitude, double longitude) noexcept {
    return std::abs(latitude - region.latitude) <= region.latHalfSpan + kEdgeTolerance &&
           std::abs(LongitudeOffset(longitude, region.longitude)) <= region.lonHalfSpan + kEdgeTolerance;
}

std::vector<BandMask> RegionBandMasks(const IgpRegion& region, bool usePolarBands) {
    const auto inside = [&region](const std::vector<Igp>& igps) {
        std::vector<Igp> kept;
        std::copy_if(igps.begin(), igps.end(), std::back_inserter(kept),
                     [&region](const Igp& igp) { return Contains(region, igp.latitude, igp.longitude); });
        return kept;
    };

    std::vector<Igp> north = usePolarBands ? inside(BandIgps(kNorthPolarBand)) : std::vector<Igp>{};
    std::vector<Igp> south = usePolarBands ? inside(BandIgps(kSouthPolarBand)) : std::vector<Igp>{};
    const bool northInUse = !north.empty();
    const bool southInUse = !south.empty();

    std::vector<BandMask> masks;
    for (int band = 0; band < kBandsAroundTheWorld; ++band) {
        std::vector<Igp> kept = inside(BandIgps(band));
        std::erase_if(kept, [&](const Igp& igp) {
            return (northInUse && igp.latitude > 55.0) || (southInUse && igp.latitude < -55.0);
        });
        if (!kept.empty()) {
            masks.push_back({band, std::move(kept)});
        }
    }
    if (northInUse) {
        masks.push_back({kNorthPolarBand, std::move(north)});
    }
    if (southInUse) {
        masks.push_back({kSouthPolarBand, std::move(south)});
    }
    return masks;
}

}  // namespace zarnmon::sim
