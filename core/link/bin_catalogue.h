#pragma once

// The receiver's binary messages: frame format, the catalogue of known
// messages and the layout of every field the program reads.
//
// A frame is "$BIN", id (u16), data length N (u16), N data bytes, the 16-bit
// sum of the data bytes and CR LF; all values little-endian. Handlers keep
// frames exactly as received and every reader takes its fields straight out
// of the stored frame through the views below, so nothing is decoded into a
// separate structure. Field offsets count from the first data byte.
//
// Wire data is never trusted: a view over a span that is too short reads
// zeros, a record index out of range gives an empty record (PRN 0, idle), and
// the frame check rejects rather than asserts.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "core/link/wire_field.h"

namespace zarnmon {

inline constexpr std::size_t kBinHeaderSize = 8;
// Header, checksum and CR LF around the data.
inline constexpr std::size_t kBinFrameOverhead = 12;

[[nodiscard]] constexpr std::size_t WireSizeOf(WireType type) noexcept {
    switch (type) {
        case WireType::U8:
        case WireType::I8:
            return 1;
        case WireType::U16:
        case WireType::I16:
            return 2;
        case WireType::U32:
        case WireType::I32:
        case WireType::F32:
            return 4;
        case WireType::F64:
            return 8;
    }
    return 0;
}

// Sum of the bytes modulo 65536, as carried after the data of a frame.
[[nodiscard]] std::uint16_t DataChecksum(std::span<const std::uint8_t> data) noexcept;

// The frame check: N (offset 6) fits the span, the word after the data equals
// the data sum and CR LF follows. The header text and id are not looked at:
// the handler matched them before it took the frame.
[[nodiscard]] bool IsValidFrame(std::span<const std::uint8_t> frame) noexcept;

// ---------------------------------------------------------------------------
// Field layouts (data offsets)

namespace msg1 {
inline constexpr std::uint16_t kId = 1;
inline constexpr std::uint16_t kLength = 52;
inline constexpr Field<std::uint8_t> AgeOfDiff{0, "AgeOfDiff"};
inline constexpr Field<std::uint8_t> NumSats{1, "NumSats"};
inline constexpr Field<std::uint16_t> GpsWeek{2, "GpsWeek"};
inline constexpr Field<double> GpsTimeOfWeek{4, "GpsTimeOfWeek"};
inline constexpr Field<double> Latitude{12, "Latitude"};
inline constexpr Field<double> Longitude{20, "Longitude"};
inline constexpr Field<float> Height{28, "Height"};
inline constexpr Field<float> VelNorth{32, "VelNorth"};
inline constexpr Field<float> VelEast{36, "VelEast"};
inline constexpr Field<float> VelUp{40, "VelUp"};
inline constexpr Field<float> StdDevResid{44, "StdDevResid"};
inline constexpr Field<std::uint16_t> NavMode{48, "NavMode"};
inline constexpr Field<std::uint16_t> ExtAgeOfDiff{50, "ExtAgeOfDiff"};
}  // namespace msg1

namespace msg2 {
inline constexpr std::uint16_t kId = 2;
inline constexpr std::uint16_t kLength = 16;
inline constexpr Field<std::uint32_t> UsedMask{4, "UsedMask"};
inline constexpr Field<std::uint16_t> GpsUtcDiff{8, "GpsUtcDiff"};
inline constexpr Field<std::uint16_t> Hdop{10, "Hdop"};
inline constexpr Field<std::uint16_t> Vdop{12, "Vdop"};
inline constexpr Field<std::uint16_t> SbasMask{14, "SbasMask"};
}  // namespace msg2

// Channel record of Msg99 and Msg89; offsets within the record.
namespace chan {
inline constexpr std::uint16_t kRecordSize = 24;
inline constexpr Field<std::uint8_t> Channel{0, "Channel"};
inline constexpr Field<std::uint8_t> Prn{1, "Prn"};
inline constexpr Field<std::uint8_t> TrackFlags{2, "TrackFlags"};
inline constexpr Field<std::uint8_t> Sf{3, "Sf"};
inline constexpr Field<std::uint8_t> EphState{4, "EphState"};
inline constexpr Field<std::uint8_t> EphFlag{5, "EphFlag"};
inline constexpr Field<std::uint8_t> AlmState{6, "AlmState"};
inline constexpr Field<std::uint8_t> AlmFlag{7, "AlmFlag"};
inline constexpr Field<std::int8_t> Elevation{8, "Elevation"};
inline constexpr Field<std::uint8_t> AzimuthHalf{9, "AzimuthHalf"};
inline constexpr Field<std::uint8_t> UraIndex{10, "UraIndex"};
inline constexpr Field<std::uint16_t> CnoRaw{12, "CnoRaw"};
inline constexpr Field<std::int16_t> DiffCorr{14, "DiffCorr"};
inline constexpr Field<std::int16_t> PosResid{16, "PosResid"};
inline constexpr Field<std::int16_t> VelResid{18, "VelResid"};
inline constexpr Field<std::int16_t> Doppler{20, "Doppler"};
inline constexpr Field<std::int16_t> Nco{22, "Nco"};
}  // namespace chan

namespace msg99 {
inline constexpr std::uint16_t kId = 99;
inline constexpr std::uint16_t kLength = 304;
inline constexpr Field<std::uint8_t> NavStatus{0, "NavStatus"};
inline constexpr Field<std::int8_t> GpsUtcDiff{1, "GpsUtcDiff"};
inline constexpr Field<std::uint16_t> GpsWeek{2, "GpsWeek"};
inline constexpr Field<double> GpsTimeOfWeek{4, "GpsTimeOfWeek"};
inline constexpr std::uint16_t kChannelsOffset = 12;
inline constexpr std::uint16_t kChannelCount = 12;
inline constexpr Field<std::int16_t> ClockErr{300, "ClockErr"};
}  // namespace msg99

namespace msg89 {
inline constexpr std::uint16_t kId = 89;
inline constexpr std::uint16_t kLength = 80;
inline constexpr Field<std::uint8_t> SbasUsedMask{5, "SbasUsedMask"};
inline constexpr Field<std::uint8_t> SbasFlags{6, "SbasFlags"};
inline constexpr std::uint16_t kChannelsOffset = 8;
inline constexpr std::uint16_t kChannelCount = 3;
}  // namespace msg89

// L2 / P-code channel record of Msg100; offsets within the record.
namespace l2chan {
inline constexpr std::uint16_t kRecordSize = 20;
inline constexpr Field<std::uint8_t> Prn{1, "Prn"};
inline constexpr Field<std::uint8_t> L2Flags{2, "L2Flags"};
inline constexpr Field<std::uint8_t> L1PFlags{3, "L1PFlags"};
inline constexpr Field<std::uint16_t> L2CnoRaw{4, "L2CnoRaw"};
inline constexpr Field<std::uint16_t> L1PCnoRaw{6, "L1PCnoRaw"};
inline constexpr Field<std::int16_t> C1mL1{8, "C1mL1"};
inline constexpr Field<std::int16_t> P2mC1{10, "P2mC1"};
inline constexpr Field<std::int16_t> P2mL1{12, "P2mL1"};
inline constexpr Field<std::int16_t> L2mL1{14, "L2mL1"};
inline constexpr Field<std::int16_t> P2mP1{16, "P2mP1"};
inline constexpr Field<std::int16_t> L2Nco{18, "L2Nco"};
}  // namespace l2chan

namespace msg100 {
inline constexpr std::uint16_t kId = 100;
inline constexpr std::uint16_t kLength = 260;
inline constexpr Field<std::uint8_t> L2Status{0, "L2Status"};
inline constexpr std::uint16_t kChannelsOffset = 20;
inline constexpr std::uint16_t kChannelCount = 12;
}  // namespace msg100

// Almanac record of Msg98 and of the almanac table; offsets within the record.
namespace alm {
inline constexpr std::uint16_t kRecordSize = 8;
inline constexpr Field<std::int16_t> Doppler{0, "Doppler"};
inline constexpr Field<std::uint8_t> UpdateCount{2, "UpdateCount"};
inline constexpr Field<std::uint8_t> SvIndex{3, "SvIndex"};
inline constexpr Field<std::uint8_t> AlmStatus{4, "AlmStatus"};
inline constexpr Field<std::uint8_t> AlmHealth{5, "AlmHealth"};
inline constexpr Field<std::int8_t> Elevation{6, "Elevation"};
inline constexpr Field<std::uint8_t> AzimuthHalf{7, "AzimuthHalf"};
}  // namespace alm

namespace msg98 {
inline constexpr std::uint16_t kId = 98;
inline constexpr std::uint16_t kLength = 68;
inline constexpr std::uint16_t kRecordCount = 8;
inline constexpr Field<std::uint8_t> LastAlmPrn{64, "LastAlmPrn"};
inline constexpr Field<std::uint8_t> IonoValid{65, "IonoValid"};
}  // namespace msg98

namespace msg97 {
inline constexpr std::uint16_t kId = 97;
inline constexpr std::uint16_t kLength = 28;
inline constexpr Field<std::uint32_t> SpareCount{0, "SpareCount"};
inline constexpr Field<std::uint16_t> MissedSubframes{4, "MissedSubframes"};
inline constexpr Field<std::uint16_t> MaxSubframesPending{6, "MaxSubframesPending"};
inline constexpr Field<std::uint16_t> MissedAccumulations{8, "MissedAccumulations"};
inline constexpr Field<std::uint16_t> MissedMeasurements{10, "MissedMeasurements"};
}  // namespace msg97

namespace msg80 {
inline constexpr std::uint16_t kId = 80;
inline constexpr std::uint16_t kLength = 40;
inline constexpr Field<std::uint16_t> Prn{0, "Prn"};
inline constexpr Field<std::uint16_t> Spare{2, "Spare"};
inline constexpr Field<std::uint32_t> MsgSecOfWeek{4, "MsgSecOfWeek"};
// First of kWaasWords consecutive words holding the 250-bit message.
inline constexpr Field<std::uint32_t> WaasMsg{8, "WaasMsg"};
inline constexpr std::uint16_t kWaasWords = 8;
}  // namespace msg80

// ---------------------------------------------------------------------------
// The catalogue, in the order of the handlers' slots

// Repeated records inside a message, each laid out by fields.
struct RecordGroup {
    std::string_view name;
    std::uint16_t offset;
    std::uint16_t count;
    std::uint16_t stride;
    std::span<const FieldInfo> fields;
};

struct MessageLayout {
    std::uint16_t id;
    std::uint16_t length;  // N: a frame of this id with any other length is not this message
    std::string_view handlerName;
    bool hasHistory;
    std::span<const FieldInfo> fields;  // empty when the message is not interpreted
    std::span<const RecordGroup> groups;
    bool hasTime;  // carries GpsWeek and GpsTimeOfWeek
};

[[nodiscard]] std::span<const MessageLayout> Catalogue() noexcept;
[[nodiscard]] const MessageLayout* FindLayout(std::uint16_t id) noexcept;

// ---------------------------------------------------------------------------
// Derived values shared by the views, logs and tests

// SBAS satellites have PRNs 120..138.
inline constexpr int kFirstSbasPrn = 120;
inline constexpr int kLastSbasPrn = 138;
[[nodiscard]] constexpr bool IsSbasPrn(int prn) noexcept { return prn >= kFirstSbasPrn && prn <= kLastSbasPrn; }

// Four lock letters and a terminating zero.
using LockText = std::array<char, 5>;

// Tracking letters of a flags byte, a blank for each unset letter.
[[nodiscard]] LockText LockLetters(std::uint8_t flags) noexcept;
[[nodiscard]] constexpr std::string_view AsView(const LockText& text) noexcept { return {text.data(), 4}; }

// C/No as a ratio (not in dB) from the raw value of an L1 channel record.
[[nodiscard]] constexpr double L1CnoLinear(std::uint16_t raw) noexcept { return raw * 4096.0 * 1.25e-5; }
// C/No in dB-Hz from the raw value of an L1 channel record.
[[nodiscard]] double L1CnoDbHz(std::uint16_t raw) noexcept;
// C/No in dB-Hz from the raw value of an L2 or L1 P-code record.
[[nodiscard]] double L2CnoDbHz(std::uint16_t raw) noexcept;

[[nodiscard]] std::string_view FixTypeText(std::uint16_t navMode) noexcept;
[[nodiscard]] std::string_view TimeStatusText(std::uint8_t navStatus) noexcept;
[[nodiscard]] std::string_view AlmanacStatusText(std::uint8_t almStatus, std::uint8_t almHealth) noexcept;

// ---------------------------------------------------------------------------
// Read-only views. Frame views take the whole stored frame, header included.

namespace detail {

// size bytes from base, or as many as there are.
[[nodiscard]] constexpr std::span<const std::uint8_t> Slice(std::span<const std::uint8_t> data, std::size_t base,
                                                            std::size_t size) noexcept {
    if (base >= data.size()) {
        return {};
    }
    const std::size_t available = data.size() - base;
    return data.subspan(base, size < available ? size : available);
}

// The data of a frame, at most length bytes.
[[nodiscard]] constexpr std::span<const std::uint8_t> FrameData(std::span<const std::uint8_t> frame,
                                                                std::size_t length) noexcept {
    return Slice(frame, kBinHeaderSize, length);
}

// The bytes of record index of a group; empty when the index is out of range.
[[nodiscard]] constexpr std::span<const std::uint8_t> RecordBytes(std::span<const std::uint8_t> data,
                                                                  std::size_t offset, int index, std::size_t count,
                                                                  std::size_t stride) noexcept {
    if (index < 0 || static_cast<std::size_t>(index) >= count) {
        return {};
    }
    return Slice(data, offset + static_cast<std::size_t>(index) * stride, stride);
}

}  // namespace detail

class Msg1View {
public:
    explicit constexpr Msg1View(std::span<const std::uint8_t> frame) noexcept
        : data_(detail::FrameData(frame, msg1::kLength)) {}

