#pragma once

// Hand-made WAAS messages and message-80 frames for the decoder tests: fields
// set bit by bit at their DO-229 places, CRC-24Q sealed (or deliberately not).

#include <array>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "core/link/bin_catalogue.h"
#include "core/link/frame_builder.h"
#include "core/waas/waas_bits.h"

namespace zarnmon::test {

using WaasWords = std::array<std::uint32_t, kWaasMessageWords>;

class CWaasMessageBuilder {
public:
    explicit CWaasMessageBuilder(int type, std::uint32_t preamble = 0x53) {
        Set(0, 8, preamble);
        Set(kWaasTypeBit, 6, static_cast<std::uint32_t>(type));
    }

    CWaasMessageBuilder& Set(int start, int width, std::uint32_t value) {
        for (int i = 0; i < width; ++i) {
            const int bit = start + i;
            const std::uint32_t mask = 0x80000000U >> (bit % 32);
            auto& word = words_[static_cast<std::size_t>(bit / 32)];
            word = ((value >> (width - 1 - i)) & 1U) != 0 ? (word | mask) : (word & ~mask);
        }
        return *this;
    }

    // The words with a valid CRC-24Q.
    [[nodiscard]] WaasWords Sealed() const {
        WaasWords words = words_;
        CWaasMessageBuilder copy = *this;
        copy.Set(kWaasCrcBit, 24, WaasCrc24q(words));
        return copy.words_;
    }

private:
    WaasWords words_{};
};

// Type 1: the PRNs (1-based mask positions) and the IODP.
inline WaasWords PrnMaskMessage(const std::vector<int>& prns, int iodp) {
    CWaasMessageBuilder message(1);
    for (const int prn : prns) {
        message.Set(kWaasDataBit + prn - 1, 1, 1);
    }
    message.Set(224, 2, static_cast<std::uint32_t>(iodp));
    return message.Sealed();
}

// Type 18: one band's mask with the given bit positions set.
inline WaasWords IgpMaskMessage(int band, int iodi, const std::vector<int>& positions, int bandCount = 2) {
    CWaasMessageBuilder message(18);
    message.Set(14, 4, static_cast<std::uint32_t>(bandCount))
        .Set(18, 4, static_cast<std::uint32_t>(band))
        .Set(22, 2, static_cast<std::uint32_t>(iodi));
    for (const int p : positions) {
        message.Set(24 + p, 1, 1);
    }
    return message.Sealed();
}

// The 13-bit IGP field of type 26: delay in 0.125 m units and GIVEI.
constexpr std::uint32_t IgpField(std::uint32_t delayUnits, std::uint32_t givei) { return (delayUnits << 4) | givei; }

// Type 26: up to 15 IGP fields of one block.
inline WaasWords IonoDelayMessage(int band, int block, int iodi, const std::vector<std::uint32_t>& igps) {
    CWaasMessageBuilder message(26);
    message.Set(14, 4, static_cast<std::uint32_t>(band)).Set(18, 4, static_cast<std::uint32_t>(block));
    for (std::size_t j = 0; j < igps.size() && j < 15; ++j) {
        message.Set(22 + 13 * static_cast<int>(j), 13, igps[j]);
    }
    message.Set(217, 2, static_cast<std::uint32_t>(iodi));
    return message.Sealed();
}

// A message-80 frame as the receiver sends it.
inline std::vector<std::uint8_t> Msg80Frame(int prn, const WaasWords& words, std::uint32_t secondOfWeek = 0) {
    CBinFrameBuilder frame(msg80::kId);
    frame.Set(msg80::Prn, static_cast<std::uint16_t>(prn)).Set(msg80::MsgSecOfWeek, secondOfWeek);
    for (std::size_t i = 0; i < words.size(); ++i) {
        frame.Set(msg80::WaasMsg, words[i], 4 * i);
    }
    return frame.Build();
}

// PRNs 1..n.
inline std::vector<int> FirstPrns(int n) {
    std::vector<int> prns;
    for (int prn = 1; prn <= n; ++prn) {
        prns.push_back(prn);
    }
    return prns;
}

// Positions 0..n-1.
inline std::vector<int> FirstPositions(int n) {
    std::vector<int> positions;
    for (int p = 0; p < n; ++p) {
        positions.push_back(p);
    }
    return positions;
}

}  // namespace zarnmon::test
