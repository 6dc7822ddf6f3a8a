#pragma once

// The reference position ("User Location") that position errors are taken
// against, and its place in the profile.
//
// The reference is a latitude, longitude and height with metres-per-degree
// factors for small offsets around it. It starts invalid and becomes valid
// once, from the profile or, when nothing is stored, from the receiver's
// current position (which is then saved). Stored texts are whatever a user
// left in the profile: a value that does not scan or lies out of range keeps
// the reference invalid instead of failing. The program owns one of these for
// the whole run; tests make their own.

#include <string>

#include "core/app/settings_store.h"

namespace zarnmon {

class Msg1View;

// The ellipsoid every offset here is measured on.
inline constexpr double kSemiMajorAxis = 6378137.0;
inline constexpr double kEccentricitySquared = 0.006694380066764658;
inline constexpr double kSemiMajorTimesOneMinusE2 = 6335439.326804105;
inline constexpr double kDegToRad = 0.01745329251993791;

struct GeoPosition {
    double latitude = 0.0;   // degrees, north positive
    double longitude = 0.0;  // degrees, east positive
    double height = 0.0;     // metres
};

// Position errors in metres.
struct NeuOffset {
    double north = 0.0;
    double east = 0.0;
    double up = 0.0;
};

// The receiver's position of a message 1, height widened from its float.
[[nodiscard]] GeoPosition PositionOf(const Msg1View& msg1) noexcept;

class CReferencePosition {
public:
    static constexpr double kMaxLatitude = 90.0;
    static constexpr double kMaxLongitude = 180.0;
    static constexpr double kMaxHeight = 100000.0;

    [[nodiscard]] double Latitude() const noexcept { return latitude_; }
    [[nodiscard]] double Longitude() const noexcept { return longitude_; }
    [[nodiscard]] double Height() const noexcept { return height_; }
    [[nodiscard]] double MetersPerDegreeLatitude() const noexcept { return metersPerDegLat_; }
    [[nodiscard]] double MetersPerDegreeLongitude() const noexcept { return metersPerDegLon_; }
    [[nodiscard]] bool IsValid() const noexcept { return valid_; }

    // Takes new values without touching the factors or the valid flag (the
    // location dialog's OK runs ComputeDegreeFactors itself).
    void SetPosition(const GeoPosition& position) noexcept;
    void SetLatitude(double latitude) noexcept { latitude_ = latitude; }
    void SetLongitude(double longitude) noexcept { longitude_ = longitude; }
    void SetHeight(double height) noexcept { height_ = height; }
    // Once valid the reference stays valid for the run.
    void MarkValid() noexcept { valid_ = true; }

    // Metres per degree at this latitude and height; false (factors kept) for
    // a latitude where the ellipsoid formula breaks down.
    bool ComputeDegreeFactors(double latitude, double height) noexcept;

    // Small-offset errors of a position against the reference, valid or not.
    [[nodiscard]] NeuOffset NeuError(double latitude, double longitude, double height) const noexcept;
    [[nodiscard]] NeuOffset NeuError(const GeoPosition& position) const noexcept {
        return NeuError(position.latitude, position.longitude, position.height);
    }

private:
    double latitude_ = 0.0;
    double longitude_ = 0.0;
    double height_ = 0.0;
    double metersPerDegLat_ = 0.0;
    double metersPerDegLon_ = 0.0;
    bool valid_ = false;
};

// "%.8lf" for the angles and "%.4lf" for the height, as the profile keeps them.
[[nodiscard]] std::string FormatLatLon(double degrees);
[[nodiscard]] std::string FormatHeight(double metres);

// Reads "Location" (a missing key defaults to the receiver's current
// position), takes each value that scans and is in range, and when all three
// did and the position is not exactly 0/0, derives the factors, saves the
// keys and marks the reference valid. The caller saves the store to disk.
bool LoadReferencePosition(CReferencePosition& reference, CSettingsStore& store, const GeoPosition& receiver);

// Writes the three "Location" keys with their formats.
void SaveReferencePosition(const CReferencePosition& reference, CSettingsStore& store);

}  // namespace zarnmon