    [[nodiscard]] std::uint8_t AgeOfDiff() const noexcept { return Get(data_, msg1::AgeOfDiff); }
    [[nodiscard]] std::uint8_t NumSats() const noexcept { return Get(data_, msg1::NumSats); }
    [[nodiscard]] std::uint16_t GpsWeek() const noexcept { return Get(data_, msg1::GpsWeek); }
    [[nodiscard]] double GpsTimeOfWeek() const noexcept { return Get(data_, msg1::GpsTimeOfWeek); }
    [[nodiscard]] double Latitude() const noexcept { return Get(data_, msg1::Latitude); }
    [[nodiscard]] double Longitude() const noexcept { return Get(data_, msg1::Longitude); }
    [[nodiscard]] float Height() const noexcept { return Get(data_, msg1::Height); }
    [[nodiscard]] float VelNorth() const noexcept { return Get(data_, msg1::VelNorth); }
    [[nodiscard]] float VelEast() const noexcept { return Get(data_, msg1::VelEast); }
    [[nodiscard]] float VelUp() const noexcept { return Get(data_, msg1::VelUp); }
    [[nodiscard]] float StdDevResid() const noexcept { return Get(data_, msg1::StdDevResid); }
    [[nodiscard]] std::uint16_t NavMode() const noexcept { return Get(data_, msg1::NavMode); }
    [[nodiscard]] std::uint16_t ExtAgeOfDiff() const noexcept { return Get(data_, msg1::ExtAgeOfDiff); }

