#include "sim/igp_grid.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace zarnmon::sim {
namespace {

struct BandPosition {
    int band;
    int position;
    friend bool operator==(const BandPosition&, const BandPosition&) = default;
};

// Where the monitor's grid lookup finds the 5-degree grid point (x, y): x the
// longitude index 0-71 (5x - 180), y the latitude index (5y - 90). Written
// from the lookup's own rules, independently of the generator.
std::optional<BandPosition> LookupPosition(int x, int y, bool northPolar, bool southPolar) {
    const auto meridianBand = [](int bx, int by, int offset) {
        const int band = bx / 8;
        const int column = bx % 8;
        const int threshold = band % 2 == 0 ? band : band - 2;
        const int position = 25 * column + (by - 5) + (column > threshold ? 1 : 0) + offset;
        return BandPosition{band, position};
    };
    const auto polarBand = [](int band, int row, int px) -> std::optional<BandPosition> {
        if (row == 0) {
            return BandPosition{band, px};
        }
        if (px % 2 != 0) {
            return std::nullopt;
        }
        return BandPosition{band, 36 * (row + 1) + px / 2};
    };
    if (y >= 30) {
        if (northPolar) {
            return y <= 33 ? polarBand(9, y - 30, x) : std::nullopt;
        }
        if (x % 2 == 0 && (y == 31 || y == 33)) {
            return meridianBand(x, 29, y == 31 ? 1 : 2);
        }
        return std::nullopt;
    }
    if (y <= 6) {
        if (southPolar) {
            return y >= 3 ? polarBand(10, 6 - y, x) : std::nullopt;
        }
        if (x % 2 == 0 && (y == 5 || y == 3)) {
            return meridianBand(x, 7, y == 5 ? -1 : -2);
        }
        return std::nullopt;
    }
    return meridianBand(x, y, 0);
}

int LongitudeIndex(double longitude) { return static_cast<int>(std::lround((longitude + 180.0) / 5.0)); }
int LatitudeIndex(double latitude) { return static_cast<int>(std::lround((latitude + 90.0) / 5.0)); }

std::string Describe(const Igp& igp) {
    return "band " + std::to_string(igp.band) + " position " + std::to_string(igp.position) + " at " +
           std::to_string(igp.latitude) + ", " + std::to_string(igp.longitude);
}

TEST(BandIgps, EveryBand_HasItsMaskLengthOfPointsNumberedInOrder) {
    for (int band = 0; band < kIgpBandCount; ++band) {
        SCOPED_TRACE("band " + std::to_string(band));
        const std::vector<Igp> igps = BandIgps(band);
        const int expected = band < 8 ? 201 : band == 8 ? 200 : 192;
        EXPECT_EQ(BandMaskBits(band), expected);
        ASSERT_EQ(static_cast<int>(igps.size()), expected);
        for (std::size_t i = 0; i < igps.size(); ++i) {
            EXPECT_EQ(igps[i].band, band);
            EXPECT_EQ(igps[i].position, static_cast<int>(i));
        }
    }
}

TEST(BandIgps, BandOutsideZeroToTen_IsEmpty) {
    for (const int band : {-1, 11, 15}) {
        SCOPED_TRACE("band " + std::to_string(band));
        EXPECT_TRUE(BandIgps(band).empty());
        EXPECT_EQ(BandMaskBits(band), 0);
    }
}

TEST(BandIgps, MeridianBands_EachColumnRunsSouthToNorthAndBandsRunWestToEast) {
    for (int band = 0; band < 9; ++band) {
        SCOPED_TRACE("band " + std::to_string(band));
        const std::vector<Igp> igps = BandIgps(band);
        EXPECT_EQ(igps.front().longitude, -180.0 + 40.0 * band);
        EXPECT_EQ(igps.back().longitude, -180.0 + 40.0 * band + 35.0);
        for (std::size_t i = 1; i < igps.size(); ++i) {
            const bool sameColumn = igps[i].longitude == igps[i - 1].longitude;
            EXPECT_TRUE(sameColumn ? igps[i].latitude > igps[i - 1].latitude
                                   : igps[i].longitude == igps[i - 1].longitude + 5.0)
                << Describe(igps[i]);
        }
    }
}

TEST(BandIgps, MeridianColumns_HaveTwentyThreeOrTwentySevenPointsPlusTheEightyFiveDegreeOnes) {
    for (int band = 0; band < 9; ++band) {
        const std::vector<Igp> igps = BandIgps(band);
        for (int column = 0; column < 8; ++column) {
            const double longitude = -180.0 + 40.0 * band + 5.0 * column;
            SCOPED_TRACE("longitude " + std::to_string(longitude));
            std::vector<double> latitudes;
            for (const Igp& igp : igps) {
                if (igp.longitude == longitude) {
                    latitudes.push_back(igp.latitude);
                }
            }
            std::vector<double> expected;
            const bool south85 = longitude == -140.0 || longitude == -50.0 || longitude == 40.0 || longitude == 130.0;
            const bool north85 = longitude == -180.0 || longitude == -90.0 || longitude == 0.0 || longitude == 90.0;
            if (south85) {
                expected.push_back(-85.0);
            }
            if (column % 2 == 0) {
                expected.insert(expected.end(), {-75.0, -65.0});
            }
            for (int lat = -55; lat <= 55; lat += 5) {
                expected.push_back(lat);
            }
            if (column % 2 == 0) {
                expected.insert(expected.end(), {65.0, 75.0});
            }
            if (north85) {
                expected.push_back(85.0);
            }
            EXPECT_EQ(latitudes, expected);
        }
    }
}

// The monitor finds a grid point by formula; every point generated must be
// where the formula looks for it.
TEST(BandIgps, EveryMeridianBandPoint_IsWhereTheGridLookupLooks) {
    int checked = 0;
    for (int band = 0; band < 9; ++band) {
        for (const Igp& igp : BandIgps(band)) {
            if (std::abs(igp.latitude) == 85.0) {
                continue;  // no 5-degree lookup reaches 85 degrees
            }
            SCOPED_TRACE(Describe(igp));
            const std::optional<BandPosition> found =
                LookupPosition(LongitudeIndex(igp.longitude), LatitudeIndex(igp.latitude), false, false);
            ASSERT_TRUE(found.has_value());
            EXPECT_EQ(*found, (BandPosition{igp.band, igp.position}));
            ++checked;
        }
    }
    EXPECT_EQ(checked, 72 * 23 + 36 * 4);
}

TEST(BandIgps, EveryGridPointTheLookupReaches_IsAGeneratedPointAtThatPlace) {
    std::vector<std::vector<Igp>> bands;
    for (int band = 0; band < kIgpBandCount; ++band) {
        bands.push_back(BandIgps(band));
    }
    for (const bool polar : {false, true}) {
        for (int x = 0; x < 72; ++x) {
            for (int y = 0; y <= 36; ++y) {
                const std::optional<BandPosition> found = LookupPosition(x, y, polar, polar);
                if (!found) {
                    continue;
                }
                SCOPED_TRACE("x " + std::to_string(x) + " y " + std::to_string(y) + (polar ? " polar" : ""));
                const auto& igps = bands[static_cast<std::size_t>(found->band)];
                ASSERT_GE(found->position, 0);
                ASSERT_LT(found->position, static_cast<int>(igps.size()));
                const Igp& igp = igps[static_cast<std::size_t>(found->position)];
                EXPECT_EQ(igp.latitude, 5.0 * y - 90.0);
                EXPECT_EQ(igp.longitude, 5.0 * x - 180.0);
            }
        }
    }
}

TEST(BandIgps, EightyFiveDegreePoints_SitAtTheirMeridiansAtTheEndsOfTheirColumns) {
    std::set<std::pair<double, double>> north;
    std::set<std::pair<double, double>> south;
    for (int band = 0; band < 9; ++band) {
        const std::vector<Igp> igps = BandIgps(band);
        for (std::size_t i = 0; i < igps.size(); ++i) {
            const Igp& igp = igps[i];
            SCOPED_TRACE(Describe(igp));
            if (igp.latitude == 85.0) {
                north.insert({igp.latitude, igp.longitude});
                // Last of its column.
                EXPECT_TRUE(i + 1 == igps.size() || igps[i + 1].longitude != igp.longitude);
            } else if (igp.latitude == -85.0) {
                south.insert({igp.latitude, igp.longitude});
                // First of its column.
                EXPECT_TRUE(i == 0 || igps[i - 1].longitude != igp.longitude);
            }
        }
    }
    EXPECT_EQ(north, (std::set<std::pair<double, double>>{{85, -180}, {85, -90}, {85, 0}, {85, 90}}));
    EXPECT_EQ(south, (std::set<std::pair<double, double>>{{-85, -140}, {-85, -50}, {-85, 40}, {-85, 130}}));
}

TEST(BandIgps, MeridianBands_CoverEveryPlaceOnce) {
    std::set<std::pair<double, double>> places;
    int total = 0;
    for (int band = 0; band < 9; ++band) {
        for (const Igp& igp : BandIgps(band)) {
            places.insert({igp.latitude, igp.longitude});
            ++total;
        }
    }
    EXPECT_EQ(total, 8 * 201 + 200);
    EXPECT_EQ(static_cast<int>(places.size()), total);
}

TEST(BandIgps, PolarBands_HaveTheirRowsAtFiveTenAndThirtyDegreeSpacing) {
    for (const int band : {kNorthPolarBand, kSouthPolarBand}) {
        SCOPED_TRACE("band " + std::to_string(band));
        const double side = band == kNorthPolarBand ? 1.0 : -1.0;
        const std::vector<Igp> igps = BandIgps(band);
        ASSERT_EQ(igps.size(), 192U);
        for (int i = 0; i < 72; ++i) {
            EXPECT_EQ(igps[static_cast<std::size_t>(i)].latitude, 60.0 * side);
            EXPECT_EQ(igps[static_cast<std::size_t>(i)].longitude, -180.0 + 5.0 * i);
        }
        for (int row = 1; row <= 3; ++row) {
            for (int i = 0; i < 36; ++i) {
                const Igp& igp = igps[static_cast<std::size_t>(36 * (row + 1) + i)];
                EXPECT_EQ(igp.latitude, (60.0 + 5.0 * row) * side);
                EXPECT_EQ(igp.longitude, -180.0 + 10.0 * i);
            }
        }
        const double first85 = band == kNorthPolarBand ? -180.0 : -170.0;
        for (int i = 0; i < 12; ++i) {
            const Igp& igp = igps[static_cast<std::size_t>(180 + i)];
            EXPECT_EQ(igp.latitude, 85.0 * side);
            EXPECT_EQ(igp.longitude, first85 + 30.0 * i);
        }
    }
}

TEST(Contains, BoxAcrossTheDateLine_TakesBothSides) {
    const IgpRegion region{-40.0, 175.0, 25.0, 40.0};
    EXPECT_TRUE(Contains(region, -40.0, 175.0));
    EXPECT_TRUE(Contains(region, -40.0, -145.0));
    EXPECT_TRUE(Contains(region, -15.0, 135.0));
    EXPECT_FALSE(Contains(region, -40.0, -140.0));
    EXPECT_FALSE(Contains(region, -40.0, 130.0));
    EXPECT_FALSE(Contains(region, -66.0, 175.0));
}

std::vector<int> BandsOf(const std::vector<BandMask>& masks) {
    std::vector<int> bands;
    for (const BandMask& mask : masks) {
        bands.push_back(mask.band);
    }
    return bands;
}

TEST(RegionBandMasks, Calgary_MasksBandsZeroToTwoAndTheNorthPolarBand) {
    const IgpRegion region{51.0447, -114.0719, 25.0, 40.0};
    const std::vector<BandMask> masks = RegionBandMasks(region, true);

    ASSERT_EQ(BandsOf(masks), (std::vector<int>{0, 1, 2, 9}));
    // 30N-55N (six rows) by 150W-75W; the cap 60N-75N.
    EXPECT_EQ(masks[0].igps.size(), 2U * 6U);
    EXPECT_EQ(masks[1].igps.size(), 8U * 6U);
    EXPECT_EQ(masks[2].igps.size(), 6U * 6U);
    EXPECT_EQ(masks[3].igps.size(), 16U + 3U * 8U);
}

TEST(RegionBandMasks, AnyRegion_KeepsOnlyPointsInsideInMaskOrder) {
    const std::vector<IgpRegion> regions = {
        {51.0447, -114.0719, 25.0, 40.0}, {0.0, 100.0, 25.0, 40.0},  {-40.0, 175.0, 25.0, 40.0},
        {70.0, 10.0, 25.0, 40.0},         {-33.9, 18.4, 10.0, 10.0}, {0.0, 0.0, 90.0, 180.0},
    };
    for (const IgpRegion& region : regions) {
        for (const bool polar : {false, true}) {
            SCOPED_TRACE("region at " + std::to_string(region.latitude) + ", " + std::to_string(region.longitude) +
                         (polar ? " with polar bands" : ""));
            const std::vector<BandMask> masks = RegionBandMasks(region, polar);
            ASSERT_FALSE(masks.empty());
            EXPECT_TRUE(std::is_sorted(masks.begin(), masks.end(),
                                       [](const BandMask& a, const BandMask& b) { return a.band < b.band; }));
            for (const BandMask& mask : masks) {
                EXPECT_FALSE(mask.igps.empty());
                const std::vector<Igp> all = BandIgps(mask.band);
                int previous = -1;
                for (const Igp& igp : mask.igps) {
                    SCOPED_TRACE(Describe(igp));
                    EXPECT_EQ(igp.band, mask.band);
                    EXPECT_GT(igp.position, previous);
                    previous = igp.position;
                    EXPECT_TRUE(Contains(region, igp.latitude, igp.longitude));
                    const Igp& same = all[static_cast<std::size_t>(igp.position)];
                    EXPECT_EQ(same.latitude, igp.latitude);
                    EXPECT_EQ(same.longitude, igp.longitude);
                }
            }
        }
    }
}

TEST(RegionBandMasks, PolarBandInUse_LeavesTheMeridianBandsPointsBeyondFiftyFiveOut) {
    const IgpRegion region{70.0, 10.0, 25.0, 40.0};
    const std::vector<BandMask> masks = RegionBandMasks(region, true);

    EXPECT_EQ(BandsOf(masks), (std::vector<int>{3, 4, 5, 9}));
    for (const BandMask& mask : masks) {
        for (const Igp& igp : mask.igps) {
            SCOPED_TRACE(Describe(igp));
            if (mask.band == kNorthPolarBand) {
                EXPECT_GE(igp.latitude, 60.0);
            } else {
                EXPECT_LE(igp.latitude, 55.0);
            }
        }
    }
}

TEST(RegionBandMasks, WithoutPolarBands_MeridianBandsCarryTheHighLatitudePoints) {
    const IgpRegion region{70.0, 10.0, 25.0, 40.0};
    const std::vector<BandMask> masks = RegionBandMasks(region, false);

    EXPECT_EQ(BandsOf(masks), (std::vector<int>{3, 4, 5}));
    std::set<double> latitudes;
    for (const BandMask& mask : masks) {
        for (const Igp& igp : mask.igps) {
            latitudes.insert(igp.latitude);
        }
    }
    EXPECT_EQ(latitudes, (std::set<double>{45, 50, 55, 65, 75, 85}));
}

TEST(RegionBandMasks, RegionAcrossTheDateLine_MasksTheBandsOnBothSides) {
    const IgpRegion region{-40.0, 175.0, 25.0, 40.0};
    const std::vector<BandMask> masks = RegionBandMasks(region, true);

    EXPECT_EQ(BandsOf(masks), (std::vector<int>{0, 7, 8, 10}));
}

}  // namespace
}  // namespace zarnmon::sim
