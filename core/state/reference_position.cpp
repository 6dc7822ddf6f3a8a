#include "core/state/reference_position.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "core/app/settings_keys.h"
#include "core/link/bin_catalogue.h"

namespace zarnmon {

namespace {

// A profile text read the way "%lf" reads it: leading blanks, then the
// longest number; whatever follows is ignored.
std::optional<double> ScanDouble(const std::string& text) {
    const char* begin = text.c_str();
    char* end = nullptr;
    const double value = std::strtod(begin, &end);
    if (end == begin) {
        return std::nullopt;
    }
    return value;
}

// One key: the stored text, or the receiver's value in the key's format when
// the key is missing; counts when it scans and lies within +-limit.
void LoadOne(const CSettingsStore& store, std::string_view key, const std::string& fallback, double limit,
             double& target, int& count) {
    const auto value = ScanDouble(store.GetString(kLocation, key, fallback));
    // NaN fails both comparisons and so is never taken.
    if (value && *value >= -limit && *value <= limit) {
        target = *value;
        ++count;
    }
}

std::string Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

GeoPosition PositionOf(const Msg1View& msg1) noexcept {
    return {msg1.Latitude(), msg1.Longitude(), static_cast<double>(msg1.Height())};
}

void CReferencePosition::SetPosition(const GeoPosition& position) noexcept {
    latitude_ = position.latitude;
    longitude_ = position.longitude;
    height_ = position.height;
}

bool CReferencePosition::ComputeDegreeFactors(double latitude, double height) noexcept {
    const double phi = latitude * kDegToRad;
    const double s = std::sin(phi);
    const double w = 1.0 - kEccentricitySquared * s * s;
    if (!(w > 0.0)) {
        return false;
    }
    const double root = std::sqrt(w);
    metersPerDegLat_ = (kSemiMajorTimesOneMinusE2 / (root * root * root) + height) * kDegToRad;
    metersPerDegLon_ = std::cos(phi) * (kSemiMajorAxis / root + height) * kDegToRad;
    return true;
}

NeuOffset CReferencePosition::NeuError(double latitude, double longitude, double height) const noexcept {
    return {(latitude - latitude_) * metersPerDegLat_, (longitude - longitude_) * metersPerDegLon_, height - height_};
}

std::string FormatLatLon(double degrees) { return Format("%.8lf", degrees); }

std::string FormatHeight(double metres) { return Format("%.4lf", metres); }

bool LoadReferencePosition(CReferencePosition& reference, CSettingsStore& store, const GeoPosition& receiver) {
    int count = 0;
    double latitude = reference.Latitude();
    double longitude = reference.Longitude();
    double height = reference.Height();
    LoadOne(store, kLatitudeKey, FormatLatLon(receiver.latitude), CReferencePosition::kMaxLatitude, latitude, count);
    LoadOne(store, kLongitudeKey, FormatLatLon(receiver.longitude), CReferencePosition::kMaxLongitude, longitude,
            count);
    LoadOne(store, kHeightKey, FormatHeight(receiver.height), CReferencePosition::kMaxHeight, height, count);
    // Values that scanned are taken even when another did not.
    reference.SetPosition({latitude, longitude, height});

    // 0/0 is what an empty profile and a receiver without a fix both give.
    if (latitude == 0.0 && longitude == 0.0) {
        return false;
    }
    if (count != 3) {
        return false;
    }
    reference.ComputeDegreeFactors(latitude, height);
    SaveReferencePosition(reference, store);
    reference.MarkValid();
    return true;
}

void SaveReferencePosition(const CReferencePosition& reference, CSettingsStore& store) {
    store.SetString(kLocation, kLatitudeKey, FormatLatLon(reference.Latitude()));
    store.SetString(kLocation, kLongitudeKey, FormatLatLon(reference.Longitude()));
    store.SetString(kLocation, kHeightKey, FormatHeight(reference.Height()));
}

}  // namespace zarnmon