    // Horizontal speed, m/s.
    [[nodiscard]] double Speed() const noexcept;
    // Course over ground in degrees [0, 360); 0 while (nearly) standing still.
    [[nodiscard]] double Course() const noexcept;
    [[nodiscard]] std::string_view FixType() const noexcept { return FixTypeText(NavMode()); }

private:
    std::span<const std::uint8_t> data_;
};

class Msg2View {
public:
    explicit constexpr Msg2View(std::span<const std::uint8_t> frame) noexcept
        : data_(detail::FrameData(frame, msg2::kLength)) {}

    [[nodiscard]] std::uint32_t UsedMask() const noexcept { return Get(data_, msg2::UsedMask); }
    [[nodiscard]] std::uint16_t GpsUtcDiff() const noexcept { return Get(data_, msg2::GpsUtcDiff); }
    [[nodiscard]] std::uint16_t Hdop() const noexcept { return Get(data_, msg2::Hdop); }
    [[nodiscard]] std::uint16_t Vdop() const noexcept { return Get(data_, msg2::Vdop); }
    [[nodiscard]] std::uint16_t SbasMask() const noexcept { return Get(data_, msg2::SbasMask); }

    // GPS PRN 1..32 used in the solution; any other PRN is not.
    [[nodiscard]] bool IsGpsPrnUsed(int prn) const noexcept;
    // SBAS PRN 120..138 used, by the two PRN slots of SbasMask.
    [[nodiscard]] bool IsSbasPrnUsed(int prn) const noexcept;

private:
    std::span<const std::uint8_t> data_;
};

// One channel record of Msg99 or Msg89.
class ChannelRecord {
public:
    constexpr ChannelRecord() noexcept = default;
    explicit constexpr ChannelRecord(std::span<const std::uint8_t> record) noexcept : data_(record) {}
    constexpr ChannelRecord(std::span<const std::uint8_t> data, std::size_t base) noexcept
        : data_(detail::Slice(data, base, chan::kRecordSize)) {}

