#pragma once

// RTCM-104 version 2 corrections as the receiver echoes them in printable
// form: 30-bit words (24 data bits and GPS parity), six bits per character,
// least significant first, marked with 01 in the top bits ("six of eight").
// Every message is a type 1 (differential GPS corrections for the tracked
// satellites) on a line of its own ending in CR LF. The preamble 0x66 and
// type 1 make a line start "fA", or "Y~" when the word before ended in a 1
// and the data bits are sent inverted; the parity chain runs on from line to
// line as in one continuous stream.

#include <cstdint>
#include <vector>

namespace zarnmon::sim {

class CSkyModel;

class CRtcmEncoder {
public:
    explicit CRtcmEncoder(int stationId) : stationId_(stationId) {}

    void AppendType1(const CSkyModel& model, std::vector<std::uint8_t>& out);

private:
    void AppendWord(std::uint32_t data24, std::vector<std::uint8_t>& out);

    int stationId_;
    int sequence_ = 0;
    bool d29_ = false;
    bool d30_ = false;
};

}  // namespace zarnmon::sim
