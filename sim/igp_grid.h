#pragma once

// The ionospheric grid points (IGPs) of RTCA DO-229 and the bands that
// number them, as a type 18 mask and a type 26 block count them.
//
// Bands 0-8 each cover eight 5-degree columns of longitude, band b starting
// at 180W + 40b. Every column has the 23 points 55S..55N; the even columns
// (10-degree longitudes) add 75S, 65S, 65N and 75N, and four columns add an
// 85-degree point: 85N at 180W, 90W, 0 and 90E, 85S at 140W, 50W, 40E and
// 130E. Points are numbered column by column, west to east, south to north
// within a column, from position 0. That gives 201 points per band except
// band 8, which has no 85-degree column and 200.
//
// Bands 9 (north) and 10 (south) are the polar caps: 60 degrees every 5
// degrees of longitude from 180W, then 65, 70 and 75 degrees every 10, then
// 85 degrees every 30 (from 180W in the north, 170W in the south), 192
// points each.
//
// Longitudes are in degrees -180..175, latitudes -85..85.

#include <vector>

namespace zarnmon::sim {

inline constexpr int kIgpBandCount = 11;
inline constexpr int kNorthPolarBand = 9;
inline constexpr int kSouthPolarBand = 10;

struct Igp {
    int band;
    int position;  // bit of the band's mask, from 0
    double latitude;
    double longitude;
};

// Mask bits of a band: 201 (bands 0-7), 200 (band 8), 192 (bands 9, 10); 0
// for any other number.
[[nodiscard]] int BandMaskBits(int band) noexcept;

// Every IGP of a band in mask-bit order (element i has position i); empty for
// a band that does not exist.
[[nodiscard]] std::vector<Igp> BandIgps(int band);

// A latitude/longitude box around a point; it may cross the 180 degree
// meridian.
struct IgpRegion {
    double latitude;
    double longitude;
    double latHalfSpan;  // degrees either side
    double lonHalfSpan;
};

[[nodiscard]] bool Contains(const IgpRegion& region, double latitude, double longitude) noexcept;

// The IGPs of one band that a GEO puts in its mask, in mask-bit order.
struct BandMask {
    int band;
    std::vector<Igp> igps;
};

// The bands that cover a region and their IGPs inside it, bands ascending.
// With polar bands, every point north of 55N (south of 55S) comes from band 9
// (10) as soon as that band has a point in the region, and bands 0-8 leave
// their 65, 75 and 85 degree points on that side out of the mask: the same
// place is then not given twice, and a decoder that takes a band 0-8 point
// beyond 55 degrees as the sign of no polar band is not misled.
[[nodiscard]] std::vector<BandMask> RegionBandMasks(const IgpRegion& region, bool usePolarBands);

}  // namespace zarnmon::sim