    [[nodiscard]] std::uint8_t Channel() const noexcept { return Get(data_, chan::Channel); }
    [[nodiscard]] std::uint8_t Prn() const noexcept { return Get(data_, chan::Prn); }
    [[nodiscard]] std::uint8_t TrackFlags() const noexcept { return Get(data_, chan::TrackFlags); }
    [[nodiscard]] std::uint8_t Sf() const noexcept { return Get(data_, chan::Sf); }
    [[nodiscard]] std::uint8_t EphState() const noexcept { return Get(data_, chan::EphState); }
    [[nodiscard]] std::uint8_t EphFlag() const noexcept { return Get(data_, chan::EphFlag); }
    [[nodiscard]] std::uint8_t AlmState() const noexcept { return Get(data_, chan::AlmState); }
    [[nodiscard]] std::uint8_t AlmFlag() const noexcept { return Get(data_, chan::AlmFlag); }
    [[nodiscard]] std::int8_t Elevation() const noexcept { return Get(data_, chan::Elevation); }
    [[nodiscard]] std::uint8_t AzimuthHalf() const noexcept { return Get(data_, chan::AzimuthHalf); }
    [[nodiscard]] std::uint8_t UraIndex() const noexcept { return Get(data_, chan::UraIndex); }
    [[nodiscard]] std::uint16_t CnoRaw() const noexcept { return Get(data_, chan::CnoRaw); }
    [[nodiscard]] std::int16_t DiffCorr() const noexcept { return Get(data_, chan::DiffCorr); }
    [[nodiscard]] std::int16_t PosResid() const noexcept { return Get(data_, chan::PosResid); }
    [[nodiscard]] std::int16_t VelResid() const noexcept { return Get(data_, chan::VelResid); }
    [[nodiscard]] std::int16_t Doppler() const noexcept { return Get(data_, chan::Doppler); }
    [[nodiscard]] std::int16_t Nco() const noexcept { return Get(data_, chan::Nco); }

