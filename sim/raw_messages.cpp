#include "sim/raw_messages.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "core/link/frame_builder.h"
#include "sim/nav_words.h"
#include "sim/sky_model.h"
#include "sim/wire_units.h"

namespace zarnmon::sim {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kSecondsPerDay = 86400.0;

// value / 2^exponent, rounded: a broadcast parameter in its scaled units.
std::int64_t Scaled(double value, int exponent) { return std::llround(std::ldexp(value, -exponent)); }

double Semicircles(double radians) { return std::remainder(radians, 2.0 * kPi) / kPi; }

std::uint32_t LockMs(const ChannelState& channel) {
    return static_cast<std::uint32_t>(std::clamp(channel.lockedFor * 1000.0, 0.0, 4.0e9));
}

// Subframe 1-3 of the frame the satellite is sending now, as 24-bit words.
std::array<std::vector<std::uint32_t>, 3> EphemerisSubframes(const CSkyModel& model, int prn, double frameTime) {
    const EphemerisTerms terms = model.Constellation().Terms(prn);
    const double gps = model.GpsSeconds();
    const double secondsOfWeek = model.SecondsOfWeek();
    const double weekStart = gps - secondsOfWeek;
    const double toe = std::floor(secondsOfWeek / 7200.0) * 7200.0;
    const int issue = EphemerisIssue(gps);
    const auto elements = model.Constellation().GpsElements(prn, weekStart + toe);
    const double clock = model.Tracker().SatelliteClock(prn, weekStart + toe) / kSpeedOfLight;
    const double clockRate = (model.Tracker().SatelliteClock(prn, weekStart + toe + 1.0) / kSpeedOfLight) - clock;

    const auto header = [&](CBitPacker& p, int subframe) {
        p.Put(0x8B, 8);  // preamble
        p.Put(0, 16);    // telemetry message, integrity, reserved
        const double start = frameTime + 6.0 * (subframe - 1);
        p.Put(static_cast<std::int64_t>((start + 6.0) / 6.0) % 100800, 17);
        p.Put(0, 1);  // alert
        p.Put(1, 1);  // anti-spoofing on
        p.Put(subframe, 3);
        p.Put(0, 2);
    };

    CBitPacker one;
    header(one, 1);
    one.Put(model.Week() % 1024, 10);
    one.Put(1, 2);  // P code on L2
    one.Put(model.Constellation().UraIndex(prn), 4);
    one.Put(model.Constellation().Healthy(prn) ? 0 : 0x3F, 6);
    one.Put(0, 2);  // IODC, high bits
    one.Put(0, 24 * 3 + 16);
    one.Put(Scaled(terms.groupDelay, -31), 8);
    one.Put(issue, 8);
    one.Put(static_cast<std::int64_t>(toe / 16.0), 16);
    one.Put(0, 8);  // af2
    one.Put(Scaled(clockRate, -43), 16);
    one.Put(Scaled(clock, -31), 22);
    one.Put(0, 2);

    CBitPacker two;
    header(two, 2);
    two.Put(issue, 8);
    two.Put(Scaled(terms.crs, -5), 16);
    two.Put(Scaled(terms.meanMotionDelta / kPi, -43), 16);
    two.Put(Scaled(Semicircles(elements.argumentOfLatitude - terms.perigee), -31), 32);
    two.Put(Scaled(terms.cuc, -29), 16);
    two.Put(Scaled(terms.eccentricity, -33), 32);
    two.Put(Scaled(terms.cus, -29), 16);
    two.Put(Scaled(std::sqrt(elements.radius), -19), 32);
    two.Put(static_cast<std::int64_t>(toe / 16.0), 16);
    two.Put(0, 8);  // fit interval, AODO, parity bits

    CBitPacker three;
    header(three, 3);
    three.Put(Scaled(terms.cic, -29), 16);
    three.Put(Scaled(Semicircles(elements.node - kEarthRotation * weekStart), -31), 32);
    three.Put(Scaled(terms.cis, -29), 16);
    three.Put(Scaled(Semicircles(terms.inclination), -31), 32);
    three.Put(Scaled(terms.crc, -5), 16);
    three.Put(Scaled(Semicircles(terms.perigee), -31), 32);
    three.Put(Scaled(-8.0e-9 / kPi, -43), 24);  // rate of right ascension
    three.Put(issue, 8);
    three.Put(Scaled(terms.inclinationRate / kPi, -43), 14);
    three.Put(0, 2);

    return {one.Words(), two.Words(), three.Words()};
}

}  // namespace

