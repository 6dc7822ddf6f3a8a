#pragma once

// 24-bit data words as GPS navigation subframes and RTCM-104 messages carry
// them, and the GPS word parity both use (ICD-GPS-200): six parity bits per
// word, chained to the last two bits of the word before, with the data bits
// sent inverted when the previous word ended in a 1.

#include <cstdint>
#include <vector>

namespace zarnmon::sim {

// Appends fields most significant bit first and cuts them into words.
class CBitPacker {
public:
    // The low `bits` bits of value (two's complement for negative values).
    void Put(std::int64_t value, int bits);
    [[nodiscard]] int BitCount() const { return static_cast<int>(bits_.size()); }
    // The bits as 24-bit words; the last one filled up with 1010...
    [[nodiscard]] std::vector<std::uint32_t> Words() const;

private:
    std::vector<bool> bits_;
};

// The 30-bit word as sent: the 24 data bits (inverted when d30Star) and
// their parity, given the last two bits of the previous word.
[[nodiscard]] std::uint32_t GpsWord(std::uint32_t data24, bool d29Star, bool d30Star);

// True when the parity of a received 30-bit word checks, given the last two
// bits of the word before it.
[[nodiscard]] bool GpsParityOk(std::uint32_t word30, bool d29Star, bool d30Star);

// Issue of data of the ephemeris broadcast at gpsSeconds: a new one every two
// hours, the low 8 bits of its count.
[[nodiscard]] int EphemerisIssue(double gpsSeconds);

}  // namespace zarnmon::sim
