#include "core/state/sky_plot.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string_view>

namespace zarnmon {

namespace {

constexpr int kZenith = 90;

bool Fresh(const CMsgDispatcher& dispatcher, int slot) { return dispatcher.IsActive(slot, true); }

bool Contains(const std::vector<int>& prns, int prn) { return std::ranges::find(prns, prn) != prns.end(); }

SkyPosition PositionOf(const ChannelRecord& record) { return {record.AzimuthDegrees(), record.Elevation()}; }

// The L2 C/No of a satellite, from the record of message 100 that carries it.
std::optional<double> L2SignalOf(const CMsgDispatcher& dispatcher, int prn) {
    if (!Fresh(dispatcher, Slots::Msg100)) {
        return std::nullopt;
    }
    const Msg100View msg100(dispatcher.Handler(Slots::Msg100).LastMessage());
    for (int k = 0; k < msg100::kChannelCount; ++k) {
        const L2ChannelRecord record = msg100.L2Channel(k);
        if (record.Prn() == prn) {
            return record.L2CnoDbHz();
        }
    }
    return std::nullopt;
}

}  // namespace

PlotOffset PolarOffset(SkyPosition position, double radius) noexcept {
    const double distance = radius * (kZenith - std::clamp(position.elevation, 0, kZenith)) / kZenith;
    const double bearing = position.azimuth * std::numbers::pi / 180.0;
    return {distance * std::sin(bearing), -distance * std::cos(bearing)};
}

ChannelRecord TrackedRecord(const CMsgDispatcher& dispatcher, int channel) {
    ChannelRecord record;
    if (channel >= 0 && channel < kGpsSignalChannels) {
        if (Fresh(dispatcher, Slots::Msg99)) {
            record = Msg99View(dispatcher.Handler(Slots::Msg99).LastMessage()).Channel(channel);
        }
    } else if (channel >= kGpsSignalChannels && channel < kSignalChannels) {
        if (Fresh(dispatcher, Slots::Msg89)) {
            record = Msg89View(dispatcher.Handler(Slots::Msg89).LastMessage()).Channel(channel - kGpsSignalChannels);
        }
    }
    return record.Prn() != 0 && record.Channel() == channel ? record : ChannelRecord();
}

std::vector<SkySatellite> SkySatellites(const CMsgDispatcher& dispatcher, const ChannelUse& use) {
    std::vector<SkySatellite> sky;
    // Every tracked PRN, below the horizon too: the almanac does not place those.
    std::vector<int> tracked;
    for (int channel = 0; channel < kSignalChannels; ++channel) {
        const ChannelRecord record = TrackedRecord(dispatcher, channel);
        const int prn = record.Prn();
        if (prn == 0 || Contains(tracked, prn)) {
            continue;
        }
        tracked.push_back(prn);
        if (record.Elevation() < 0) {
            continue;
        }
        const bool used = UsedInSolution(dispatcher, use, prn, channel < kGpsSignalChannels);
        sky.push_back({prn, PositionOf(record), used ? SkyUse::Used : SkyUse::Tracked, record.CnoDbHz()});
    }

    const CAlmanacTable& almanac = dispatcher.AlmanacHandler().Almanac();
    for (int sv = 0; sv < CAlmanacTable::kEntries; ++sv) {
        const AlmanacRecord entry = almanac.Entry(sv);
        const std::string_view status = entry.StatusText();
        // The almanac view shows no position for these either.
        if (status == "NoInfo" || status == "NoSuch" || entry.Elevation() < 0 || Contains(tracked, sv + 1)) {
            continue;
        }
        sky.push_back({sv + 1, {entry.AzimuthDegrees(), entry.Elevation()}, SkyUse::AlmanacOnly, std::nullopt});
    }
    return sky;
}

ChannelSignal SignalOfChannel(const CMsgDispatcher& dispatcher, const ChannelUse& use, int channel) {
    const ChannelRecord record = TrackedRecord(dispatcher, channel);
    const int prn = record.Prn();
    if (prn == 0) {
        return {};
    }
    const bool gps = channel < kGpsSignalChannels;
    return {prn, record.CnoDbHz(), gps ? L2SignalOf(dispatcher, prn) : std::nullopt,
            UsedInSolution(dispatcher, use, prn, gps)};
}

void CSkyTrails::Follow(std::span<const SkySatellite> sky) {
    std::erase_if(trails_, [sky](const auto& trail) {
        return std::ranges::none_of(sky, [&trail](const SkySatellite& sat) { return sat.prn == trail.first; });
    });
    for (const SkySatellite& sat : sky) {
        std::vector<SkyPosition>& trail = trails_[sat.prn];
        if (!trail.empty() && trail.back() == sat.position) {
            continue;
        }
        if (trail.size() == kLength) {
            trail.erase(trail.begin());
        }
        trail.push_back(sat.position);
    }
}

std::span<const SkyPosition> CSkyTrails::Trail(int prn) const {
    const auto found = trails_.find(prn);
    return found == trails_.end() ? std::span<const SkyPosition>() : std::span<const SkyPosition>(found->second);
}

void CSkyPicture::Update(const CMsgDispatcher& dispatcher) {
    const ChannelUse use = SampleChannelUse(dispatcher);
    sky_ = SkySatellites(dispatcher, use);
    for (int channel = 0; channel < kSignalChannels; ++channel) {
        signals_[static_cast<std::size_t>(channel)] = SignalOfChannel(dispatcher, use, channel);
    }
    trails_.Follow(sky_);
}

ChannelSignal CSkyPicture::Signal(int channel) const {
    return channel >= 0 && channel < kSignalChannels ? signals_[static_cast<std::size_t>(channel)] : ChannelSignal();
}

}  // namespace zarnmon
