#include "sim/message_writer.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/link/bin_catalogue.h"
#include "core/link/frame_builder.h"
#include "sim/diagnostic_lines.h"
#include "sim/nmea_writer.h"
#include "sim/raw_messages.h"
#include "sim/sky_model.h"
#include "sim/wire_units.h"

namespace zarnmon::sim {

namespace {

// Bytes the monitor does not read, filled as this receiver fills them.
namespace unread {
inline constexpr Field<std::uint32_t> Msg2TrackedMask{0, "TrackedMask"};
inline constexpr Field<std::uint8_t> Msg89ChannelCount{0, "ChannelCount"};
inline constexpr Field<std::uint32_t> Msg97Uptime{12, "Uptime"};
inline constexpr Field<std::uint16_t> Msg100GpsWeek{2, "GpsWeek"};
inline constexpr Field<double> Msg100GpsTimeOfWeek{4, "GpsTimeOfWeek"};
inline constexpr Field<std::uint8_t> L2Channel{0, "Channel"};
}  // namespace unread

// SBAS channels follow the 12 GPS channels in the channel numbering.
constexpr int kFirstSbasChannel = 12;
// Message 99's resolution flag: residuals in millimetres.
constexpr std::uint8_t kMillimetreResiduals = 0x10;
constexpr std::uint8_t kAlmanacValid = 2;
constexpr std::uint8_t kNoSuchSatellite = 0x04;
constexpr double kL2PerL1 = kL2Hz / kL1Hz;
constexpr int kStationBase = 100;

std::uint8_t AzimuthHalf(double azimuth) {
    return static_cast<std::uint8_t>(std::lround(WrapDegrees(azimuth) / 2.0) % 180);
}

void SetChannelRecord(CBinFrameBuilder& frame, std::size_t base, int number, const ChannelState& c, double clockErrHz) {
    frame.Set(chan::Channel, static_cast<std::uint8_t>(number), base);
    if (c.prn == 0) {
        return;
    }
    frame.Set(chan::Prn, static_cast<std::uint8_t>(c.prn), base)
        .Set(chan::TrackFlags, c.trackFlags, base)
        .Set(chan::Sf, c.subframes, base)
        .Set(chan::EphState, c.ephState, base)
        .Set(chan::EphFlag, Flag(c.used), base)
        .Set(chan::AlmState, c.almState, base)
        .Set(chan::AlmFlag, Flag(c.almState == kStateValid), base)
        .Set(chan::Elevation, Saturate<std::int8_t>(c.sight.elevation), base)
        .Set(chan::AzimuthHalf, AzimuthHalf(c.sight.azimuth), base)
        .Set(chan::UraIndex, static_cast<std::uint8_t>(c.uraIndex & 0x0F), base)
        .Set(chan::CnoRaw, L1CnoRawOf(c.cno), base)
        .Set(chan::DiffCorr, Saturate<std::int16_t>(c.diffCorr / 0.01), base)
        .Set(chan::PosResid, Saturate<std::int16_t>(c.posResid / 0.001), base)
        .Set(chan::VelResid, Saturate<std::int16_t>(c.velResid / 0.1), base)
        .Set(chan::Doppler, Saturate<std::int16_t>(c.doppler), base)
        .Set(chan::Nco, Saturate<std::int16_t>(c.doppler + clockErrHz), base);
}

std::uint8_t NavStatusOf(const Solution& s) {
    const std::uint8_t fix = s.fix == FixType::ThreeD ? 3 : (s.fix == FixType::TwoD ? 2 : 1);
    return static_cast<std::uint8_t>(fix | kMillimetreResiduals);
}

}  // namespace

CMessageWriter::CMessageWriter(const CSkyModel& model)
    : model_(model), rtcm_(kStationBase + static_cast<int>(model.Config().seed % 900)) {}

bool CMessageWriter::AppendBinary(std::uint16_t id, std::vector<std::uint8_t>& out) {
    switch (id) {
        case msg1::kId:
            AppendMsg1(out);
            return true;
        case msg2::kId:
            AppendMsg2(out);
            return true;
        case msg99::kId:
            AppendMsg99(out);
            return true;
        case msg98::kId:
            AppendMsg98(out);
            return true;
        case msg97::kId:
            AppendMsg97(out);
            return true;
        case msg100::kId:
            AppendMsg100(out);
            return true;
        case msg89::kId:
            AppendMsg89(out);
            return true;
        case 96:
            AppendMsg96(model_, out);
            return true;
        case 95:
            return AppendNextEphemeris(out);
        case 94:
            return AppendIonoUtcOnChange(out);
        case 93:
            return AppendNextSbasEphemeris(out);
        case 91:
            AppendMsg91(model_, out);
            return true;
        case 71:
            AppendMsg71(model_, out);
            return true;
        case 76:
            AppendMsg76(model_, out);
            return true;
        default:
            return false;
    }
}

bool CMessageWriter::AppendNmea(std::string_view name, std::vector<std::uint8_t>& out) {
    return AppendNmeaSentences(model_, name, out);
}

void CMessageWriter::AppendRtcm(std::vector<std::uint8_t>& out) { rtcm_.AppendType1(model_, out); }

void CMessageWriter::AppendRd1(std::vector<std::uint8_t>& out) {
    const std::string line = Rd1Line(model_);
    out.insert(out.end(), line.begin(), line.end());
}

void CMessageWriter::AppendRx(int k, std::vector<std::uint8_t>& out) {
    const std::string line = RxLine(model_, k);
    out.insert(out.end(), line.begin(), line.end());
}

void CMessageWriter::AppendMsg1(std::vector<std::uint8_t>& out) const {
    const Solution& s = model_.CurrentSolution();
    CBinFrameBuilder frame(msg1::kId);
    frame.Set(msg1::AgeOfDiff, Saturate<std::uint8_t>(s.ageOfDiff))
        .Set(msg1::NumSats, static_cast<std::uint8_t>(s.numUsed))
        .Set(msg1::GpsWeek, static_cast<std::uint16_t>(model_.Week()))
        .Set(msg1::GpsTimeOfWeek, model_.SecondsOfWeek())
        .Set(msg1::Latitude, s.position.latitude)
        .Set(msg1::Longitude, s.position.longitude)
        .Set(msg1::Height, static_cast<float>(s.position.height))
        .Set(msg1::VelNorth, static_cast<float>(s.velocity.north))
        .Set(msg1::VelEast, static_cast<float>(s.velocity.east))
        .Set(msg1::VelUp, static_cast<float>(s.velocity.up))
        .Set(msg1::StdDevResid, static_cast<float>(s.stdDevResid))
        .Set(msg1::NavMode, NavModeOf(s))
        .Set(msg1::ExtAgeOfDiff, std::uint16_t{0});
    frame.AppendTo(out);
}

void CMessageWriter::AppendMsg2(std::vector<std::uint8_t>& out) const {
    const Solution& s = model_.CurrentSolution();
    std::uint32_t tracked = 0;
    for (const ChannelState& c : model_.Channels()) {
        if (c.prn != 0) {
            tracked |= 1U << (c.prn - 1);
        }
    }
    // The first two SBAS satellites on the channels, with their used bits.
    std::uint16_t sbas = 0;
    int slot = 0;
    for (const ChannelState& c : model_.SbasChannels()) {
        if (c.prn == 0 || slot == 2) {
            continue;
        }
        sbas = static_cast<std::uint16_t>(sbas | ((c.prn - kSbasFirstPrn) & 0x1F) << (5 + 5 * slot));
        if (c.used) {
            sbas = static_cast<std::uint16_t>(sbas | (1U << (2 + slot)));
        }
        ++slot;
    }
    CBinFrameBuilder frame(msg2::kId);
    frame.Set(unread::Msg2TrackedMask, tracked)
        .Set(msg2::UsedMask, s.usedMask)
        .Set(msg2::GpsUtcDiff, static_cast<std::uint16_t>(CSkyModel::kGpsUtcOffset))
        .Set(msg2::Hdop, Saturate<std::uint16_t>(s.hdop * 10.0))
        .Set(msg2::Vdop, Saturate<std::uint16_t>(s.vdop * 10.0))
        .Set(msg2::SbasMask, sbas);
    frame.AppendTo(out);
}

void CMessageWriter::AppendMsg99(std::vector<std::uint8_t>& out) const {
    CBinFrameBuilder frame(msg99::kId);
    frame.Set(msg99::NavStatus, NavStatusOf(model_.CurrentSolution()))
        .Set(msg99::GpsUtcDiff, static_cast<std::int8_t>(CSkyModel::kGpsUtcOffset))
        .Set(msg99::GpsWeek, static_cast<std::uint16_t>(model_.Week()))
        .Set(msg99::GpsTimeOfWeek, model_.SecondsOfWeek())
        .Set(msg99::ClockErr, Saturate<std::int16_t>(model_.ClockErrHz()));
    const auto channels = model_.Channels();
    for (std::size_t k = 0; k < channels.size(); ++k) {
        SetChannelRecord(frame, msg99::kChannelsOffset + k * chan::kRecordSize, static_cast<int>(k), channels[k],
                         model_.ClockErrHz());
    }
    frame.AppendTo(out);
}

void CMessageWriter::AppendMsg89(std::vector<std::uint8_t>& out) const {
    const auto channels = model_.SbasChannels();
    const auto tracking = std::ranges::count_if(channels, [](const ChannelState& c) { return c.prn != 0; });
    CBinFrameBuilder frame(msg89::kId);
    frame.Set(unread::Msg89ChannelCount, static_cast<std::uint8_t>(tracking))
        .Set(msg89::SbasUsedMask, model_.SbasUsedMask())
        .Set(msg89::SbasFlags, std::uint8_t{0x01});  // residuals in millimetres, as message 99's
    for (std::size_t k = 0; k < channels.size(); ++k) {
        SetChannelRecord(frame, msg89::kChannelsOffset + k * chan::kRecordSize, kFirstSbasChannel + static_cast<int>(k),
                         channels[k], model_.ClockErrHz());
    }
    frame.AppendTo(out);
}

void CMessageWriter::AppendMsg98(std::vector<std::uint8_t>& out) {
    constexpr int kBlocks = kGpsPrns / msg98::kRecordCount;
    const int block = almanacTurn_ % kBlocks;
    // The satellite whose almanac was looked at last is one of those carried,
    // another one each time: every satellite in turn over eight rounds.
    const int lastPrn = block * msg98::kRecordCount + almanacTurn_ / kBlocks + 1;
    CBinFrameBuilder frame(msg98::kId);
    for (int r = 0; r < msg98::kRecordCount; ++r) {
        const int prn = block * msg98::kRecordCount + r + 1;
        const std::size_t base = static_cast<std::size_t>(r) * alm::kRecordSize;
        const AlmanacEntry entry = model_.Almanac(prn);
        frame.Set(alm::SvIndex, static_cast<std::uint8_t>(prn - 1), base);
        if (!entry.exists) {
            frame.Set(alm::AlmStatus, kNoSuchSatellite, base);
            continue;
        }
        frame.Set(alm::Doppler, Saturate<std::int16_t>(entry.doppler), base)
            .Set(alm::UpdateCount, entry.updateCount, base)
            .Set(alm::AlmStatus, kAlmanacValid, base)
            .Set(alm::AlmHealth, Flag(entry.healthy), base)
            .Set(alm::Elevation, Saturate<std::int8_t>(entry.elevation), base)
            .Set(alm::AzimuthHalf, AzimuthHalf(entry.azimuth), base);
    }
    frame.Set(msg98::LastAlmPrn, static_cast<std::uint8_t>(lastPrn)).Set(msg98::IonoValid, Flag(model_.IonoValid()));
    frame.AppendTo(out);
    almanacTurn_ = (almanacTurn_ + 1) % kGpsPrns;
}

void CMessageWriter::AppendMsg97(std::vector<std::uint8_t>& out) const {
    const ProcessorStats& p = model_.Processor();
    CBinFrameBuilder frame(msg97::kId);
    frame.Set(msg97::SpareCount, p.spareCount)
        .Set(msg97::MissedSubframes, p.missedSubframes)
        .Set(msg97::MaxSubframesPending, p.maxSubframesPending)
        .Set(msg97::MissedAccumulations, p.missedAccumulations)
        .Set(msg97::MissedMeasurements, p.missedMeasurements)
        .Set(unread::Msg97Uptime, static_cast<std::uint32_t>(model_.Elapsed()));
    frame.AppendTo(out);
}

void CMessageWriter::AppendMsg100(std::vector<std::uint8_t>& out) const {
    // Resolution flag clear: C1mL1 carries C1 - L1 in centimetres.
    CBinFrameBuilder frame(msg100::kId);
    frame.Set(msg100::L2Status, std::uint8_t{0})
        .Set(unread::Msg100GpsWeek, static_cast<std::uint16_t>(model_.Week()))
        .Set(unread::Msg100GpsTimeOfWeek, model_.SecondsOfWeek());
    const auto channels = model_.Channels();
    for (std::size_t k = 0; k < channels.size(); ++k) {
        const ChannelState& c = channels[k];
        const std::size_t base = msg100::kChannelsOffset + k * l2chan::kRecordSize;
        frame.Set(unread::L2Channel, static_cast<std::uint8_t>(k), base);
        if (c.prn == 0) {
            continue;
        }
        frame.Set(l2chan::Prn, static_cast<std::uint8_t>(c.prn), base)
            .Set(l2chan::C1mL1, Saturate<std::int16_t>(c.c1MinusL1 / 0.01), base);
        if (c.l2Flags == 0) {
            continue;
        }
        frame.Set(l2chan::L2Flags, c.l2Flags, base)
            .Set(l2chan::L1PFlags, c.l1pFlags, base)
            .Set(l2chan::L2CnoRaw, L2CnoRawOf(c.l2Cno), base)
            .Set(l2chan::L1PCnoRaw, L2CnoRawOf(c.l1pCno), base)
            .Set(l2chan::P2mC1, Saturate<std::int16_t>(c.p2MinusC1 / 0.01), base)
            .Set(l2chan::P2mL1, Saturate<std::int16_t>((c.p2MinusC1 + c.c1MinusL1) / 0.01), base)
            .Set(l2chan::L2mL1, Saturate<std::int16_t>(c.l2MinusL1 / 0.1), base)
            .Set(l2chan::P2mP1, Saturate<std::int16_t>(c.p2MinusP1 / 0.01), base)
            .Set(l2chan::L2Nco, Saturate<std::int16_t>((c.doppler + model_.ClockErrHz()) * kL2PerL1), base);
    }
    frame.AppendTo(out);
}

bool CMessageWriter::AppendNextEphemeris(std::vector<std::uint8_t>& out) {
    // The next tracked PRN with ephemeris after the last one sent, wrapping.
    int next = 0;
    int lowest = 0;
    for (const ChannelState& c : model_.Channels()) {
        if (c.prn == 0 || c.prn > kGpsPrns || c.ephState != kStateValid) {
            continue;
        }
        if (lowest == 0 || c.prn < lowest) {
            lowest = c.prn;
        }
        if (c.prn > lastEphemerisPrn_ && (next == 0 || c.prn < next)) {
            next = c.prn;
        }
    }
    const int prn = next != 0 ? next : lowest;
    if (prn == 0) {
        return false;
    }
    lastEphemerisPrn_ = prn;
    AppendMsg95(model_, prn, out);
    return true;
}

bool CMessageWriter::AppendNextSbasEphemeris(std::vector<std::uint8_t>& out) {
    const auto channels = model_.SbasChannels();
    for (int step = 1; step <= kSbasChannels; ++step) {
        const int k = (lastSbasChannel_ + step) % kSbasChannels;
        if (channels[static_cast<std::size_t>(k)].prn != 0 &&
            channels[static_cast<std::size_t>(k)].ephState == kStateValid) {
            lastSbasChannel_ = k;
            AppendMsg93(model_, k, out);
            return true;
        }
    }
    return false;
}

bool CMessageWriter::AppendIonoUtcOnChange(std::vector<std::uint8_t>& out) {
    const std::int64_t issue = model_.IonoUtcParameters().issue;
    if (issue == sentIonoIssue_) {
        return false;
    }
    sentIonoIssue_ = issue;
    AppendMsg94(model_, out);
    return true;
}

}  // namespace zarnmon::sim
