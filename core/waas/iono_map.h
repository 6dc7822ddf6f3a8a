#pragma once

// The iono map's geometry: which part of the world it shows, how that part is
// cut into 2-degree squares on screen, how big the box in each square is, and
// where the latitude and longitude marks go. Everything here is integers and
// plain values so that the view only paints what these functions return.
//
// The region comes from the profile, which a user may have edited: stored
// values are never refused, only normalised into the world (longitudes
// wrapped, latitudes limited) and widened to multiples of 10 degrees. A region
// may still be empty (equal edges); its layout then has no squares, never a
// division by zero.
//
// Pixel rectangles have left and top inclusive, right and bottom exclusive.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/settings_store.h"

namespace zarnmon {

// Degrees: left is the west and right the east longitude, top the north and
// bottom the south latitude (east and north positive).
struct IonoRegion {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool operator==(const IonoRegion&) const = default;
};

struct IonoZone {
    std::string_view text;  // the zone's radio text
    IonoRegion region;
};

// The service areas, in the order of the coverage dialog's radios.
inline constexpr std::array<IonoZone, 4> kIonoZones{{
    {"WAAS North America", {-180, 80, -40, 0}},
    {"EGNOS Europe", {-60, 90, 60, 10}},
    {"MSAS Japan", {100, 70, 170, 10}},
    {"GAGAN India", {50, 50, 110, 0}},
}};
// The radio after the presets: a rectangle of the user's own.
inline constexpr int kCustomZone = static_cast<int>(kIonoZones.size());
inline constexpr std::string_view kCustomZoneText = "Custom";
inline constexpr IonoRegion kDefaultIonoRegion = kIonoZones[0].region;

// The preset whose four values equal the region exactly, else kCustomZone.
[[nodiscard]] int ZoneOf(const IonoRegion& region) noexcept;

// Longitudes into -180..180 (swapped when crossing 180 degrees), latitudes
// ordered and limited to +-90, then widened outwards to multiples of 10.
[[nodiscard]] IonoRegion NormaliseRegion(IonoRegion region) noexcept;

struct IonoCoverage {
    IonoRegion region = kDefaultIonoRegion;
    bool extendMap = true;  // lets the interpolation extrapolate beyond the grid

    bool operator==(const IonoCoverage&) const = default;
};

// The "IonoMapCoverage" section; a missing or unreadable key keeps the value
// of current. The region comes back normalised.
[[nodiscard]] IonoCoverage LoadIonoCoverage(const CSettingsStore& store, const IonoCoverage& current);
// The region and the flag are written apart: the coverage dialog always
// writes the flag but may keep the region it was opened with.
void SaveIonoRegion(CSettingsStore& store, const IonoRegion& region);
void SaveExtendMap(CSettingsStore& store, bool extendMap);

struct IonoRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    [[nodiscard]] int Width() const noexcept { return right - left; }
    [[nodiscard]] int Height() const noexcept { return bottom - top; }
    bool operator==(const IonoRect&) const = default;
};

struct IonoPoint {
    int x = 0;
    int y = 0;

    bool operator==(const IonoPoint&) const = default;
};

struct IonoSize {
    int width = 0;
    int height = 0;

    bool operator==(const IonoSize&) const = default;
};

// The screen layout of a region: squares of 2 by 2 degrees, row 0 in the
// north and column 0 in the west, cells sized so that the map comes near
// 860 x 520 pixels, below and right of a margin for the marks. The region is
// a normalised one: degrees within the world.
class IonoMapLayout {
public:
    static constexpr int kStepDegrees = 2;
    static constexpr int kMapOrigin = 55;     // left and top edge of the map, pixels
    static constexpr int kExtentMargin = 82;  // scroll extent beyond the map size
    static constexpr int kTargetWidth = 860;
    static constexpr int kTargetHeight = 520;

    explicit IonoMapLayout(const IonoRegion& region) noexcept;

