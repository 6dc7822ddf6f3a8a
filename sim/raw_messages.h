#pragma once

// The simulated receiver's binary messages that the monitor keeps and logs
// but does not read: 96 (code and carrier phase), 95 (GPS ephemeris), 94
// (ionosphere and UTC), 93 (SBAS ephemeris), 91 (channel diagnostics), 71
// (satellite statistics) and 76 (dual-frequency measurements). Their
// layouts are ours, given here as fields like the catalogue's, so a log can
// be read back; the contents follow the world of the sky model.

#include <cstdint>
#include <vector>

#include "core/link/wire_field.h"

namespace zarnmon::sim {

class CSkyModel;

namespace raw96 {
inline constexpr Field<std::uint8_t> ChannelCount{0, "ChannelCount"};
inline constexpr Field<std::uint16_t> GpsWeek{2, "GpsWeek"};
inline constexpr Field<double> GpsTimeOfWeek{4, "GpsTimeOfWeek"};
inline constexpr std::uint16_t kChannelsOffset = 12;
inline constexpr std::uint16_t kRecordSize = 24;
inline constexpr Field<std::uint8_t> Channel{0, "Channel"};
inline constexpr Field<std::uint8_t> Prn{1, "Prn"};
inline constexpr Field<std::uint8_t> TrackFlags{2, "TrackFlags"};
inline constexpr Field<std::uint8_t> SlipCount{3, "SlipCount"};
inline constexpr Field<std::uint16_t> CnoRaw{4, "CnoRaw"};
inline constexpr Field<std::int16_t> Doppler{6, "Doppler"};
inline constexpr Field<double> Pseudorange{8, "Pseudorange"};     // m
inline constexpr Field<double> CarrierPhase{16, "CarrierPhase"};  // L1 cycles
}  // namespace raw96

namespace raw95 {
inline constexpr Field<std::uint16_t> Prn{0, "Prn"};
inline constexpr Field<std::uint32_t> FrameTime{4, "FrameTime"};  // s of the week at subframe 1
// Subframes 1-3, ten words each, 24 data bits right-aligned (parity checked
// and dropped).
inline constexpr Field<std::uint32_t> Subframe1{8, "Subframe1"};
inline constexpr Field<std::uint32_t> Subframe2{48, "Subframe2"};
inline constexpr Field<std::uint32_t> Subframe3{88, "Subframe3"};
inline constexpr int kWordsPerSubframe = 10;
}  // namespace raw95

namespace raw94 {
inline constexpr Field<double> Alpha{0, "Alpha"};  // 4 values
inline constexpr Field<double> Beta{32, "Beta"};   // 4 values
inline constexpr Field<double> A0{64, "A0"};
inline constexpr Field<double> A1{72, "A1"};
inline constexpr Field<std::uint32_t> Tot{80, "Tot"};
inline constexpr Field<std::uint16_t> Wnt{84, "Wnt"};
inline constexpr Field<std::int16_t> LeapSeconds{86, "LeapSeconds"};
inline constexpr Field<std::uint16_t> Wnlsf{88, "Wnlsf"};
inline constexpr Field<std::uint16_t> DayOfLeap{90, "DayOfLeap"};
inline constexpr Field<std::int16_t> LeapSecondsFuture{92, "LeapSecondsFuture"};
}  // namespace raw94

namespace raw93 {
inline constexpr Field<std::uint16_t> Prn{0, "Prn"};
inline constexpr Field<std::uint16_t> Iodn{2, "Iodn"};
inline constexpr Field<std::uint32_t> T0{4, "T0"};  // s of the day
inline constexpr Field<std::uint8_t> Ura{8, "Ura"};
inline constexpr Field<std::uint8_t> Health{9, "Health"};
inline constexpr Field<double> Position{12, "Position"};       // 3 values, ECEF m
inline constexpr Field<float> Velocity{36, "Velocity"};        // 3 values, m/s
inline constexpr Field<float> ClockOffset{48, "ClockOffset"};  // s
inline constexpr Field<float> ClockDrift{52, "ClockDrift"};    // s/s
}  // namespace raw93

namespace raw91 {
inline constexpr Field<std::uint16_t> GpsWeek{0, "GpsWeek"};
inline constexpr Field<double> GpsTimeOfWeek{4, "GpsTimeOfWeek"};
inline constexpr Field<float> ClockBias{12, "ClockBias"};    // m
inline constexpr Field<float> ClockDrift{16, "ClockDrift"};  // Hz
inline constexpr Field<std::uint32_t> Uptime{20, "Uptime"};  // s
inline constexpr std::uint16_t kChannelsOffset = 24;
inline constexpr std::uint16_t kRecordSize = 32;
inline constexpr Field<std::uint8_t> Channel{0, "Channel"};
inline constexpr Field<std::uint8_t> Prn{1, "Prn"};
inline constexpr Field<std::uint8_t> TrackFlags{2, "TrackFlags"};
inline constexpr Field<std::uint8_t> Sf{3, "Sf"};
inline constexpr Field<std::uint32_t> LockTime{4, "LockTime"};   // ms
inline constexpr Field<float> Cno{8, "Cno"};                     // dB-Hz
inline constexpr Field<float> CodeError{12, "CodeError"};        // m
inline constexpr Field<float> CarrierError{16, "CarrierError"};  // cycles
inline constexpr Field<float> Doppler{20, "Doppler"};            // Hz
inline constexpr Field<float> Residual{24, "Residual"};          // m
inline constexpr Field<float> Elevation{28, "Elevation"};        // degrees
}  // namespace raw91

namespace raw71 {
inline constexpr std::uint16_t kRecordSize = 14;
inline constexpr Field<std::uint8_t> Prn{0, "Prn"};
inline constexpr Field<std::uint8_t> Status{1, "Status"};  // bit 0 exists, 1 healthy, 2 tracked, 3 used
inline constexpr Field<std::int8_t> Elevation{2, "Elevation"};
inline constexpr Field<std::uint8_t> AzimuthHalf{3, "AzimuthHalf"};
inline constexpr Field<std::int16_t> Doppler{4, "Doppler"};
inline constexpr Field<std::uint16_t> CnoRaw{6, "CnoRaw"};
inline constexpr Field<std::uint32_t> TrackedSeconds{8, "TrackedSeconds"};
inline constexpr Field<std::uint16_t> Acquisitions{12, "Acquisitions"};
}  // namespace raw71

namespace raw76 {
inline constexpr Field<double> GpsTimeOfWeek{0, "GpsTimeOfWeek"};
inline constexpr Field<std::uint16_t> GpsWeek{8, "GpsWeek"};
inline constexpr Field<float> ClockBias{12, "ClockBias"};  // m
inline constexpr std::uint16_t kChannelsOffset = 16;
inline constexpr std::uint16_t kRecordSize = 36;
inline constexpr Field<std::uint8_t> Channel{0, "Channel"};
inline constexpr Field<std::uint8_t> Prn{1, "Prn"};
inline constexpr Field<std::uint8_t> L1Flags{2, "L1Flags"};
inline constexpr Field<std::uint8_t> L2Flags{3, "L2Flags"};
inline constexpr Field<double> L1Pseudorange{4, "L1Pseudorange"};    // m
inline constexpr Field<double> L1Phase{12, "L1Phase"};               // cycles
inline constexpr Field<float> L2MinusL1Code{20, "L2MinusL1Code"};    // m
inline constexpr Field<float> L2MinusL1Phase{24, "L2MinusL1Phase"};  // m
inline constexpr Field<std::uint16_t> L1CnoRaw{28, "L1CnoRaw"};
inline constexpr Field<std::uint16_t> L2CnoRaw{30, "L2CnoRaw"};
inline constexpr Field<std::uint32_t> LockTime{32, "LockTime"};  // ms
}  // namespace raw76

void AppendMsg96(const CSkyModel& model, std::vector<std::uint8_t>& out);
// The ephemeris of one GPS satellite.
void AppendMsg95(const CSkyModel& model, int prn, std::vector<std::uint8_t>& out);
void AppendMsg94(const CSkyModel& model, std::vector<std::uint8_t>& out);
// The ephemeris of the GEO on SBAS channel k.
void AppendMsg93(const CSkyModel& model, int k, std::vector<std::uint8_t>& out);
void AppendMsg91(const CSkyModel& model, std::vector<std::uint8_t>& out);
void AppendMsg71(const CSkyModel& model, std::vector<std::uint8_t>& out);
void AppendMsg76(const CSkyModel& model, std::vector<std::uint8_t>& out);

}  // namespace zarnmon::sim