void AppendMsg96(const CSkyModel& model, std::vector<std::uint8_t>& out) {
    CBinFrameBuilder frame(96);
    const auto channels = model.Channels();
    frame.Set(raw96::ChannelCount, static_cast<std::uint8_t>(channels.size()))
        .Set(raw96::GpsWeek, static_cast<std::uint16_t>(model.Week()))
        .Set(raw96::GpsTimeOfWeek, model.SecondsOfWeek());
    for (std::size_t k = 0; k < channels.size(); ++k) {
        const ChannelState& c = channels[k];
        const std::size_t base = raw96::kChannelsOffset + k * raw96::kRecordSize;
        frame.Set(raw96::Channel, static_cast<std::uint8_t>(k), base);
        if (c.prn == 0) {
            continue;
        }
        frame.Set(raw96::Prn, static_cast<std::uint8_t>(c.prn), base)
            .Set(raw96::TrackFlags, c.trackFlags, base)
            .Set(raw96::SlipCount, static_cast<std::uint8_t>(c.slips & 0xFF), base)
            .Set(raw96::CnoRaw, L1CnoRawOf(c.cno), base)
            .Set(raw96::Doppler, Saturate<std::int16_t>(c.doppler), base)
            .Set(raw96::Pseudorange, c.pseudorange, base)
            .Set(raw96::CarrierPhase, c.carrierPhase, base);
    }
    frame.AppendTo(out);
}

void AppendMsg95(const CSkyModel& model, int prn, std::vector<std::uint8_t>& out) {
    const double frameTime = std::floor(model.SecondsOfWeek() / 30.0) * 30.0;
    const auto subframes = EphemerisSubframes(model, prn, frameTime);
    CBinFrameBuilder frame(95);
    frame.Set(raw95::Prn, static_cast<std::uint16_t>(prn)).Set(raw95::FrameTime, static_cast<std::uint32_t>(frameTime));
    const std::array fields{raw95::Subframe1, raw95::Subframe2, raw95::Subframe3};
    for (std::size_t s = 0; s < fields.size(); ++s) {
        for (std::size_t w = 0; w < raw95::kWordsPerSubframe && w < subframes[s].size(); ++w) {
            frame.Set(fields[s], subframes[s][w], w * sizeof(std::uint32_t));
        }
    }
    frame.AppendTo(out);
}

void AppendMsg94(const CSkyModel& model, std::vector<std::uint8_t>& out) {
    const IonoUtc& p = model.IonoUtcParameters();
    CBinFrameBuilder frame(94);
    for (std::size_t i = 0; i < 4; ++i) {
        frame.Set(raw94::Alpha, p.alpha[i], i * sizeof(double)).Set(raw94::Beta, p.beta[i], i * sizeof(double));
    }
    frame.Set(raw94::A0, p.a0)
        .Set(raw94::A1, p.a1)
        .Set(raw94::Tot, p.tot)
        .Set(raw94::Wnt, p.wnt)
        .Set(raw94::LeapSeconds, p.leapSeconds)
        .Set(raw94::Wnlsf, p.wnlsf)
        .Set(raw94::DayOfLeap, p.dayOfLeap)
        .Set(raw94::LeapSecondsFuture, p.leapSecondsFuture);
    frame.AppendTo(out);
}

void AppendMsg93(const CSkyModel& model, int k, std::vector<std::uint8_t>& out) {
    const auto channels = model.SbasChannels();
    const int prn = k >= 0 && k < static_cast<int>(channels.size()) ? channels[k].prn : 0;
    const double gps = model.GpsSeconds();
    const SatelliteState geo = CConstellation::GeoState(CConstellation::SbasLongitude(prn), gps);
    CBinFrameBuilder frame(93);
    frame.Set(raw93::Prn, static_cast<std::uint16_t>(prn))
        .Set(raw93::Iodn, static_cast<std::uint16_t>(static_cast<std::int64_t>(gps / 240.0) & 0xFF))
        .Set(raw93::T0, static_cast<std::uint32_t>(std::floor(std::fmod(gps, kSecondsPerDay) / 16.0) * 16.0))
        .Set(raw93::Ura, std::uint8_t{4})
        .Set(raw93::Health, std::uint8_t{0})
        .Set(raw93::ClockOffset, static_cast<float>((prn - 129) * 1.1e-9))
        .Set(raw93::ClockDrift, 0.0F);
    const std::array position{geo.position.x, geo.position.y, geo.position.z};
    const std::array velocity{geo.velocity.x, geo.velocity.y, geo.velocity.z};
    for (std::size_t i = 0; i < 3; ++i) {
        frame.Set(raw93::Position, position[i], i * sizeof(double))
            .Set(raw93::Velocity, static_cast<float>(velocity[i]), i * sizeof(float));
    }
    frame.AppendTo(out);
}

