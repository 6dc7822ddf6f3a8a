#pragma once

// The receiver's diagnostic text lines, each ending in CR LF:
// - "$RD1," L-band diagnostics, 12 fields: GPS seconds of week, GPS week,
//   spot beam frequency (kHz), data rate (bit/s), bit error rate ("a-b" while
//   both demodulators report), AGC, DDS offset (Hz), Doppler from the GEO
//   (Hz), DSP status and ARM status (hexadecimal), differential status
//   (hexadecimal) and navigation condition (the fix type of message 1);
// - "$RX,k," debug lines for k 0..31: short comma-separated values of the
//   receiver's internals (uptime, channels and the searches of idle ones,
//   clock, solution and its epoch, tasks), most of them changing by the second.

#include <string>

namespace zarnmon::sim {

class CSkyModel;

[[nodiscard]] std::string Rd1Line(const CSkyModel& model);
// Empty for k outside 0..31.
[[nodiscard]] std::string RxLine(const CSkyModel& model, int k);

}  // namespace zarnmon::sim
