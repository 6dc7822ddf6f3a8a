#include "core/link/bin_catalogue.h"

#include <algorithm>
#include <cmath>

namespace zarnmon {

namespace {

constexpr std::array kMsg1Fields{
    Describe(msg1::AgeOfDiff),    Describe(msg1::NumSats),   Describe(msg1::GpsWeek),     Describe(msg1::GpsTimeOfWeek),
    Describe(msg1::Latitude),     Describe(msg1::Longitude), Describe(msg1::Height),      Describe(msg1::VelNorth),
    Describe(msg1::VelEast),      Describe(msg1::VelUp),     Describe(msg1::StdDevResid), Describe(msg1::NavMode),
    Describe(msg1::ExtAgeOfDiff),
};

constexpr std::array kMsg2Fields{
    Describe(msg2::UsedMask), Describe(msg2::GpsUtcDiff), Describe(msg2::Hdop),
    Describe(msg2::Vdop),     Describe(msg2::SbasMask),
};

constexpr std::array kChannelFields{
    Describe(chan::Channel),   Describe(chan::Prn),         Describe(chan::TrackFlags), Describe(chan::Sf),
    Describe(chan::EphState),  Describe(chan::EphFlag),     Describe(chan::AlmState),   Describe(chan::AlmFlag),
    Describe(chan::Elevation), Describe(chan::AzimuthHalf), Describe(chan::UraIndex),   Describe(chan::CnoRaw),
    Describe(chan::DiffCorr),  Describe(chan::PosResid),    Describe(chan::VelResid),   Describe(chan::Doppler),
    Describe(chan::Nco),
};

constexpr std::array kMsg99Fields{
    Describe(msg99::NavStatus),     Describe(msg99::GpsUtcDiff), Describe(msg99::GpsWeek),
    Describe(msg99::GpsTimeOfWeek), Describe(msg99::ClockErr),
};

constexpr std::array kMsg99Groups{
    RecordGroup{"Channels", msg99::kChannelsOffset, msg99::kChannelCount, chan::kRecordSize, kChannelFields},
};

constexpr std::array kMsg98Fields{Describe(msg98::LastAlmPrn), Describe(msg98::IonoValid)};

constexpr std::array kAlmanacFields{
    Describe(alm::Doppler),   Describe(alm::UpdateCount), Describe(alm::SvIndex),     Describe(alm::AlmStatus),
    Describe(alm::AlmHealth), Describe(alm::Elevation),   Describe(alm::AzimuthHalf),
};

constexpr std::array kMsg98Groups{
    RecordGroup{"Almanac", 0, msg98::kRecordCount, alm::kRecordSize, kAlmanacFields},
};

constexpr std::array kMsg97Fields{
    Describe(msg97::SpareCount),          Describe(msg97::MissedSubframes),    Describe(msg97::MaxSubframesPending),
    Describe(msg97::MissedAccumulations), Describe(msg97::MissedMeasurements),
};

constexpr std::array kMsg80Fields{
    Describe(msg80::Prn),
    Describe(msg80::Spare),
    Describe(msg80::MsgSecOfWeek),
    Describe(msg80::WaasMsg, msg80::kWaasWords),
};

constexpr std::array kL2ChannelFields{
    Describe(l2chan::Prn),       Describe(l2chan::L2Flags), Describe(l2chan::L1PFlags), Describe(l2chan::L2CnoRaw),
    Describe(l2chan::L1PCnoRaw), Describe(l2chan::C1mL1),   Describe(l2chan::P2mC1),    Describe(l2chan::P2mL1),
    Describe(l2chan::L2mL1),     Describe(l2chan::P2mP1),   Describe(l2chan::L2Nco),
};

constexpr std::array kMsg100Fields{Describe(msg100::L2Status)};

constexpr std::array kMsg100Groups{
    RecordGroup{"L2Channels", msg100::kChannelsOffset, msg100::kChannelCount, l2chan::kRecordSize, kL2ChannelFields},
};

constexpr std::array kMsg89Fields{Describe(msg89::SbasUsedMask), Describe(msg89::SbasFlags)};

constexpr std::array kMsg89Groups{
    RecordGroup{"Channels", msg89::kChannelsOffset, msg89::kChannelCount, chan::kRecordSize, kChannelFields},
};

constexpr std::array kCatalogue{
    MessageLayout{msg1::kId, msg1::kLength, "Msg1", false, kMsg1Fields, {}, true},
    MessageLayout{msg2::kId, msg2::kLength, "Msg2", false, kMsg2Fields, {}, false},
    MessageLayout{msg99::kId, msg99::kLength, "Msg99", false, kMsg99Fields, kMsg99Groups, true},
    MessageLayout{msg98::kId, msg98::kLength, "Msg98", false, kMsg98Fields, kMsg98Groups, false},
    MessageLayout{msg97::kId, msg97::kLength, "Msg97", false, kMsg97Fields, {}, false},
    MessageLayout{96, 300, "Msg96", true, {}, {}, false},
    MessageLayout{95, 128, "Msg95", true, {}, {}, false},
    MessageLayout{94, 96, "Msg94", true, {}, {}, false},
    MessageLayout{93, 56, "Msg93", true, {}, {}, false},
    MessageLayout{msg80::kId, msg80::kLength, "Msg80", true, kMsg80Fields, {}, false},
    MessageLayout{91, 408, "Msg91", true, {}, {}, false},
    MessageLayout{msg100::kId, msg100::kLength, "Msg100", false, kMsg100Fields, kMsg100Groups, false},
    MessageLayout{71, 448, "Msg71", true, {}, {}, false},
    MessageLayout{76, 448, "Msg76", true, {}, {}, false},
    MessageLayout{msg89::kId, msg89::kLength, "Msg89", false, kMsg89Fields, kMsg89Groups, false},
};

// A field list fits in size bytes.
constexpr bool FieldsFit(std::span<const FieldInfo> fields, std::size_t size) {
    return std::ranges::all_of(fields,
                               [size](const FieldInfo& f) { return f.offset + WireSizeOf(f.type) * f.count <= size; });
}

constexpr bool LayoutFits(const MessageLayout& layout) {
    return FieldsFit(layout.fields, layout.length) &&
           std::ranges::all_of(layout.groups, [&layout](const RecordGroup& g) {
               return g.offset + std::size_t{g.count} * g.stride <= layout.length && FieldsFit(g.fields, g.stride);
           });
}

// An offset typed wrongly is caught here rather than by a view reading a neighbour's bytes.
static_assert(std::ranges::all_of(kCatalogue, LayoutFits));

constexpr std::array<std::string_view, 8> kFixTypes{"No Fix",   "2-D no diff", "3-D no diff", "2-D DIFF",
                                                    "3-D DIFF", "RTK Search",  "3-D RTK",     "UnKnwn"};

constexpr std::array<std::string_view, 8> kTimeStatus{"No Time", "FIX_NO", "FIX_2D", "FIX_3D",
                                                      "UnKnwn",  "UnKnwn", "UnKnwn", "UnKnwn"};

constexpr bool Bit(unsigned value, unsigned bit) { return ((value >> bit) & 1U) != 0; }

}  // namespace

std::uint16_t DataChecksum(std::span<const std::uint8_t> data) noexcept {
    std::uint16_t sum = 0;
    for (const std::uint8_t b : data) {
        sum = static_cast<std::uint16_t>(sum + b);
    }
    return sum;
}

bool IsValidFrame(std::span<const std::uint8_t> frame) noexcept {
    if (frame.size() < kBinHeaderSize) {
        return false;
    }
    const std::size_t length = ReadLe<std::uint16_t>(frame, 6);
    if (frame.size() - kBinHeaderSize < length + (kBinFrameOverhead - kBinHeaderSize)) {
        return false;
    }
    const std::size_t end = kBinHeaderSize + length;
    return ReadLe<std::uint16_t>(frame, end) == DataChecksum(frame.subspan(kBinHeaderSize, length)) &&
           frame[end + 2] == 0x0D && frame[end + 3] == 0x0A;
}

std::span<const MessageLayout> Catalogue() noexcept { return kCatalogue; }

const MessageLayout* FindLayout(std::uint16_t id) noexcept {
    const auto* it = std::ranges::find(kCatalogue, id, &MessageLayout::id);
    return it == kCatalogue.end() ? nullptr : &*it;
}

LockText LockLetters(std::uint8_t flags) noexcept {
    LockText text{' ', ' ', ' ', ' ', '\0'};
    if (Bit(flags, 0)) {
        text[0] = 'C';
    }
    if (Bit(flags, 1) && Bit(flags, 6)) {
        text[1] = 'X';
    } else if (Bit(flags, 1)) {
        text[1] = 'C';
    } else if (Bit(flags, 6)) {
        text[1] = 'P';
    }
    if (Bit(flags, 2)) {
        text[2] = 'B';
    }
    if (Bit(flags, 3)) {
        text[3] = 'F';
    }
    return text;
}

double L1CnoDbHz(std::uint16_t raw) noexcept {
    const double x = raw * 4096.0;
    if (x < 8000.0) {
        return 0.0;
    }
    if (x < 8e8) {
        return 10.0 * std::log10(L1CnoLinear(raw));
    }
    return 40.0;
}

double L2CnoDbHz(std::uint16_t raw) noexcept {
    const double x = raw * 4096.0 * 1.4204545454545455e-5;
    return x >= 0.1 ? 10.0 * std::log10(x) : 0.0;
}

std::string_view FixTypeText(std::uint16_t navMode) noexcept { return kFixTypes[navMode & 0x07U]; }

std::string_view TimeStatusText(std::uint8_t navStatus) noexcept { return kTimeStatus[navStatus & 0x07U]; }

std::string_view AlmanacStatusText(std::uint8_t almStatus, std::uint8_t almHealth) noexcept {
    if (almStatus == 0) {
        return "NoInfo";
    }
    if ((almStatus & 0x03U) == 0) {
        return "NoSuch";
    }
    if ((almStatus & 0x03U) == 2 && almHealth != 0) {
        return "A";
    }
    return "";
}

double Msg1View::Speed() const noexcept {
    const double north = VelNorth();
    const double east = VelEast();
    return std::sqrt(north * north + east * east);
}

double Msg1View::Course() const noexcept {
    const double north = VelNorth();
    const double east = VelEast();
    // Below this the direction of the velocity is noise.
    if (north * north + east * east <= 1e-8) {
        return 0.0;
    }
    // Fewer digits than pi gives; kept so data logs match earlier ones to the last digit.
    constexpr double kDegreesPerRadian = 57.2957795131;
    return std::fmod(std::atan2(east, north) * kDegreesPerRadian + 360.0, 360.0);
}

bool Msg2View::IsGpsPrnUsed(int prn) const noexcept {
    if (prn < 1 || prn > 32) {
        return false;
    }
    return Bit(UsedMask(), static_cast<unsigned>(prn - 1));
}

bool Msg2View::IsSbasPrnUsed(int prn) const noexcept {
    if (!IsSbasPrn(prn)) {
        return false;
    }
    const unsigned mask = SbasMask();
    const auto offset = static_cast<unsigned>(prn - kFirstSbasPrn);
    if (((mask >> 5) & 0x1FU) == offset) {
        return Bit(mask, 2);
    }
    if (((mask >> 10) & 0x1FU) == offset) {
        return Bit(mask, 3);
    }
    return false;
}

bool Msg89View::IsSbasPrnUsed(int prn) const noexcept {
    // The range test also keeps idle records (PRN 0) from answering.
    if (!IsSbasPrn(prn)) {
        return false;
    }
    for (int k = 0; k < msg89::kChannelCount; ++k) {
        if (Channel(k).Prn() == prn) {
            return Bit(SbasUsedMask(), static_cast<unsigned>(k));
        }
    }
    return false;
}

CAlmanacTable::CAlmanacTable() noexcept {
    for (Record& entry : entries_) {
        entry[alm::SvIndex.offset] = 0xFF;  // no data yet
    }
}

void CAlmanacTable::Update(const Msg98View& message) noexcept {
    for (int k = 0; k < msg98::kRecordCount; ++k) {
        const AlmanacRecord record = message.Record(k);
        const std::span<const std::uint8_t> bytes = record.Bytes();
        if (bytes.size() != alm::kRecordSize || record.SvIndex() >= kEntries) {
            continue;
        }
        std::ranges::copy(bytes, entries_[record.SvIndex()].begin());
    }
}

AlmanacRecord CAlmanacTable::Entry(int sv) const noexcept {
    if (sv < 0 || sv >= kEntries) {
        return AlmanacRecord{};
    }
    return AlmanacRecord(entries_[static_cast<std::size_t>(sv)]);
}

}  // namespace zarnmon