void AppendMsg91(const CSkyModel& model, std::vector<std::uint8_t>& out) {
    CBinFrameBuilder frame(91);
    frame.Set(raw91::GpsWeek, static_cast<std::uint16_t>(model.Week()))
        .Set(raw91::GpsTimeOfWeek, model.SecondsOfWeek())
        .Set(raw91::ClockBias, static_cast<float>(model.ClockBias()))
        .Set(raw91::ClockDrift, static_cast<float>(model.ClockErrHz()))
        .Set(raw91::Uptime, static_cast<std::uint32_t>(model.Elapsed()));
    const auto channels = model.Channels();
    for (std::size_t k = 0; k < channels.size(); ++k) {
        const ChannelState& c = channels[k];
        const std::size_t base = raw91::kChannelsOffset + k * raw91::kRecordSize;
        frame.Set(raw91::Channel, static_cast<std::uint8_t>(k), base);
        if (c.prn == 0) {
            continue;
        }
        frame.Set(raw91::Prn, static_cast<std::uint8_t>(c.prn), base)
            .Set(raw91::TrackFlags, c.trackFlags, base)
            .Set(raw91::Sf, c.subframes, base)
            .Set(raw91::LockTime, LockMs(c), base)
            .Set(raw91::Cno, static_cast<float>(c.cno), base)
            .Set(raw91::CodeError, static_cast<float>(c.posResid * 0.5), base)
            .Set(raw91::CarrierError, static_cast<float>(c.velResid / kL1Wavelength * 0.01), base)
            .Set(raw91::Doppler, static_cast<float>(c.doppler), base)
            .Set(raw91::Residual, static_cast<float>(c.posResid), base)
            .Set(raw91::Elevation, static_cast<float>(c.sight.elevation), base);
    }
    frame.AppendTo(out);
}

void AppendMsg71(const CSkyModel& model, std::vector<std::uint8_t>& out) {
    CBinFrameBuilder frame(71);
    for (int prn = 1; prn <= kGpsPrns; ++prn) {
        const std::size_t base = static_cast<std::size_t>(prn - 1) * raw71::kRecordSize;
        const AlmanacEntry almanac = model.Almanac(prn);
        const auto channels = model.Channels();
        const auto tracked = std::ranges::find_if(channels, [prn](const ChannelState& c) { return c.prn == prn; });
        const bool isTracked = tracked != channels.end();
        const std::uint8_t status =
            static_cast<std::uint8_t>((almanac.exists ? 0x01 : 0) | (almanac.healthy ? 0x02 : 0) |
                                      (isTracked ? 0x04 : 0) | (isTracked && tracked->used ? 0x08 : 0));
        frame.Set(raw71::Prn, static_cast<std::uint8_t>(prn), base).Set(raw71::Status, status, base);
        if (!almanac.exists) {
            continue;
        }
        frame.Set(raw71::Elevation, Saturate<std::int8_t>(almanac.elevation), base)
            .Set(raw71::AzimuthHalf, static_cast<std::uint8_t>(static_cast<int>(almanac.azimuth / 2.0) % 180), base)
            .Set(raw71::Doppler, Saturate<std::int16_t>(almanac.doppler), base)
            .Set(raw71::CnoRaw, isTracked ? L1CnoRawOf(tracked->cno) : std::uint16_t{0}, base)
            .Set(raw71::TrackedSeconds, static_cast<std::uint32_t>(model.Tracker().TrackedSeconds(prn)), base)
            .Set(raw71::Acquisitions, static_cast<std::uint16_t>(model.Tracker().Acquisitions(prn)), base);
    }
    frame.AppendTo(out);
}

void AppendMsg76(const CSkyModel& model, std::vector<std::uint8_t>& out) {
    CBinFrameBuilder frame(76);
    frame.Set(raw76::GpsTimeOfWeek, model.SecondsOfWeek())
        .Set(raw76::GpsWeek, static_cast<std::uint16_t>(model.Week()))
        .Set(raw76::ClockBias, static_cast<float>(model.ClockBias()));
    const auto channels = model.Channels();
    for (std::size_t k = 0; k < channels.size(); ++k) {
        const ChannelState& c = channels[k];
        const std::size_t base = raw76::kChannelsOffset + k * raw76::kRecordSize;
        frame.Set(raw76::Channel, static_cast<std::uint8_t>(k), base);
        if (c.prn == 0) {
            continue;
        }
        frame.Set(raw76::Prn, static_cast<std::uint8_t>(c.prn), base)
            .Set(raw76::L1Flags, c.trackFlags, base)
            .Set(raw76::L2Flags, c.l2Flags, base)
            .Set(raw76::L1Pseudorange, c.pseudorange, base)
            .Set(raw76::L1Phase, c.carrierPhase, base)
            .Set(raw76::L2MinusL1Code, static_cast<float>(c.p2MinusC1), base)
            .Set(raw76::L2MinusL1Phase, static_cast<float>(c.l2MinusL1), base)
            .Set(raw76::L1CnoRaw, L1CnoRawOf(c.cno), base)
            .Set(raw76::L2CnoRaw, L2CnoRawOf(c.l2Cno), base)
            .Set(raw76::LockTime, LockMs(c), base);
    }
    frame.AppendTo(out);
}

}  // namespace zarnmon::sim