    [[nodiscard]] int AzimuthDegrees() const noexcept { return 2 * AzimuthHalf(); }
    [[nodiscard]] double CnoDbHz() const noexcept { return L1CnoDbHz(CnoRaw()); }
    [[nodiscard]] double CnoLinear() const noexcept { return L1CnoLinear(CnoRaw()); }
    [[nodiscard]] LockText Letters() const noexcept { return LockLetters(TrackFlags()); }

private:
    std::span<const std::uint8_t> data_;
};

class Msg99View {
public:
    explicit constexpr Msg99View(std::span<const std::uint8_t> frame) noexcept
        : data_(detail::FrameData(frame, msg99::kLength)) {}

    [[nodiscard]] std::uint8_t NavStatus() const noexcept { return Get(data_, msg99::NavStatus); }
    [[nodiscard]] std::int8_t GpsUtcDiff() const noexcept { return Get(data_, msg99::GpsUtcDiff); }
    [[nodiscard]] std::uint16_t GpsWeek() const noexcept { return Get(data_, msg99::GpsWeek); }
    [[nodiscard]] double GpsTimeOfWeek() const noexcept { return Get(data_, msg99::GpsTimeOfWeek); }
    [[nodiscard]] std::int16_t ClockErr() const noexcept { return Get(data_, msg99::ClockErr); }
    // Record k (0..11); out of range gives an idle record.
    [[nodiscard]] ChannelRecord Channel(int k) const noexcept {
        return ChannelRecord(
            detail::RecordBytes(data_, msg99::kChannelsOffset, k, msg99::kChannelCount, chan::kRecordSize));
    }

