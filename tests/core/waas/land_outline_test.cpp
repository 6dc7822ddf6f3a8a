#include "core/waas/land_outline.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

namespace zarnmon {
namespace {

// The outline the program carries, straight from the source tree.
std::vector<GeoPolyline> CarriedOutline() {
    std::ifstream file(std::string(ZARNMON_TEST_DATA) + "/../../gui/resources/maps/land-110m.txt", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_FALSE(text.empty());
    return ParseLandOutline(text).value_or(std::vector<GeoPolyline>{});
}

struct Bounds {
    double west = 1e9;
    double east = -1e9;
    double south = 1e9;
    double north = -1e9;
};

Bounds BoundsOf(const GeoPolyline& line) {
    Bounds b;
    for (const GeoPoint& p : line) {
        b.west = std::min(b.west, p.longitude);
        b.east = std::max(b.east, p.longitude);
        b.south = std::min(b.south, p.latitude);
        b.north = std::max(b.north, p.latitude);
    }
    return b;
}

// The longest step in longitude between neighbours: a piece that jumps
// across the map would draw a streak.
double LongestStep(const GeoPolyline& line) {
    double longest = 0.0;
    for (std::size_t i = 1; i < line.size(); ++i) {
        longest = std::max(longest, std::abs(line[i].longitude - line[i - 1].longitude));
    }
    return longest;
}

TEST(LandOutlineTest, CarriedOutline_HasEveryRingClosedWithinTheWorld) {
    const std::vector<GeoPolyline> rings = CarriedOutline();
    ASSERT_EQ(rings.size(), 126U);
    std::size_t points = 0;
    for (const GeoPolyline& ring : rings) {
        points += ring.size();
        EXPECT_EQ(ring.front(), ring.back());
        const Bounds b = BoundsOf(ring);
        EXPECT_GE(b.west, -180.0);
        EXPECT_LE(b.east, 180.0);
        EXPECT_GE(b.south, -90.0);
        EXPECT_LE(b.north, 90.0);
    }
    EXPECT_EQ(points, 5121U);
}

TEST(LandOutlineTest, CarriedOutline_HasCapeHornAndGreatBritainWhereTheyAre) {
    const std::vector<GeoPolyline> rings = CarriedOutline();
    // Cape Horn, 67.27W 55.98S: Tierra del Fuego ends near it.
    const GeoPoint horn{-67.27, -55.98};
    const auto nearHorn = std::find_if(rings.begin(), rings.end(), [&](const GeoPolyline& ring) {
        return std::any_of(ring.begin(), ring.end(), [&](const GeoPoint& p) {
            return std::hypot(p.longitude - horn.longitude, p.latitude - horn.latitude) < 0.75;
        });
    });
    ASSERT_NE(nearHorn, rings.end());
    EXPECT_NEAR(BoundsOf(*nearHorn).south, -55.5, 0.5);

    // Great Britain is the one sizeable ring between 7W and 2E, 49.5N and 59N
    // (Ireland reaches further west), from Land's End and the Lizard to East
    // Anglia and Dunnet Head.
    std::vector<Bounds> britain;
    for (const GeoPolyline& ring : rings) {
        const Bounds b = BoundsOf(ring);
        if (ring.size() > 20 && b.west >= -7.0 && b.east <= 2.0 && b.south >= 49.5 && b.north <= 59.0) {
            britain.push_back(b);
        }
    }
    ASSERT_EQ(britain.size(), 1U);
    EXPECT_NEAR(britain[0].west, -5.7, 0.5);
    EXPECT_NEAR(britain[0].east, 1.75, 0.25);
    EXPECT_NEAR(britain[0].south, 49.96, 0.2);
    EXPECT_NEAR(britain[0].north, 58.64, 0.2);
}

TEST(LandOutlineTest, Text_CommentsBlankLinesAndCrLfAreSkipped) {
    const auto rings = ParseLandOutline("# land\r\n\n0,0 1.5,0 1.5,-2.25 0,0\r\n#\n-180,90 180,90 0,-90 -180,90");
    ASSERT_TRUE(rings.has_value());
    ASSERT_EQ(rings->size(), 2U);
    EXPECT_EQ((*rings)[0], (GeoPolyline{{0, 0}, {1.5, 0}, {1.5, -2.25}, {0, 0}}));
    EXPECT_EQ((*rings)[1].size(), 4U);
    EXPECT_TRUE(ParseLandOutline("").value().empty());
}

TEST(LandOutlineTest, Text_AnyMalformedRingRefusesTheWhole) {
    const char* const bad[] = {
        "0,0 1,0 1,1 0,0\n0,0 1,0 1,1",  // not closed
        "0,0 1,0 0,0",                   // two corners only
        "0,0 1,0 1,1 0,0 ",              // a trailing space
        "0,0  1,0 1,1 0,0",              // an empty pair
        "0,0 1;0 1,1 0,0",               // no comma
        "0,0 1,0x 1,1 0,0",              // junk after a number
        "0,0 180.01,0 1,1 0,0",          // beyond 180 degrees
        "0,0 1,-90.5 1,1 0,0",           // beyond the pole
        "0,0 inf,0 1,1 0,0",             // not a number of degrees
        "0,0 nan,0 1,1 0,0",
        "0,0 1,0 1,1 0,0\n # an indented comment",
    };
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(ParseLandOutline(text).has_value());
    }
}

// An island across 180 degrees, stored with a jump: 175E to 175W.
const GeoPolyline kJumping{{175, 10}, {-175, 10}, {-175, 20}, {175, 20}, {175, 10}};

TEST(LandWithinTest, RingAcross180_IsOnePieceOnEitherSideWithoutAStreak) {
    const GeoPolyline ring[] = {kJumping};
    const LandPieces east = LandWithin(ring, 100, 180, 0, 30);
    ASSERT_EQ(east.areas.size(), 1U);
    EXPECT_EQ(BoundsOf(east.areas[0]).west, 175.0);
    EXPECT_EQ(BoundsOf(east.areas[0]).east, 185.0);
    EXPECT_EQ(LongestStep(east.areas[0]), 10.0);

    const LandPieces west = LandWithin(ring, -180, -100, 0, 30);
    ASSERT_EQ(west.areas.size(), 1U);
    EXPECT_EQ(BoundsOf(west.areas[0]).west, -185.0);
    EXPECT_EQ(BoundsOf(west.areas[0]).east, -175.0);
    ASSERT_EQ(west.coasts.size(), 1U);
    EXPECT_EQ(west.coasts[0], west.areas[0]) << "all of it is coast";

    EXPECT_EQ(LandWithin(ring, -180, 180, 0, 30).areas.size(), 2U) << "at both ends of a whole world";
    EXPECT_TRUE(LandWithin(ring, -170, 170, 0, 30).areas.empty());
    EXPECT_TRUE(LandWithin(ring, 100, 180, 20, 60).areas.empty()) << "touching the map's edge only";
    EXPECT_TRUE(LandWithin(ring, 100, 180, -30, 10).areas.empty());
}

TEST(LandWithinTest, RingCutAlong180_LeavesTheCutOutOfTheCoast) {
    // An island cut in two at 180 degrees: its western half, at 178.5E to
    // 180, stored with its cut as -180 then 180; its eastern half, at 180 to
    // 178.5W, with its cut along -180.
    const GeoPolyline ring[] = {
        {{-180, 71.5}, {180, 70.75}, {178.75, 70.75}, {178.5, 71.25}, {-180, 71.5}},
        {{-180, 71.5}, {-179, 71.75}, {-178.5, 71}, {-180, 70.75}, {-180, 71.5}},
    };
    const LandPieces west = LandWithin(ring, 170, 180, 60, 80);
    ASSERT_EQ(west.areas.size(), 1U);
    EXPECT_EQ(west.areas[0], (GeoPolyline{{180, 71.5}, {180, 70.75}, {178.75, 70.75}, {178.5, 71.25}, {180, 71.5}}));
    ASSERT_EQ(west.coasts.size(), 1U);
    EXPECT_EQ(west.coasts[0], (GeoPolyline{{180, 70.75}, {178.75, 70.75}, {178.5, 71.25}, {180, 71.5}}));

    const LandPieces east = LandWithin(ring, -180, -170, 60, 80);
    ASSERT_EQ(east.areas.size(), 1U);
    EXPECT_EQ(east.areas[0], ring[1]);
    ASSERT_EQ(east.coasts.size(), 1U);
    EXPECT_EQ(east.coasts[0], (GeoPolyline{{-180, 71.5}, {-179, 71.75}, {-178.5, 71}, {-180, 70.75}}));
}

TEST(LandWithinTest, RingAroundThePole_IsClosedAlongThePoleWhichIsNoCoast) {
    const GeoPolyline ring[] = {{{-180, -70}, {-90, -72}, {0, -68}, {90, -72}, {178, -71}, {-180, -70}}};
    const LandPieces land = LandWithin(ring, -60, 60, -90, -60);
    ASSERT_EQ(land.areas.size(), 1U);
    const GeoPolyline& area = land.areas[0];
    EXPECT_EQ(area.front(), area.back());
    EXPECT_EQ(BoundsOf(area).west, -180.0);
    EXPECT_EQ(BoundsOf(area).east, 180.0);
    EXPECT_EQ(BoundsOf(area).south, -90.0);
    ASSERT_EQ(land.coasts.size(), 1U);
    EXPECT_EQ(land.coasts[0].size(), 6U);
    EXPECT_EQ(land.coasts[0].back(), (GeoPoint{180, -70}));
    EXPECT_GT(BoundsOf(land.coasts[0]).south, -73.0);

    EXPECT_TRUE(LandWithin(ring, -60, 60, -60, 0).areas.empty());
}

TEST(LandWithinTest, CarriedOutline_NoPieceStreaksAcrossAnyMap) {
    const std::vector<GeoPolyline> rings = CarriedOutline();
    const struct {
        double west, east, south, north;
    } maps[] = {{-180, -40, 0, 80}, {-60, 60, 10, 90}, {100, 170, 10, 70}, {-180, 180, -90, 90}, {170, 180, 50, 80}};
    for (const auto& map : maps) {
        SCOPED_TRACE(testing::Message() << map.west << ".." << map.east);
        const LandPieces land = LandWithin(rings, map.west, map.east, map.south, map.north);
        EXPECT_FALSE(land.areas.empty());
        for (const GeoPolyline& coast : land.coasts) {
            EXPECT_LT(LongestStep(coast), 20.0);
        }
    }
    // Eurasia reaches across 180 degrees to Chukotka, which is land at the
    // North American map's north-west corner, ending at Cape Dezhnev (169.7W).
    const LandPieces america = LandWithin(rings, -180, -40, 0, 80);
    EXPECT_TRUE(std::any_of(america.areas.begin(), america.areas.end(), [](const GeoPolyline& area) {
        const Bounds b = BoundsOf(area);
        return b.west < -180.0 && std::abs(b.east - -169.7) < 0.5 && b.north > 68.0;
    }));
}

}  // namespace
}  // namespace zarnmon
