#include "sim/rtcm_writer.h"

#include <algorithm>
#include <cmath>

#include "sim/nav_words.h"
#include "sim/sky_model.h"

namespace zarnmon::sim {

namespace {

constexpr int kPreamble = 0x66;
constexpr int kType = 1;
constexpr double kZCountSeconds = 0.6;
constexpr double kFinePrc = 0.02;    // m
constexpr double kCoarsePrc = 0.32;  // m
constexpr double kFineRrc = 0.002;   // m/s
constexpr double kCoarseRrc = 0.032;

std::int64_t Clamp(double value, std::int64_t low, std::int64_t high) {
    return std::clamp(static_cast<std::int64_t>(std::lround(value)), low, high);
}

}  // namespace

void CRtcmEncoder::AppendWord(std::uint32_t data24, std::vector<std::uint8_t>& out) {
    const std::uint32_t word = GpsWord(data24, d29_, d30_);
    d29_ = (word & 0x2U) != 0;
    d30_ = (word & 0x1U) != 0;
    for (int chunk = 0; chunk < 5; ++chunk) {
        const std::uint32_t six = (word >> (24 - 6 * chunk)) & 0x3FU;
        // The first bit sent goes into the lowest bit of the character.
        std::uint32_t reversed = 0;
        for (int bit = 0; bit < 6; ++bit) {
            reversed |= ((six >> (5 - bit)) & 1U) << bit;
        }
        out.push_back(static_cast<std::uint8_t>(0x40U | reversed));
    }
}

void CRtcmEncoder::AppendType1(const CSkyModel& model, std::vector<std::uint8_t>& out) {
    CBitPacker body;
    for (const ChannelState& channel : model.Channels()) {
        if (channel.prn == 0 || channel.ephState != kStateValid) {
            continue;
        }
        const bool coarse = std::abs(channel.diffCorr) > 32767 * kFinePrc;
        const double prcUnit = coarse ? kCoarsePrc : kFinePrc;
        const double rrcUnit = coarse ? kCoarseRrc : kFineRrc;
        const int udre = channel.sight.elevation > 15.0 ? 0 : 1;
        body.Put(coarse ? 1 : 0, 1);
        body.Put(udre, 2);
        body.Put(channel.prn & 0x1F, 5);  // PRN 32 goes as 0
        body.Put(Clamp(channel.diffCorr / prcUnit, -32767, 32767), 16);
        body.Put(Clamp(channel.diffCorrRate / rrcUnit, -127, 127), 8);
        body.Put(EphemerisIssue(model.GpsSeconds()), 8);
    }
    const std::vector<std::uint32_t> words = body.Words();
    const double zCount = std::floor(std::fmod(model.SecondsOfWeek(), 3600.0) / kZCountSeconds);

    CBitPacker header;
    header.Put(kPreamble, 8);
    header.Put(kType, 6);
    header.Put(stationId_ & 0x3FF, 10);
    header.Put(static_cast<std::int64_t>(zCount), 13);
    header.Put(sequence_, 3);
    header.Put(static_cast<std::int64_t>(words.size()), 5);
    header.Put(0, 3);  // station health: UDRE scale 1
    sequence_ = (sequence_ + 1) % 8;

    for (const std::uint32_t word : header.Words()) {
        AppendWord(word, out);
    }
    for (const std::uint32_t word : words) {
        AppendWord(word, out);
    }
    out.push_back('\r');
    out.push_back('\n');
}

}  // namespace zarnmon::sim