    [[nodiscard]] const IonoRegion& Region() const noexcept { return region_; }
    // The region's west and north edges on even degrees.
    [[nodiscard]] int Left0() const noexcept { return left0_; }
    [[nodiscard]] int Top0() const noexcept { return top0_; }
    [[nodiscard]] int Columns() const noexcept { return columns_; }
    [[nodiscard]] int Rows() const noexcept { return rows_; }
    [[nodiscard]] int SquareCount() const noexcept { return columns_ * rows_; }
    [[nodiscard]] int CellSide() const noexcept { return side_; }
    [[nodiscard]] int MapWidth() const noexcept { return side_ * columns_; }
    [[nodiscard]] int MapHeight() const noexcept { return side_ * rows_; }
    [[nodiscard]] IonoRect MapRect() const noexcept;
    // What the view scrolls over.
    [[nodiscard]] IonoSize ScrollExtent() const noexcept;

    // The degrees of the map's east and south edges.
    [[nodiscard]] int Right0() const noexcept { return left0_ + kStepDegrees * columns_; }
    [[nodiscard]] int Bottom0() const noexcept { return top0_ - kStepDegrees * rows_; }
    // Where a longitude and a latitude fall on screen, in fractional pixels:
    // the one mapping that places the squares, the marks and the land.
    [[nodiscard]] double XOf(double longitude) const noexcept;
    [[nodiscard]] double YOf(double latitude) const noexcept;
    // The pixel column and row of a whole degree on an even step from the
    // map's corner: a square's edge or a mark.
    [[nodiscard]] int EdgeX(int longitude) const noexcept;
    [[nodiscard]] int EdgeY(int latitude) const noexcept;

    [[nodiscard]] IonoRect CellRect(int column, int row) const noexcept;
    // Centre of the square, where its delay is taken.
    [[nodiscard]] double SquareLongitude(int column) const noexcept;
    [[nodiscard]] double SquareLatitude(int row) const noexcept;

private:
    IonoRegion region_;
    int left0_ = 0;
    int top0_ = 0;
    int columns_ = 0;
    int rows_ = 0;
    int side_ = 0;
};

// A square's value: the delay in sixteenths of a metre, 0 for nothing to draw.
// Delays of 32 m and more include the interpolation's no-value 9999.0.
[[nodiscard]] int IonoSquareValue(double delayMetres) noexcept;

// What one square paints in blue: a filled box, or for a box too thin for
// that up to two single pixels, or nothing at all.
struct IonoSquareShape {
    std::optional<IonoRect> box;
    int pixelCount = 0;
    std::array<IonoPoint, 2> pixels{};

    [[nodiscard]] bool IsEmpty() const noexcept { return !box && pixelCount == 0; }
};

// The box for value in cell, at the scale where a box just fills its cell.
// Values above the scale give boxes larger than the cell, overlapping the
// neighbours. The pixels are the box's top-left and bottom-right corner
// points.
[[nodiscard]] IonoSquareShape IonoSquareGeometry(const IonoRect& cell, int value, int scale) noexcept;

// The scale is in sixteenths of a metre, as the square values are.
inline constexpr int kIonoStartScale = 128;
inline constexpr double kMinIonoScaleMetres = 4.0;
inline constexpr double kMaxIonoScaleMetres = 32.0;
[[nodiscard]] double IonoScaleMetres(int scale) noexcept;
// Rounds half up; the caller checks the range first.
[[nodiscard]] int IonoScaleFromMetres(double metres) noexcept;
// The map's title, naming the scale.
[[nodiscard]] std::string IonoMapTitle(int scale);

// One mark on the map's edge: every 10 degrees, a tick and a label "20°" (the
// degree sign as the 8-bit byte 0xB0).
struct IonoMapMark {
    int degrees = 0;
    int position = 0;  // y of a latitude mark, x of a longitude mark, pixels
    std::string label;

    bool operator==(const IonoMapMark&) const = default;
};

// Latitudes from the north edge southwards; longitudes from the west edge
// eastwards; each as far as the map reaches.
[[nodiscard]] std::vector<IonoMapMark> IonoLatitudeMarks(const IonoMapLayout& layout);
[[nodiscard]] std::vector<IonoMapMark> IonoLongitudeMarks(const IonoMapLayout& layout);

}  // namespace zarnmon
