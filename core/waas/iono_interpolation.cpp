#include "core/waas/iono_interpolation.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace zarnmon {

namespace {

constexpr int kColumns = 72;
constexpr int kRows = 37;
// The rows of a polar band: 60, 65, 70 and 75 degrees.
constexpr int kNorthPolarFirstRow = 30;
constexpr int kNorthPolarLastRow = 33;
constexpr int kSouthPolarFirstRow = 3;
constexpr int kSouthPolarLastRow = 6;
// Bands 0-8 number 55S..55N in every column; 65 and 75 degrees only in the
// even ones.
constexpr int kLowestBandRow = 7;
constexpr int kHighestBandRow = 29;
constexpr std::uint16_t kNotMonitored = 0x000F;
constexpr std::uint16_t kUnusable = 0x1FFF;

std::uint16_t Entry(const IonoGrid& grid, int band, int position) noexcept {
    if (position < 0 || position >= IonoGrid::kEntriesPerBand) {
        return kMissingIgp;
    }
    return grid.igp[static_cast<std::size_t>(band)][static_cast<std::size_t>(position)];
}

// DO-229 numbering of bands 0-8: columns run south to north, 25 points a
// column on average, and one more after the band's single 85-degree column.
std::uint16_t BandValue(const IonoGrid& grid, int x, int y, int offset) noexcept {
    const int band = x / 8;
    const int column = x % 8;
    const int threshold = band % 2 == 0 ? band : band - 2;
    const int position = 25 * column + (y - 5) + (column > threshold ? 1 : 0) + offset;
    return Entry(grid, band, position);
}

// Band 9 (north, row 0 = 60N) or 10 (south, row 0 = 60S): 72 points at 60
// degrees, then 36 per row at 65, 70 and 75 degrees on the even columns.
std::uint16_t PolarValue(const IonoGrid& grid, int band, int x, int row) noexcept {
    if (row < 0 || row > 3) {
        return kMissingIgp;
    }
    if (row == 0) {
        return Entry(grid, band, x);
    }
    if (x % 2 != 0) {
        return kMissingIgp;
    }
    return Entry(grid, band, 36 * (row + 1) + x / 2);
}

std::uint16_t RawGridValue(const IonoGrid& grid, int x, int y) noexcept {
    if (x < 0 || x >= kColumns || y < 0 || y >= kRows) {
        return kMissingIgp;
    }
    if (y >= kNorthPolarFirstRow) {
        if ((grid.polarFlags & IonoGrid::kNorthPolarInUse) != 0) {
            return y <= kNorthPolarLastRow ? PolarValue(grid, IonoGrid::kNorthPolarBand, x, y - kNorthPolarFirstRow)
                                           : kMissingIgp;
        }
        if (x % 2 == 0 && (y == 31 || y == 33)) {
            return BandValue(grid, x, kHighestBandRow, y == 31 ? 1 : 2);
        }
        return kMissingIgp;
    }
    if (y <= kSouthPolarLastRow) {
        if ((grid.polarFlags & IonoGrid::kSouthPolarInUse) != 0) {
            return y >= kSouthPolarFirstRow ? PolarValue(grid, IonoGrid::kSouthPolarBand, x, kSouthPolarLastRow - y)
                                            : kMissingIgp;
        }
        if (x % 2 == 0 && (y == 5 || y == 3)) {
            return BandValue(grid, x, kLowestBandRow, y == 5 ? -1 : -2);
        }
        return kMissingIgp;
    }
    return BandValue(grid, x, y, 0);
}

std::uint32_t Delay(const IonoGrid& grid, int x, int y) noexcept { return IonoGrid::DelayUnits(GridValue(grid, x, y)); }

constexpr double kMetresPerUnit = 0.125;

}  // namespace

std::uint16_t GridValue(const IonoGrid& grid, int x, int y) noexcept {
    const std::uint16_t value = RawGridValue(grid, x, y);
    return value == kNotMonitored ? kUnusable : value;
}

