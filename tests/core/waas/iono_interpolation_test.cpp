#include "core/waas/iono_interpolation.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace zarnmon {
namespace {

// The DO-229 IGP numbering of bands 0-8, enumerated point by point from the
// layout rather than computed: band b covers the eight 5-degree columns from
// 180W + 40b; each column runs south to north over 55S..55N, the 10-degree
// columns add 75S, 65S, 65N and 75N, and eight columns add an 85-degree point.
std::optional<std::pair<int, int>> BandPosition(int lon, int lat) {
    for (int band = 0; band < 9; ++band) {
        int position = 0;
        for (int column = 0; column < 8; ++column) {
            const int columnLon = -180 + 40 * band + 5 * column;
            std::vector<int> lats;
            if (columnLon == -140 || columnLon == -50 || columnLon == 40 || columnLon == 130) {
                lats.push_back(-85);
            }
            if (columnLon % 10 == 0) {
                lats.insert(lats.end(), {-75, -65});
            }
            for (int l = -55; l <= 55; l += 5) {
                lats.push_back(l);
            }
            if (columnLon % 10 == 0) {
                lats.insert(lats.end(), {65, 75});
            }
            if (columnLon == -180 || columnLon == -90 || columnLon == 0 || columnLon == 90) {
                lats.push_back(85);
            }
            for (const int l : lats) {
                if (columnLon == lon && l == lat) {
                    return std::pair{band, position};
                }
                ++position;
            }
        }
    }
    return std::nullopt;
}

class IonoGridTest : public ::testing::Test {
protected:
    void SetUp() override { grid_.Clear(); }

    // Lattice point (x, y) gets a delay in units of 0.125 m (GIVEI 1).
    void Put(int x, int y, std::uint32_t units) {
        const auto place = BandPosition(-180 + 5 * x, -90 + 5 * y);
        ASSERT_TRUE(place.has_value()) << x << "," << y;
        grid_.igp[static_cast<std::size_t>(place->first)][static_cast<std::size_t>(place->second)] =
            static_cast<std::uint16_t>((units << 4) | 1U);
    }
    void PutPolar(int band, int position, std::uint32_t units) {
        grid_.igp[static_cast<std::size_t>(band)][static_cast<std::size_t>(position)] =
            static_cast<std::uint16_t>((units << 4) | 1U);
    }
    [[nodiscard]] double At(double lon, double lat, bool extend = false) const {
        return IonoDelayAt(grid_, lon, lat, extend);
    }

