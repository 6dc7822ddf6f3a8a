#pragma once

// The outline of the land that the iono map draws under its squares.
//
// The outline is a text the program carries with it: one ring per line of
// "longitude,latitude" pairs in degrees separated by single spaces, the last
// point repeating the first; lines starting with "#" are comments, blank lines
// are skipped, CR LF ends a line as well as LF. The text is converted once
// from a world atlas (scripts/land_outline_from_topojson.py), so a fault in it
// is a fault of the build: the whole text is refused, never half drawn.
//
// A ring stays within -180..180 degrees even where the land runs across 180
// degrees: there it jumps to the other end of the longitudes, or it is cut in
// two with an edge along the 180-degree meridian, and a ring around a pole
// runs all the way from -180 to 180. LandWithin turns such rings into pieces a
// flat map can draw without lines across the whole map.

#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace zarnmon {

struct GeoPoint {
    double longitude = 0.0;  // degrees, east positive
    double latitude = 0.0;   // degrees, north positive

    bool operator==(const GeoPoint&) const = default;
};

using GeoPolyline = std::vector<GeoPoint>;

// The rings of the outline text, or nothing when any line is malformed, out of
// the world or not a closed ring of at least three corners.
[[nodiscard]] std::optional<std::vector<GeoPolyline>> ParseLandOutline(std::string_view text);

// What a map showing longitudes west..east and latitudes south..north draws of
// the land. Longitudes are continuous along every piece, so a piece may reach
// past 180 degrees, and a ring that crosses 180 comes again 360 degrees away
// where the map needs it there.
struct LandPieces {
    // Closed rings to fill; a ring around a pole is closed along the pole.
    std::vector<GeoPolyline> areas;
    // The coast of those rings: the edges along the 180-degree meridian and
    // along the pole are where the atlas cut the land, not its coast.
    std::vector<GeoPolyline> coasts;
};

[[nodiscard]] LandPieces LandWithin(std::span<const GeoPolyline> rings, double west, double east, double south,
                                    double north);

}  // namespace zarnmon
