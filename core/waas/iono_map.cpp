#include "core/waas/iono_map.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "core/app/settings_keys.h"

namespace zarnmon {

namespace {

static_assert(kDefaultIonoRegion == IonoRegion{kDefaultMapLeft, kDefaultMapTop, kDefaultMapRight, kDefaultMapBottom});

constexpr int kDegreesPerMark = 10;

// Profile values can be anything an int holds: wide arithmetic, no loops
// that run for every 360 degrees.
int WrapLongitude(int degrees) {
    std::int64_t value = degrees;
    if (value > 180) {
        value -= 360 * ((value - 180 + 359) / 360);
    } else if (value < -180) {
        value += 360 * ((-180 - value + 359) / 360);
    }
    return static_cast<int>(value);
}

// Toward minus infinity, negative values included.
int FloorTo(int value, int step) {
    const std::int64_t wide = value;
    return static_cast<int>(wide - (((wide % step) + step) % step));
}

int CeilTo(int value, int step) { return static_cast<int>(-static_cast<std::int64_t>(FloorTo(-value, step))); }

IonoRegion WrapAndOrder(IonoRegion region) {
    region.left = WrapLongitude(region.left);
    region.right = WrapLongitude(region.right);
    if (region.left > region.right) {
        std::swap(region.left, region.right);
    }
    if (region.bottom > region.top) {
        std::swap(region.bottom, region.top);
    }
    region.top = std::min(region.top, 90);
    region.bottom = std::max(region.bottom, -90);
    return region;
}

std::string DegreeLabel(int degrees) { return std::to_string(degrees) + '\xB0'; }

}  // namespace

int ZoneOf(const IonoRegion& region) noexcept {
    const auto found =
        std::find_if(kIonoZones.begin(), kIonoZones.end(), [&](const IonoZone& zone) { return zone.region == region; });
    return static_cast<int>(found - kIonoZones.begin());
}

IonoRegion NormaliseRegion(IonoRegion region) noexcept {
    region = WrapAndOrder(region);
    region.left = FloorTo(region.left, kDegreesPerMark);
    region.bottom = FloorTo(region.bottom, kDegreesPerMark);
    region.right = CeilTo(region.right, kDegreesPerMark);
    region.top = CeilTo(region.top, kDegreesPerMark);
    return WrapAndOrder(region);
}

IonoCoverage LoadIonoCoverage(const CSettingsStore& store, const IonoCoverage& current) {
    IonoCoverage coverage;
    coverage.region.left = store.GetInt(kIonoMapCoverage, kLeftKey, current.region.left);
    coverage.region.top = store.GetInt(kIonoMapCoverage, kTopKey, current.region.top);
    coverage.region.right = store.GetInt(kIonoMapCoverage, kRightKey, current.region.right);
    coverage.region.bottom = store.GetInt(kIonoMapCoverage, kBottomKey, current.region.bottom);
    coverage.region = NormaliseRegion(coverage.region);
    coverage.extendMap = store.GetInt(kIonoMapCoverage, kExtendMapKey, current.extendMap ? 1 : 0) != 0;
    return coverage;
}

void SaveIonoRegion(CSettingsStore& store, const IonoRegion& region) {
    store.SetInt(kIonoMapCoverage, kLeftKey, region.left);
    store.SetInt(kIonoMapCoverage, kTopKey, region.top);
    store.SetInt(kIonoMapCoverage, kRightKey, region.right);
    store.SetInt(kIonoMapCoverage, kBottomKey, region.bottom);
}

void SaveExtendMap(CSettingsStore& store, bool extendMap) {
    store.SetInt(kIonoMapCoverage, kExtendMapKey, extendMap ? 1 : 0);
}

IonoMapLayout::IonoMapLayout(const IonoRegion& region) noexcept
    : region_(region),
      left0_(FloorTo(region.left, kStepDegrees)),
      top0_(CeilTo(region.top, kStepDegrees)),
      columns_(std::max(0, (1 + region.right - left0_) / kStepDegrees)),
      rows_(std::max(0, (1 + top0_ - region.bottom) / kStepDegrees)) {
    // An empty region keeps a sensible side for its (absent) squares.
    side_ = (kTargetWidth / std::max(columns_, 1) + kTargetHeight / std::max(rows_, 1)) / 2;
}

IonoRect IonoMapLayout::MapRect() const noexcept {
    return {kMapOrigin, kMapOrigin, kMapOrigin + MapWidth(), kMapOrigin + MapHeight()};
}

IonoSize IonoMapLayout::ScrollExtent() const noexcept {
    return {MapWidth() + kExtentMargin, MapHeight() + kExtentMargin};
}

double IonoMapLayout::XOf(double longitude) const noexcept {
    return kMapOrigin + side_ * (longitude - left0_) / kStepDegrees;
}

double IonoMapLayout::YOf(double latitude) const noexcept {
    return kMapOrigin + side_ * (top0_ - latitude) / kStepDegrees;
}

int IonoMapLayout::EdgeX(int longitude) const noexcept { return static_cast<int>(XOf(longitude)); }

int IonoMapLayout::EdgeY(int latitude) const noexcept { return static_cast<int>(YOf(latitude)); }

IonoRect IonoMapLayout::CellRect(int column, int row) const noexcept {
    const int west = left0_ + kStepDegrees * column;
    const int north = top0_ - kStepDegrees * row;
    return {EdgeX(west), EdgeY(north), EdgeX(west + kStepDegrees), EdgeY(north - kStepDegrees)};
}

double IonoMapLayout::SquareLongitude(int column) const noexcept { return left0_ + kStepDegrees * column + 1; }

double IonoMapLayout::SquareLatitude(int row) const noexcept { return top0_ - kStepDegrees * row - 1; }

int IonoSquareValue(double delayMetres) noexcept {
    // The interpolation never gives a negative delay; should one come, it is
    // no delay to show rather than a negative box. NaN fails both tests too.
    if (!(delayMetres >= 0.0 && delayMetres < 32.0)) {
        return 0;
    }
    return static_cast<int>(delayMetres * 16.0 + 0.5);
}

IonoSquareShape IonoSquareGeometry(const IonoRect& cell, int value, int scale) noexcept {
    IonoSquareShape shape;
    if (value <= 0 || scale <= 0) {
        return shape;
    }
    const std::int64_t w = cell.Width();
    const std::int64_t h = cell.Height();
    const auto sw = static_cast<int>((value * w + scale / 2) / scale);
    const auto sh = static_cast<int>((value * h + scale / 2) / scale);

    // Negative shrinks (boxes above the scale) grow the box past the cell.
    const int dx = static_cast<int>((w - sw) / 2);
    const int dy = static_cast<int>((h - sh) / 2);
    IonoRect box{cell.left + dx, cell.top + dy, cell.right - dx, cell.bottom - dy};
    // An odd difference leaves one pixel too many; it goes on the right and
    // bottom so that the box stays on the cell's grid.
    if (box.Width() > sw) {
        --box.right;
        --box.bottom;
    }

    if (box.Width() >= 2 && box.Height() >= 2) {
        shape.box = box;
        return shape;
    }
    // Too thin for a box, but a delay there still shows as a dot.
    shape.pixels[shape.pixelCount++] = {box.left, box.top};
    if (box.Width() > 0 && box.Height() > 0) {
        shape.pixels[shape.pixelCount++] = {box.right, box.bottom};
    }
    return shape;
}

double IonoScaleMetres(int scale) noexcept { return scale / 16.0; }

int IonoScaleFromMetres(double metres) noexcept { return static_cast<int>(metres * 16.0 + 0.5); }

std::string IonoMapTitle(int scale) {
    char text[64];
    std::snprintf(text, sizeof text, "Iono Correctors (squares touch at %.1lfm)", IonoScaleMetres(scale));
    return text;
}

std::vector<IonoMapMark> IonoLatitudeMarks(const IonoMapLayout& layout) {
    std::vector<IonoMapMark> marks;
    const int top0 = layout.Top0();
    for (int latitude = FloorTo(top0, kDegreesPerMark); (top0 - latitude) / 2 <= layout.Rows();
         latitude -= kDegreesPerMark) {
        marks.push_back({latitude, layout.EdgeY(latitude), DegreeLabel(latitude)});
    }
    return marks;
}

std::vector<IonoMapMark> IonoLongitudeMarks(const IonoMapLayout& layout) {
    std::vector<IonoMapMark> marks;
    const int left0 = layout.Left0();
    for (int longitude = CeilTo(left0, kDegreesPerMark); (longitude - left0) / 2 <= layout.Columns();
         longitude += kDegreesPerMark) {
        marks.push_back({longitude, layout.EdgeX(longitude), DegreeLabel(longitude)});
    }
    return marks;
}

}  // namespace zarnmon