    IonoGrid grid_;
};

// ---------------------------------------------------------------------------
// GridValue

TEST_F(IonoGridTest, GridValue_FollowsTheDo229NumberingAtEveryPointOfBands0To8) {
    int checked = 0;
    for (int x = 0; x < 72; ++x) {
        for (int y = 3; y <= 33; ++y) {
            const auto place = BandPosition(-180 + 5 * x, -90 + 5 * y);
            if (!place) {
                EXPECT_EQ(GridValue(grid_, x, y), kMissingIgp);
                continue;
            }
            SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
            grid_.Clear();
            grid_.igp[static_cast<std::size_t>(place->first)][static_cast<std::size_t>(place->second)] = 0x1234;
            EXPECT_EQ(GridValue(grid_, x, y), 0x1234);
            ++checked;
        }
    }
    EXPECT_EQ(checked, 72 * 23 + 36 * 4);
}

TEST_F(IonoGridTest, GridValue_PolarBandsInUse_ReplaceThe65And75DegreePointsOfBands0To8) {
    Put(0, 33, 100);  // 75N from band 0
    Put(0, 3, 100);   // 75S from band 0
    PutPolar(9, 0, 1);
    PutPolar(9, 5, 2);         // 60N, x = 5
    PutPolar(9, 72 + 3, 3);    // 65N, x = 6
    PutPolar(9, 108 + 35, 4);  // 70N, x = 70
    PutPolar(9, 144, 5);       // 75N, x = 0
    PutPolar(10, 144 + 1, 6);  // 75S, x = 2

    EXPECT_EQ(GridValue(grid_, 0, 33) >> 4, 100);
    EXPECT_EQ(GridValue(grid_, 0, 30), kMissingIgp) << "60N needs the polar band";

    grid_.polarFlags = IonoGrid::kNorthPolarInUse | IonoGrid::kSouthPolarInUse;
    EXPECT_EQ(GridValue(grid_, 0, 30) >> 4, 1);
    EXPECT_EQ(GridValue(grid_, 5, 30) >> 4, 2);
    EXPECT_EQ(GridValue(grid_, 6, 31) >> 4, 3);
    EXPECT_EQ(GridValue(grid_, 7, 31), kMissingIgp) << "odd columns end at 60 degrees";
    EXPECT_EQ(GridValue(grid_, 70, 32) >> 4, 4);
    EXPECT_EQ(GridValue(grid_, 0, 33) >> 4, 5);
    EXPECT_EQ(GridValue(grid_, 2, 3) >> 4, 6);
    EXPECT_EQ(GridValue(grid_, 0, 34), kMissingIgp);
}

TEST_F(IonoGridTest, GridValue_NotMonitoredZeroDelay_ReadsAsUnusable) {
    grid_.igp[0][2] = 0x000F;  // x 0, 55S: delay 0, GIVEI 15
    EXPECT_EQ(GridValue(grid_, 0, 7), 0x1FFF);
    grid_.igp[0][2] = 0x000E;  // GIVEI 14 is monitored
    EXPECT_EQ(GridValue(grid_, 0, 7), 0x000E);
}

// ---------------------------------------------------------------------------
// Inner rows

TEST_F(IonoGridTest, MiddleOfACellWithFourCorners_IsThePlainAverage) {
    Put(16, 24, 8);  // 100W 30N
    Put(17, 24, 16);
    Put(17, 25, 24);
    Put(16, 25, 40);
    EXPECT_DOUBLE_EQ(At(-97.5, 32.5), 0.125 * (8 + 16 + 24 + 40) / 4);
    EXPECT_DOUBLE_EQ(At(-100.0, 30.0), 1.0) << "on a grid point, its own delay";
}

TEST_F(IonoGridTest, NeMissing_InsideTheTriangleUsesThreeCorners_OutsideFallsToTenDegreeCells) {
    Put(16, 24, 80);
    Put(17, 24, 40);
    Put(16, 25, 40);
    // The 10-degree cell from the same SW corner.
    Put(18, 24, 80);
    Put(18, 26, 80);
    Put(16, 26, 80);

    // fx = fy = 0.4: 0.2 SW + 0.4 SE + 0.4 NW.
    EXPECT_NEAR(At(-98.0, 32.0), 0.125 * (0.2 * 80 + 0.4 * 40 + 0.4 * 40), 1e-9);
    // fx = fy = 0.6 lies beyond the SE-NW diagonal.
    EXPECT_NEAR(At(-97.0, 33.0), 10.0, 1e-9);
}

TEST_F(IonoGridTest, TwoCornersMissing_TheFourTenDegreeCellsAreTriedInOrder) {
    // 5-degree cell (16, 24) lacks its SE corner and the point lies beyond
    // the triangle; of the 10-degree cells only the south-west one,
    // (15, 23)-(17, 25), is complete.
    Put(16, 24, 8);
    Put(16, 25, 8);
    Put(15, 23, 16);
    Put(17, 23, 16);
    Put(17, 25, 16);
    Put(15, 25, 16);
    // x = 16.75, y = 24.25: in that cell at (0.875, 0.625).
    EXPECT_DOUBLE_EQ(At(-96.25, 31.25), 2.0);
}

TEST_F(IonoGridTest, TriangleIsUsedInATenDegreeCellOnlyAfterAFourCornerPassFailed) {
    // 10-degree cell (16, 24)-(18, 26) without its NE corner, and nothing else.
    Put(16, 24, 16);
    Put(18, 24, 16);
    Put(16, 26, 16);
    // Point (16.2, 24.2) of the 5-degree cell: that cell has three corners missing.
    EXPECT_DOUBLE_EQ(At(-99.0, 31.0), 2.0);
}

TEST_F(IonoGridTest, Longitude180AndMinus180_GiveTheSameDelay) {
    Put(71, 20, 8);  // 175E 10N
    Put(0, 20, 16);
    Put(0, 21, 24);
    Put(71, 21, 32);
    Put(1, 20, 40);
    Put(1, 21, 48);
    for (const double lat : {10.0, 12.5, 14.9}) {
        SCOPED_TRACE(lat);
        const double east = At(180.0, lat);
        EXPECT_NE(east, kNoIonoDelay);
        EXPECT_EQ(east, At(-180.0, lat));
        EXPECT_EQ(At(182.0, lat), At(-178.0, lat));
        EXPECT_EQ(At(-182.0, lat), At(178.0, lat));
    }
    EXPECT_DOUBLE_EQ(At(177.5, 12.5), 0.125 * (8 + 16 + 24 + 32) / 4) << "the cell across the date line";
}

TEST_F(IonoGridTest, EmptyGridOrNoNumber_GiveNoDelay) {
    EXPECT_EQ(At(-100.0, 40.0, true), kNoIonoDelay);
    Put(16, 24, 8);
    EXPECT_EQ(At(std::numeric_limits<double>::quiet_NaN(), 30.0, true), kNoIonoDelay);
    EXPECT_EQ(At(-100.0, std::numeric_limits<double>::infinity(), true), kNoIonoDelay);
    EXPECT_FALSE(IonoDelay(grid_, -50.0, 30.0, true).has_value());
}

TEST_F(IonoGridTest, UnusableDelay_IsAMissingCorner) {
    Put(16, 24, 8);
    Put(17, 24, 8);
    Put(17, 25, 8);
    Put(16, 25, 510);
    EXPECT_EQ(At(-99.0, 34.0), kNoIonoDelay) << "NW missing and the point beyond the triangle";
    EXPECT_DOUBLE_EQ(At(-96.0, 31.0), 1.0) << "inside the triangle, NW unused";
}

// ---------------------------------------------------------------------------
// Extension and outer rows

TEST_F(IonoGridTest, ExtendMap_OneRowNorthOfTheInnerRows_CarriesTheNorthernInnerRowOn) {
    // 95W and 90W at 55N; the 10-degree cell of 57N 93W has only one corner.
    Put(17, 29, 40);
    Put(18, 29, 80);
    EXPECT_EQ(At(-93.0, 57.0, false), kNoIonoDelay);
    EXPECT_NEAR(At(-93.0, 57.0, true), 0.125 * (0.6 * 40 + 0.4 * 80), 1e-9);
}

TEST_F(IonoGridTest, ExtendMap_InnerPointWithOnlyADiagonalPair_IsOnTheDiagonal) {
    Put(16, 24, 16);  // SW
    Put(17, 25, 48);  // NE
    // fx = 0.2, fy = 0.6: t = 0.4.
    EXPECT_EQ(At(-99.0, 33.0, false), kNoIonoDelay);
    EXPECT_DOUBLE_EQ(At(-99.0, 33.0, true), 0.125 * (0.6 * 16 + 0.4 * 48));
}

TEST_F(IonoGridTest, EvaluateCell_DiagonalPairReplacesAnEdgePairButNotTheOtherWay) {
    Put(16, 24, 8);
    Put(17, 24, 16);  // cell (16, 24): SW and SE only: an edge pair
    Put(20, 24, 8);
    Put(21, 25, 24);  // cell (20, 24): SW and NE: a diagonal pair
    CellSearch search;
    EXPECT_FALSE(EvaluateCell(grid_, search, 16, 24, 1, 1, 0.25, 0.5, true).has_value());
    ASSERT_TRUE(search.pair.has_value());
    EXPECT_FALSE(search.pair->diagonal);
    EXPECT_DOUBLE_EQ(search.pair->t, 0.25);

    EXPECT_FALSE(EvaluateCell(grid_, search, 20, 24, 1, 1, 0.2, 0.4, true).has_value());
    EXPECT_TRUE(search.pair->diagonal);
    EXPECT_DOUBLE_EQ(search.pair->t, 0.3);

    EXPECT_FALSE(EvaluateCell(grid_, search, 16, 24, 1, 1, 0.25, 0.5, true).has_value());
    EXPECT_TRUE(search.pair->diagonal) << "kept";
    EXPECT_EQ(search.oneMissingCells, 0);
}

TEST_F(IonoGridTest, OuterRowsWithoutPolarBands_UseTenByTenDegreeCellsFromOddRows) {
    // 65N and 75N exist only on even columns.
    Put(16, 31, 16);
    Put(18, 31, 16);
    Put(18, 33, 32);
    Put(16, 33, 32);
    // 70N 97.5W: x 16.5 -> even column 16 at hx 0.25; y 32 -> row 31 at hy 0.5.
    EXPECT_DOUBLE_EQ(At(-97.5, 70.0), 3.0);
    // Latitudes beyond 75N are held at the last row.
    EXPECT_DOUBLE_EQ(At(-97.5, 89.0), At(-97.5, 90.0 - 5 * (36 - 32.99)));
}

TEST_F(IonoGridTest, NorthPolarBandInUse_CellsAreTenWideAndFiveHigh) {
    PutPolar(9, 16, 8);       // 60N 100W
    PutPolar(9, 18, 16);      // 60N 90W
    PutPolar(9, 72 + 9, 24);  // 65N 90W
    PutPolar(9, 72 + 8, 32);  // 65N 100W
    EXPECT_EQ(At(-97.5, 62.5), kNoIonoDelay) << "band 9 unused";

    grid_.polarFlags = IonoGrid::kNorthPolarInUse;
    // hx = 0.25, fy = 0.5.
    EXPECT_DOUBLE_EQ(At(-97.5, 62.5), 0.125 * (0.375 * 8 + 0.125 * 16 + 0.125 * 24 + 0.375 * 32));
}

TEST_F(IonoGridTest, SouthPolarBandInUse_MovesTheInnerRowsDownTo60S) {
    PutPolar(10, 16, 8);  // 60S 100W
    PutPolar(10, 17, 8);  // 60S 95W
    Put(16, 7, 24);       // 55S
    Put(17, 7, 24);
    grid_.polarFlags = IonoGrid::kSouthPolarInUse;
    // 57.5S lies in the 5-degree cell from 60S.
    EXPECT_DOUBLE_EQ(At(-97.5, -57.5), 2.0);
    grid_.polarFlags = 0;
    EXPECT_EQ(At(-97.5, -57.5), kNoIonoDelay);
}

}  // namespace
}  // namespace zarnmon