std::optional<double> EvaluateCell(const IonoGrid& grid, CellSearch& search, int x, int y, int dx, int dy, double fx,
                                   double fy, bool allowTriangle) noexcept {
    enum Corner : std::size_t { kSw = 0, kSe = 1, kNe = 2, kNw = 3 };
    const int east = (x + dx) % kColumns;
    const std::array<std::uint32_t, 4> units = {Delay(grid, x, y), Delay(grid, east, y), Delay(grid, east, y + dy),
                                                Delay(grid, x, y + dy)};
    std::array<bool, 4> present{};
    int missing = 0;
    for (std::size_t k = 0; k < units.size(); ++k) {
        present[k] = units[k] < IonoGrid::kUnusableDelay;
        missing += present[k] ? 0 : 1;
    }
    const auto sw = static_cast<double>(units[kSw]);
    const auto se = static_cast<double>(units[kSe]);
    const auto ne = static_cast<double>(units[kNe]);
    const auto nw = static_cast<double>(units[kNw]);

    if (missing == 0) {
        return kMetresPerUnit * ((1 - fx) * (1 - fy) * sw + fx * (1 - fy) * se + fx * fy * ne + (1 - fx) * fy * nw);
    }
    if (missing == 1) {
        ++search.oneMissingCells;
        if (allowTriangle) {
            if (!present[kSw] && fy >= 1 - fx) {
                return kMetresPerUnit * ((fx + fy - 1) * ne + (1 - fx) * nw + (1 - fy) * se);
            }
            if (!present[kSe] && fy >= fx) {
                return kMetresPerUnit * ((fy - fx) * nw + (1 - fy) * sw + fx * ne);
            }
            if (!present[kNe] && fy <= 1 - fx) {
                return kMetresPerUnit * ((1 - fx - fy) * sw + fx * se + fy * nw);
            }
            if (!present[kNw] && fy <= fx) {
                return kMetresPerUnit * ((fx - fy) * se + fy * ne + (1 - fx) * sw);
            }
        }
    }
    // A diagonal pair brackets the point better than an edge, so it is kept
    // once found; an edge pair only fills an empty place.
    if (missing <= 2 && !(search.pair && search.pair->diagonal)) {
        if (present[kSw] && present[kNe]) {
            search.pair = FallbackPair{units[kSw], units[kNe], (fx + fy) / 2, true};
        } else if (present[kSe] && present[kNw]) {
            search.pair = FallbackPair{units[kSe], units[kNw], ((1 - fx) + fy) / 2, true};
        } else if (!search.pair) {
            if (present[kSw] && present[kSe]) {
                search.pair = FallbackPair{units[kSw], units[kSe], fx, false};
            } else if (present[kSe] && present[kNe]) {
                search.pair = FallbackPair{units[kSe], units[kNe], fy, false};
            } else if (present[kNw] && present[kNe]) {
                search.pair = FallbackPair{units[kNw], units[kNe], fx, false};
            } else if (present[kSw] && present[kNw]) {
                search.pair = FallbackPair{units[kSw], units[kNw], fy, false};
            }
        }
    }
    return std::nullopt;
}

