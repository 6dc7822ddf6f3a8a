#pragma once

// The receiver's sky and signals as the sky view shows them, read from the
// stored messages: every satellite a channel tracks (message 99 for the 12
// GPS channels, 89 for the 3 SBAS channels) at the elevation and azimuth its
// channel record gives, with its C/No and whether the solution uses it, and
// every satellite that message 98's almanac table puts in the sky while no
// channel tracks it.
//
// Channel data older than the 6000 ms rule (strict: the age of the data, not
// of a request) counts as gone: its satellites fall back to what the almanac
// says of them and its channels chart nothing. The almanac table has no age
// and is never cleared (the almanac view shows it for the whole run), so
// almanac satellites stay. The almanac carries no C/No: its satellites have
// none, which is not the same as a measured 0.0.
//
// A satellite below the horizon has no place on the plot; its channel's
// signal is still charted.

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <vector>

#include "core/link/bin_catalogue.h"
#include "core/link/msg_dispatcher.h"
#include "core/state/solution_use.h"

namespace zarnmon {

struct SkyPosition {
    int azimuth = 0;    // degrees clockwise from north
    int elevation = 0;  // degrees above the horizon
    bool operator==(const SkyPosition&) const = default;
};

// From the plot's centre: x east (right), y south (down).
struct PlotOffset {
    double x = 0.0;
    double y = 0.0;
};

// North up, east right, the distance from the centre linear in elevation:
// the zenith at the centre, the horizon at radius. Elevations outside 0..90
// are held at the nearer end.
[[nodiscard]] PlotOffset PolarOffset(SkyPosition position, double radius) noexcept;

enum class SkyUse : std::uint8_t { Used, Tracked, AlmanacOnly };

struct SkySatellite {
    int prn = 0;
    SkyPosition position;
    SkyUse use = SkyUse::AlmanacOnly;
    std::optional<double> cno;  // dB; none from the almanac
    bool operator==(const SkySatellite&) const = default;
};

// Channels as the channel table numbers them from 0: GPS 0..11, SBAS 12..14.
inline constexpr int kGpsSignalChannels = 12;
inline constexpr int kSignalChannels = 15;

// The record of a channel while it tracks a satellite with fresh data and
// carries its own channel number; an idle record otherwise.
[[nodiscard]] ChannelRecord TrackedRecord(const CMsgDispatcher& dispatcher, int channel);

// The satellites above the horizon, each PRN once: the tracked ones in
// channel order, then the almanac's by PRN.
[[nodiscard]] std::vector<SkySatellite> SkySatellites(const CMsgDispatcher& dispatcher, const ChannelUse& use);

struct ChannelSignal {
    int prn = 0;               // 0: idle, or its data went stale
    std::optional<double> l1;  // dB
    std::optional<double> l2;  // dB, while message 100 flows and has this satellite
    bool used = false;
    bool operator==(const ChannelSignal&) const = default;
};

[[nodiscard]] ChannelSignal SignalOfChannel(const CMsgDispatcher& dispatcher, const ChannelUse& use, int channel);

// The last positions of each satellite in the sky, oldest first, the
// current one last. A position joins when it differs from the last one
// kept, so a satellite standing still (a GEO) keeps one; at most kLength
// are kept, and a satellite that leaves the sky leaves its trail behind.
class CSkyTrails {
public:
    static constexpr std::size_t kLength = 30;

    void Follow(std::span<const SkySatellite> sky);
    // Empty for a satellite not in the sky.
    [[nodiscard]] std::span<const SkyPosition> Trail(int prn) const;
    [[nodiscard]] std::size_t Satellites() const { return trails_.size(); }

private:
    std::map<int, std::vector<SkyPosition>> trails_;
};

// What the sky view shows as of its last update: the sky, each channel's
// signal and the trails that followed the sky so far.
class CSkyPicture {
public:
    // Samples which messages answer for use, reads the sky and the signals
    // and lets the trails follow.
    void Update(const CMsgDispatcher& dispatcher);

    [[nodiscard]] const std::vector<SkySatellite>& Sky() const { return sky_; }
    // channel 0..14; an idle signal out of range.
    [[nodiscard]] ChannelSignal Signal(int channel) const;
    [[nodiscard]] const CSkyTrails& Trails() const { return trails_; }

private:
    std::vector<SkySatellite> sky_;
    std::array<ChannelSignal, kSignalChannels> signals_{};
    CSkyTrails trails_;
};

}  // namespace zarnmon