    [[nodiscard]] std::string_view TimeStatus() const noexcept { return TimeStatusText(NavStatus()); }
    // Set: PosResid counts 0.001 m; clear: 0.1 m.
    [[nodiscard]] bool ResolutionFlag() const noexcept { return (NavStatus() & 0x10) != 0; }

private:
    std::span<const std::uint8_t> data_;
};

class Msg89View {
public:
    explicit constexpr Msg89View(std::span<const std::uint8_t> frame) noexcept
        : data_(detail::FrameData(frame, msg89::kLength)) {}

    [[nodiscard]] std::uint8_t SbasUsedMask() const noexcept { return Get(data_, msg89::SbasUsedMask); }
    [[nodiscard]] std::uint8_t SbasFlags() const noexcept { return Get(data_, msg89::SbasFlags); }
    // Record k (0..2); out of range gives an idle record.
    [[nodiscard]] ChannelRecord Channel(int k) const noexcept {
        return ChannelRecord(
            detail::RecordBytes(data_, msg89::kChannelsOffset, k, msg89::kChannelCount, chan::kRecordSize));
    }

    // As Msg99's: set when PosResid of the SBAS records counts 0.001 m.
    [[nodiscard]] bool ResolutionFlag() const noexcept { return (SbasFlags() & 0x01) != 0; }
    // SBAS PRN 120..138 used, by the first record that carries it.
    [[nodiscard]] bool IsSbasPrnUsed(int prn) const noexcept;

private:
    std::span<const std::uint8_t> data_;
};

// One record of Msg100.
class L2ChannelRecord {
public:
    constexpr L2ChannelRecord() noexcept = default;
    explicit constexpr L2ChannelRecord(std::span<const std::uint8_t> record) noexcept : data_(record) {}
    constexpr L2ChannelRecord(std::span<const std::uint8_t> data, std::size_t base) noexcept
        : data_(detail::Slice(data, base, l2chan::kRecordSize)) {}

