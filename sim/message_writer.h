#pragma once

// Writes the simulated receiver's output for the moment the sky model is at:
// binary frames, NMEA sentences, RTCM lines and the two diagnostic lines.
//
// Frames are built field by field through the catalogue's layouts, so what
// the monitor decodes is what the model holds. Some messages come in turns,
// which is the writer's only state: message 98 carries eight of the 32
// almanac entries per call and names another of them each time as the last
// almanac looked at, 95 and 93 one satellite per call, 94 only when its
// parameters change, and the RTCM stream numbers its messages and chains
// its parity from line to line.

#include <cstdint>
#include <string_view>
#include <vector>

#include "sim/rtcm_writer.h"

namespace zarnmon::sim {

class CSkyModel;

class CMessageWriter {
public:
    explicit CMessageWriter(const CSkyModel& model);

    // Appends binary message id (1, 2, 99, 98, 97, 96, 95, 94, 93, 91, 100,
    // 71, 76, 89); false, appending nothing, for another id or when the
    // message has nothing to send now (95 or 93 with no satellite to
    // describe, 94 without a change since it was last sent).
    bool AppendBinary(std::uint16_t id, std::vector<std::uint8_t>& out);
    // Appends the sentence(s) of an NMEA name ("GPGGA", "GPGSV", ...); false
    // for a name this receiver does not send.
    bool AppendNmea(std::string_view name, std::vector<std::uint8_t>& out);
    void AppendRtcm(std::vector<std::uint8_t>& out);
    void AppendRd1(std::vector<std::uint8_t>& out);
    // "$RX,k,..." for k 0..31; nothing for another k.
    void AppendRx(int k, std::vector<std::uint8_t>& out);

private:
    void AppendMsg1(std::vector<std::uint8_t>& out) const;
    void AppendMsg2(std::vector<std::uint8_t>& out) const;
    void AppendMsg99(std::vector<std::uint8_t>& out) const;
    void AppendMsg98(std::vector<std::uint8_t>& out);
    void AppendMsg97(std::vector<std::uint8_t>& out) const;
    void AppendMsg100(std::vector<std::uint8_t>& out) const;
    void AppendMsg89(std::vector<std::uint8_t>& out) const;
    bool AppendNextEphemeris(std::vector<std::uint8_t>& out);
    bool AppendNextSbasEphemeris(std::vector<std::uint8_t>& out);
    bool AppendIonoUtcOnChange(std::vector<std::uint8_t>& out);

    const CSkyModel& model_;
    // 0..31: the next message 98 carries the eight PRNs of block turn % 4 and
    // names PRN 8 (turn % 4) + turn / 4 + 1 as the last almanac looked at.
    int almanacTurn_ = 0;
    int lastEphemerisPrn_ = 0;
    int lastSbasChannel_ = -1;
    std::int64_t sentIonoIssue_ = -1;
    CRtcmEncoder rtcm_;
};

}  // namespace zarnmon::sim
