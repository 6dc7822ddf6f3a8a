#include "core/waas/land_outline.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>
#include <system_error>
#include <utility>

namespace zarnmon {

namespace {

constexpr double kHalfTurn = 180.0;
constexpr double kFullTurn = 360.0;
constexpr double kPole = 90.0;
// Three corners and the first again.
constexpr std::size_t kMinRingPoints = 4;

std::optional<double> Number(std::string_view text) {
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<GeoPoint> ParsePoint(std::string_view token) {
    const std::size_t comma = token.find(',');
    if (comma == std::string_view::npos) {
        return std::nullopt;
    }
    const std::optional<double> longitude = Number(token.substr(0, comma));
    const std::optional<double> latitude = Number(token.substr(comma + 1));
    if (!longitude || !latitude || std::abs(*longitude) > kHalfTurn || std::abs(*latitude) > kPole) {
        return std::nullopt;
    }
    return GeoPoint{*longitude, *latitude};
}

std::optional<GeoPolyline> ParseRing(std::string_view line) {
    GeoPolyline ring;
    for (;;) {
        const std::size_t space = line.find(' ');
        const std::optional<GeoPoint> point = ParsePoint(line.substr(0, space));
        if (!point) {
            return std::nullopt;
        }
        ring.push_back(*point);
        if (space == std::string_view::npos) {
            break;
        }
        line.remove_prefix(space + 1);
    }
    if (ring.size() < kMinRingPoints || ring.front() != ring.back()) {
        return std::nullopt;
    }
    return ring;
}

bool OnAntimeridian(const GeoPoint& point) { return std::abs(point.longitude) == kHalfTurn; }

// A ring with continuous longitudes, and for each edge (point i to i + 1)
// whether it is coast.
struct ContinuousRing {
    GeoPolyline points;
    std::vector<bool> coast;
};

ContinuousRing MakeContinuous(const GeoPolyline& ring) {
    ContinuousRing out;
    double shift = 0.0;
    for (std::size_t i = 0; i < ring.size(); ++i) {
        if (i > 0) {
            // No edge of the land is half a turn long: a step that long is
            // the ring crossing 180 degrees.
            const double step = ring[i].longitude - ring[i - 1].longitude;
            if (step > kHalfTurn) {
                shift -= kFullTurn;
            } else if (step < -kHalfTurn) {
                shift += kFullTurn;
            }
            out.coast.push_back(!(OnAntimeridian(ring[i - 1]) && OnAntimeridian(ring[i])));
        }
        out.points.push_back({ring[i].longitude + shift, ring[i].latitude});
    }
    // A ring around a pole ends a whole turn from where it began; it is
    // closed along the pole it surrounds.
    const GeoPoint first = out.points.front();
    const GeoPoint last = out.points.back();
    if (last.longitude != first.longitude) {
        const double pole = first.latitude < 0.0 ? -kPole : kPole;
        out.points.insert(out.points.end(), {{last.longitude, pole}, {first.longitude, pole}, first});
        out.coast.insert(out.coast.end(), 3, false);
    }
    return out;
}

void AddPieces(const ContinuousRing& ring, double shift, LandPieces& pieces) {
    GeoPolyline area;
    area.reserve(ring.points.size());
    for (const GeoPoint& point : ring.points) {
        area.push_back({point.longitude + shift, point.latitude});
    }
    GeoPolyline coast;
    const auto endCoast = [&] {
        if (coast.size() >= 2) {
            pieces.coasts.push_back(std::move(coast));
        }
        coast.clear();
    };
    for (std::size_t i = 0; i < ring.coast.size(); ++i) {
        if (!ring.coast[i]) {
            endCoast();
            continue;
        }
        if (coast.empty()) {
            coast.push_back(area[i]);
        }
        coast.push_back(area[i + 1]);
    }
    endCoast();
    pieces.areas.push_back(std::move(area));
}

}  // namespace

std::optional<std::vector<GeoPolyline>> ParseLandOutline(std::string_view text) {
    std::vector<GeoPolyline> rings;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.empty() || line.front() == '#') {
            continue;
        }
        std::optional<GeoPolyline> ring = ParseRing(line);
        if (!ring) {
            return std::nullopt;
        }
        rings.push_back(std::move(*ring));
    }
    return rings;
}

LandPieces LandWithin(std::span<const GeoPolyline> rings, double west, double east, double south, double north) {
    LandPieces pieces;
    for (const GeoPolyline& ring : rings) {
        if (ring.empty()) {
            continue;
        }
        const ContinuousRing continuous = MakeContinuous(ring);
        const auto [westmost, eastmost] =
            std::minmax_element(continuous.points.begin(), continuous.points.end(),
                                [](const GeoPoint& a, const GeoPoint& b) { return a.longitude < b.longitude; });
        const auto [southmost, northmost] =
            std::minmax_element(continuous.points.begin(), continuous.points.end(),
                                [](const GeoPoint& a, const GeoPoint& b) { return a.latitude < b.latitude; });
        if (southmost->latitude >= north || northmost->latitude <= south) {
            continue;
        }
        // Continuous longitudes stay within a turn of -180..180, and so does
        // every map: a turn each way finds every copy the map shows.
        for (const double shift : {-kFullTurn, 0.0, kFullTurn}) {
            if (westmost->longitude + shift < east && eastmost->longitude + shift > west) {
                AddPieces(continuous, shift, pieces);
            }
        }
    }
    return pieces;
}

}  // namespace zarnmon