    [[nodiscard]] std::uint8_t Prn() const noexcept { return Get(data_, l2chan::Prn); }
    [[nodiscard]] std::uint8_t L2Flags() const noexcept { return Get(data_, l2chan::L2Flags); }
    [[nodiscard]] std::uint8_t L1PFlags() const noexcept { return Get(data_, l2chan::L1PFlags); }
    [[nodiscard]] std::uint16_t L2CnoRaw() const noexcept { return Get(data_, l2chan::L2CnoRaw); }
    [[nodiscard]] std::uint16_t L1PCnoRaw() const noexcept { return Get(data_, l2chan::L1PCnoRaw); }
    [[nodiscard]] std::int16_t C1mL1() const noexcept { return Get(data_, l2chan::C1mL1); }
    [[nodiscard]] std::int16_t P2mC1() const noexcept { return Get(data_, l2chan::P2mC1); }
    [[nodiscard]] std::int16_t P2mL1() const noexcept { return Get(data_, l2chan::P2mL1); }
    [[nodiscard]] std::int16_t L2mL1() const noexcept { return Get(data_, l2chan::L2mL1); }
    [[nodiscard]] std::int16_t P2mP1() const noexcept { return Get(data_, l2chan::P2mP1); }
    [[nodiscard]] std::int16_t L2Nco() const noexcept { return Get(data_, l2chan::L2Nco); }

    [[nodiscard]] double L2CnoDbHz() const noexcept { return zarnmon::L2CnoDbHz(L2CnoRaw()); }
    [[nodiscard]] double L1PCnoDbHz() const noexcept { return zarnmon::L2CnoDbHz(L1PCnoRaw()); }

private:
    std::span<const std::uint8_t> data_;
};

class Msg100View {
public:
    explicit constexpr Msg100View(std::span<const std::uint8_t> frame) noexcept
        : data_(detail::FrameData(frame, msg100::kLength)) {}

    [[nodiscard]] std::uint8_t L2Status() const noexcept { return Get(data_, msg100::L2Status); }
    // Record k (0..11); out of range gives an unused record.
    [[nodiscard]] L2ChannelRecord L2Channel(int k) const noexcept {
        return L2ChannelRecord(
            detail::RecordBytes(data_, msg100::kChannelsOffset, k, msg100::kChannelCount, l2chan::kRecordSize));
    }

    // Set: C1mL1 holds PosRes2 in 0.001 m; clear: C1 - L1 in 0.01 m.
    [[nodiscard]] bool ResolutionFlag() const noexcept { return (L2Status() & 0x10) != 0; }

private:
    std::span<const std::uint8_t> data_;
};

// One almanac record, of Msg98 or of the almanac table.
class AlmanacRecord {
public:
    constexpr AlmanacRecord() noexcept = default;
    explicit constexpr AlmanacRecord(std::span<const std::uint8_t> record) noexcept : data_(record) {}
    constexpr AlmanacRecord(std::span<const std::uint8_t> data, std::size_t base) noexcept
        : data_(detail::Slice(data, base, alm::kRecordSize)) {}

    [[nodiscard]] std::int16_t Doppler() const noexcept { return Get(data_, alm::Doppler); }
    [[nodiscard]] std::uint8_t UpdateCount() const noexcept { return Get(data_, alm::UpdateCount); }
    [[nodiscard]] std::uint8_t SvIndex() const noexcept { return Get(data_, alm::SvIndex); }
    [[nodiscard]] std::uint8_t AlmStatus() const noexcept { return Get(data_, alm::AlmStatus); }
    [[nodiscard]] std::uint8_t AlmHealth() const noexcept { return Get(data_, alm::AlmHealth); }
    [[nodiscard]] std::int8_t Elevation() const noexcept { return Get(data_, alm::Elevation); }
    [[nodiscard]] std::uint8_t AzimuthHalf() const noexcept { return Get(data_, alm::AzimuthHalf); }

