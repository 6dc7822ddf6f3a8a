#pragma once

// NMEA 0183 sentences of the simulated receiver, filled from the sky model:
// GPGGA, GPGLL, GPVTG, GPGSV (all sentences of the epoch), GPRMC, GPGSA,
// GPZDA, GPGST, GPHDT and HEHDT. Times are UTC (GPS time less the leap
// seconds); positions are the reported fix. The satellites in view of GPGSV
// are the ones on the channels, SBAS included (numbered 33 and up).

#include <cstdint>
#include <string_view>
#include <vector>

namespace zarnmon::sim {

class CSkyModel;

// False, appending nothing, for a sentence this receiver does not send.
bool AppendNmeaSentences(const CSkyModel& model, std::string_view name, std::vector<std::uint8_t>& out);

}  // namespace zarnmon::sim
