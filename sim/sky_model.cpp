#include "sim/sky_model.h"

#include <algorithm>
#include <cmath>

#include "sim/dop.h"

namespace zarnmon::sim {

namespace {

constexpr double kSecondsPerWeek = 604800.0;
constexpr std::array<int, 2> kWaasPrns{135, 138};
constexpr double kNoDop = 99.9;
// Without a fix there are no residuals; the receiver reports a spread no
// test would take for a working solution.
constexpr double kNoResidualSpread = 99.9;  // m
// Corrections arrive every few seconds; their age runs up between them.
constexpr double kCorrectionInterval = 5.0;
// The almanac of all 32 PRNs passes once every 12.5 minutes.
constexpr double kAlmanacCycle = 750.0;
constexpr double kAlmanacPage = kAlmanacCycle / kGpsPrns;
// The receiver keeps its clock within half a millisecond by 1 ms steps.
constexpr double kClockStep = kSpeedOfLight * 1e-3;

std::vector<int> ValidSbasPrns(std::span<const int> prns) {
    std::vector<int> valid;
    for (const int prn : prns) {
        if (prn >= kSbasFirstPrn && prn <= kSbasLastPrn && valid.size() < kSbasChannels) {
            valid.push_back(prn);
        }
    }
    return valid;
}

}  // namespace

std::uint16_t NavModeOf(const Solution& solution) {
    switch (solution.fix) {
        case FixType::None:
            return 0;
        case FixType::TwoD:
            return solution.differential ? 3 : 1;
        case FixType::ThreeD:
            return solution.differential ? 4 : 2;
    }
    return 0;
}

CSkyModel::CSkyModel(const SimConfig& config) : CSkyModel(config, kWaasPrns) {}

CSkyModel::CSkyModel(const SimConfig& config, std::span<const int> sbasPrns)
    : config_(config),
      sbasPrns_(ValidSbasPrns(sbasPrns)),
      startGpsSeconds_(config.startWeek * kSecondsPerWeek + config.startSeconds),
      constellation_(config.seed),
      motion_(config),
      tracker_(config.seed, constellation_),
      processor_(config.seed),
      lband_(config.seed),
      clockRandom_(config.seed, Stream::Clock) {
    clockBase_ = clockRandom_.Uniform(-800.0, 800.0);
    clockWander_ = CGaussMarkov(20.0, 600.0, clockRandom_);
    clockBias_ = clockRandom_.Uniform(-0.5, 0.5) * kClockStep;
    agePhase_ = clockRandom_.Uniform(0.0, kCorrectionInterval);
    solution_.position = motion_.TruePosition();
    Update(0.0);
}

void CSkyModel::AdvanceTo(double elapsedSeconds) {
    if (!(elapsedSeconds > elapsed_)) {
        return;
    }
    const double dt = elapsedSeconds - elapsed_;
    elapsed_ = elapsedSeconds;
    Update(dt);
}

void CSkyModel::Update(double dt) {
    gpsSeconds_ = startGpsSeconds_ + elapsed_;
    week_ = static_cast<std::int32_t>(std::floor(gpsSeconds_ / kSecondsPerWeek));
    secondsOfWeek_ = gpsSeconds_ - week_ * kSecondsPerWeek;

    clockErrHz_ = clockBase_ + clockWander_.Step(dt, clockRandom_);
    clockBias_ += clockErrHz_ * kL1Wavelength * dt;
    if (std::abs(clockBias_) > kClockStep / 2.0) {
        clockBias_ -= std::copysign(kClockStep, clockBias_);
    }

    motion_.AdvanceTo(elapsed_, differential_);
    const CLocalFrame frame(motion_.TruePosition());
    const Enu& velocity = motion_.TrueVelocity();
    for (int prn = 1; prn <= kGpsPrns; ++prn) {
        gps_[prn - 1] =
            constellation_.Exists(prn) ? See(frame, velocity, constellation_.GpsState(prn, gpsSeconds_)) : Sighting{};
    }
    for (std::size_t k = 0; k < sbasPrns_.size(); ++k) {
        sbas_[k] =
            See(frame, velocity, CConstellation::GeoState(CConstellation::SbasLongitude(sbasPrns_[k]), gpsSeconds_));
    }
    lband_.Update(dt, gpsSeconds_, frame, velocity, clockErrHz_);

    TrackingInputs in;
    in.elapsed = elapsed_;
    in.gpsSeconds = gpsSeconds_;
    in.gps = gps_;
    in.sbasPrns = sbasPrns_;
    in.sbas = std::span<const Sighting>(sbas_).first(sbasPrns_.size());
    in.receiver = motion_.TruePosition();
    in.positionError = motion_.PositionError();
    in.differential = differential_;
    in.clockBias = clockBias_;
    tracker_.Update(in);

    // Corrections come from the L-band link or an SBAS GEO in use.
    differential_ = lband_.Status().locked || SbasUsedMask() != 0;
    UpdateSolution();

    const auto busy = std::ranges::count_if(tracker_.Gps(), [](const ChannelState& c) { return c.prn != 0; });
    processor_.Update(dt, static_cast<int>(busy));

    const std::int64_t issue = IonoUtcIssueAt(gpsSeconds_);
    if (issue != ionoUtc_.issue) {
        ionoUtc_ = MakeIonoUtc(config_.seed, issue, kGpsUtcOffset);
    }
}

void CSkyModel::UpdateSolution() {
    std::vector<Enu> lines;
    double squares = 0.0;
    std::uint32_t mask = 0;
    for (const ChannelState& channel : tracker_.Gps()) {
        if (channel.prn != 0 && channel.used) {
            lines.push_back(channel.sight.lineOfSight);
            squares += channel.posResid * channel.posResid;
            mask |= 1U << (channel.prn - 1);
        }
    }
    Solution& s = solution_;
    s.numUsed = static_cast<int>(lines.size());
    s.usedMask = mask;
    s.differential = differential_;

    std::optional<Dops> dops;
    if (lines.size() >= 4) {
        dops = ComputeDops(lines);
        s.fix = dops ? FixType::ThreeD : FixType::None;
    } else if (lines.size() == 3) {
        dops = ComputeDops(lines, true);
        s.fix = dops ? FixType::TwoD : FixType::None;
    } else {
        s.fix = FixType::None;
    }
    s.stdDevResid = s.fix == FixType::None ? kNoResidualSpread : std::sqrt(squares / static_cast<double>(lines.size()));
    s.hdop = dops ? dops->hdop : kNoDop;
    s.vdop = dops ? dops->vdop : kNoDop;
    s.ageOfDiff = differential_ ? 1.0 + std::fmod(elapsed_ + agePhase_, kCorrectionInterval) : 0.0;
    if (s.fix != FixType::None) {
        lband_.OnFix(gpsSeconds_);
        s.position = motion_.ReportedPosition();
        if (s.fix == FixType::TwoD) {
            s.position.height = motion_.TruePosition().height;
        }
        s.velocity = motion_.ReportedVelocity();
    } else {
        s.velocity = {};
    }
}

std::uint8_t CSkyModel::SbasUsedMask() const {
    std::uint8_t mask = 0;
    const auto channels = tracker_.Sbas();
    for (std::size_t k = 0; k < channels.size(); ++k) {
        if (channels[k].prn != 0 && channels[k].used) {
            mask = static_cast<std::uint8_t>(mask | (1U << k));
        }
    }
    return mask;
}

AlmanacEntry CSkyModel::Almanac(int prn) const {
    if (!constellation_.Exists(prn)) {
        return {};
    }
    const Sighting& sight = gps_[prn - 1];
    // Pages already received in this run: one per PRN per almanac cycle.
    const double page = (prn - 1) * kAlmanacPage;
    const double since =
        std::floor((gpsSeconds_ - page) / kAlmanacCycle) - std::floor((startGpsSeconds_ - page) / kAlmanacCycle);
    return {true,
            constellation_.Healthy(prn),
            sight.elevation,
            sight.azimuth,
            -sight.almanacRangeRate / kL1Wavelength,
            static_cast<std::uint8_t>(static_cast<std::int64_t>(since) & 0xFF)};
}

int CSkyModel::LastAlmanacPrn() const {
    const double inCycle = std::fmod(gpsSeconds_, kAlmanacCycle);
    return std::clamp(static_cast<int>(std::floor(inCycle / kAlmanacPage)) + 1, 1, kGpsPrns);
}

}  // namespace zarnmon::sim