    [[nodiscard]] int AzimuthDegrees() const noexcept { return 2 * AzimuthHalf(); }
    [[nodiscard]] std::string_view StatusText() const noexcept { return AlmanacStatusText(AlmStatus(), AlmHealth()); }
    [[nodiscard]] std::span<const std::uint8_t> Bytes() const noexcept { return data_; }

private:
    std::span<const std::uint8_t> data_;
};

class Msg98View {
public:
    explicit constexpr Msg98View(std::span<const std::uint8_t> frame) noexcept
        : data_(detail::FrameData(frame, msg98::kLength)) {}

    [[nodiscard]] std::uint8_t LastAlmPrn() const noexcept { return Get(data_, msg98::LastAlmPrn); }
    [[nodiscard]] std::uint8_t IonoValid() const noexcept { return Get(data_, msg98::IonoValid); }
    // Record k (0..7); out of range gives an empty record.
    [[nodiscard]] AlmanacRecord Record(int k) const noexcept {
        return AlmanacRecord(detail::RecordBytes(data_, 0, k, msg98::kRecordCount, alm::kRecordSize));
    }

private:
    std::span<const std::uint8_t> data_;
};

class Msg97View {
public:
    explicit constexpr Msg97View(std::span<const std::uint8_t> frame) noexcept
        : data_(detail::FrameData(frame, msg97::kLength)) {}

    [[nodiscard]] std::uint32_t SpareCount() const noexcept { return Get(data_, msg97::SpareCount); }
    [[nodiscard]] std::uint16_t MissedSubframes() const noexcept { return Get(data_, msg97::MissedSubframes); }
    [[nodiscard]] std::uint16_t MaxSubframesPending() const noexcept { return Get(data_, msg97::MaxSubframesPending); }
    [[nodiscard]] std::uint16_t MissedAccumulations() const noexcept { return Get(data_, msg97::MissedAccumulations); }
    [[nodiscard]] std::uint16_t MissedMeasurements() const noexcept { return Get(data_, msg97::MissedMeasurements); }

    // Spare processor time in percent.
    [[nodiscard]] double SparePercent() const noexcept { return SpareCount() * 0.00045; }

private:
    std::span<const std::uint8_t> data_;
};

class Msg80View {
public:
    explicit constexpr Msg80View(std::span<const std::uint8_t> frame) noexcept
        : data_(detail::FrameData(frame, msg80::kLength)) {}

    [[nodiscard]] std::uint16_t Prn() const noexcept { return Get(data_, msg80::Prn); }
    [[nodiscard]] std::uint16_t Spare() const noexcept { return Get(data_, msg80::Spare); }
    [[nodiscard]] std::uint32_t MsgSecOfWeek() const noexcept { return Get(data_, msg80::MsgSecOfWeek); }
    // Word i (0..7) of the WAAS message; 0 out of range.
    [[nodiscard]] std::uint32_t WaasMsg(int i) const noexcept {
        if (i < 0 || i >= msg80::kWaasWords) {
            return 0;
        }
        return Get(data_, msg80::WaasMsg, static_cast<std::size_t>(i) * sizeof(std::uint32_t));
    }

private:
    std::span<const std::uint8_t> data_;
};

// ---------------------------------------------------------------------------

// The almanac of all 32 GPS satellites, accumulated from Msg98 over the run.
class CAlmanacTable {
public:
    static constexpr int kEntries = 32;

    CAlmanacTable() noexcept;

    // Takes every record of the message whose SvIndex names an entry.
    void Update(const Msg98View& message) noexcept;
    // Entry sv (0..31, PRN - 1); out of range gives an empty record.
    [[nodiscard]] AlmanacRecord Entry(int sv) const noexcept;

private:
    using Record = std::array<std::uint8_t, alm::kRecordSize>;
    std::array<Record, kEntries> entries_{};
};

}  // namespace zarnmon