namespace {

struct TenDegreeTry {
    int x;
    int y;
    double fx;
    double fy;
};

// The 10-degree cells around a point of the inner rows, both passes.
std::optional<double> TenDegreeCells(const IonoGrid& grid, CellSearch& search, int x, int y, double fx, double fy,
                                     int lower, int upper) noexcept {
    const double hx = fx / 2;
    const double hy = fy / 2;
    const int west = x == 0 ? kColumns - 1 : x - 1;
    std::array<TenDegreeTry, 4> tries{};
    std::size_t count = 0;
    if (y == lower) {
        tries[count++] = {x, y, hx, hy};
        tries[count++] = {west, y, hx + 0.5, hy};
    } else if (y == upper - 1) {
        tries[count++] = {x, y - 1, hx, hy + 0.5};
        tries[count++] = {west, y - 1, hx + 0.5, hy + 0.5};
    } else {
        tries[count++] = {x, y, hx, hy};
        tries[count++] = {west, y, hx + 0.5, hy};
        tries[count++] = {x, y - 1, hx, hy + 0.5};
        tries[count++] = {west, y - 1, hx + 0.5, hy + 0.5};
    }
    search.oneMissingCells = 0;
    for (const bool triangles : {false, true}) {
        // Triangles are worth a second pass only where a cell lacked one corner.
        if (triangles && search.oneMissingCells == 0) {
            break;
        }
        for (std::size_t i = 0; i < count; ++i) {
            const TenDegreeTry& cell = tries[i];
            if (const auto value = EvaluateCell(grid, search, cell.x, cell.y, 2, 2, cell.fx, cell.fy, triangles)) {
                return value;
            }
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<double> IonoDelay(const IonoGrid& grid, double longitude, double latitude, bool extendMap) noexcept {
    if (!std::isfinite(longitude) || !std::isfinite(latitude)) {
        return std::nullopt;
    }
    if (longitude > 180.0) {
        longitude -= 360.0;
    } else if (longitude < -180.0) {
        longitude += 360.0;
    }
    if (std::fabs(longitude) > 180.0) {
        longitude = std::remainder(longitude, 360.0);
    }
    const double gx = (longitude + 180.0) / 5.0;
    const double gy = std::clamp((latitude + 90.0) / 5.0, 3.0, 32.99);
    int x = static_cast<int>(gx);
    int y = static_cast<int>(gy);
    const double fx = gx - x;
    const double fy = gy - y;
    x %= kColumns;

    CellSearch search;
    const std::uint32_t polar = grid.polarFlags;
    const int lower = (polar & IonoGrid::kSouthPolarInUse) != 0 ? 6 : 7;
    const int upper = (polar & IonoGrid::kNorthPolarInUse) != 0 ? 30 : 29;

    if (y >= lower && y < upper) {
        if (const auto value = EvaluateCell(grid, search, x, y, 1, 1, fx, fy, true)) {
            return value;
        }
        if (const auto value = TenDegreeCells(grid, search, x, y, fx, fy, lower, upper)) {
            return value;
        }
    } else {
        // Beyond the inner rows the cells are 10 degrees wide, from even x.
        int cx = x;
        double hx = fx / 2;
        if (cx % 2 != 0) {
            hx += 0.5;
            cx -= 1;
        }
        const bool polarBand = ((polar & IonoGrid::kNorthPolarInUse) != 0 && y >= 19) ||
                               ((polar & IonoGrid::kSouthPolarInUse) != 0 && y <= 17);
        std::optional<double> value;
        if (polarBand) {
            value = EvaluateCell(grid, search, cx, y, 2, 1, hx, fy, true);
        } else {
            // Without a polar band the rows are 10 degrees high, from odd y.
            int cy = y;
            double hy = fy / 2;
            if (cy % 2 == 0) {
                hy += 0.5;
                cy -= 1;
            }
            value = EvaluateCell(grid, search, cx, cy, 2, 2, hx, hy, true);
        }
        if (value) {
            return value;
        }
        // Next to the inner rows, the nearest inner row can carry the value on.
        if ((y == upper || y == lower - 1) && !search.pair) {
            const int row = y < 18 ? lower : upper;
            const std::uint32_t a = Delay(grid, x, row);
            const std::uint32_t b = Delay(grid, (x + 1) % kColumns, row);
            if (a < IonoGrid::kUnusableDelay && b < IonoGrid::kUnusableDelay) {
                search.pair = FallbackPair{a, b, fx, false};
            }
        }
    }
    if (search.pair && extendMap) {
        const FallbackPair& pair = *search.pair;
        return kMetresPerUnit * ((1 - pair.t) * static_cast<double>(pair.a) + pair.t * static_cast<double>(pair.b));
    }
    return std::nullopt;
}

}  // namespace zarnmon
