#include "core/waas/waas_bits.h"

#include <array>
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "support/sbas_capture.h"

namespace zarnmon {
namespace {

using Words = std::array<std::uint32_t, kWaasMessageWords>;

// The register run one message bit at a time: the definition the table
// must agree with.
std::uint32_t BitwiseCrc(const Words& words) {
    std::uint32_t crc = 0;
    for (int bit = 0; bit < kWaasCrcBit; ++bit) {
        const std::uint32_t in = (words[static_cast<std::size_t>(bit / 32)] >> (31 - bit % 32)) & 1U;
        const bool feedback = (((crc >> 23) & 1U) ^ in) != 0;
        crc = (crc << 1) & 0xFFFFFFU;
        if (feedback) {
            crc ^= kCrc24qGenerator;
        }
    }
    return crc;
}

TEST(WaasBits, FieldStraddlingTwoWords_ReadsMostSignificantBitFirst) {
    const Words words = {0x0000000AU, 0xC0000000U, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(WaasBits(words, 28, 6), 0b101011U);
    EXPECT_EQ(WaasBits(words, 0, 32), 0x0000000AU);
    EXPECT_EQ(WaasBits(words, 32, 32), 0xC0000000U);
    EXPECT_EQ(WaasBits(words, 32, 1), 1U);
    EXPECT_EQ(WaasBits(words, 34, 1), 0U);
}

TEST(WaasBits, SignedField_ExtendsTheSign) {
    const Words words = {0xFFF00000U, 0x7F000000U, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(WaasSignedBits(words, 0, 12), -1);
    EXPECT_EQ(WaasSignedBits(words, 8, 8), -16);
    EXPECT_EQ(WaasSignedBits(words, 32, 8), 127);
    EXPECT_EQ(WaasSignedBits(words, 24, 12), 7);  // 0000 0000 0111
    EXPECT_EQ(WaasSignedBits(words, 0, 32), static_cast<std::int32_t>(0xFFF00000U));
}

TEST(WaasBits, FieldOutsideTheWordsOrBadWidth_ReadsZero) {
    Words words{};
    words.fill(0xFFFFFFFFU);
    EXPECT_EQ(WaasBits(words, 250, 6), 0x3FU);
    EXPECT_EQ(WaasBits(words, 251, 6), 0U);
    EXPECT_EQ(WaasBits(words, -1, 4), 0U);
    EXPECT_EQ(WaasBits(words, 0, 0), 0U);
    EXPECT_EQ(WaasBits(words, 0, 33), 0U);
    EXPECT_EQ(WaasSignedBits(words, 255, 2), 0);
    EXPECT_EQ(WaasBits(std::span<const std::uint32_t>{}, 0, 1), 0U);
}

TEST(Crc24qTable, BuiltByDoubling_MatchesTheBitwiseRegisterForEveryByte) {
    EXPECT_EQ(kCrc24qTable[0], 0U);
    EXPECT_EQ(kCrc24qTable[1], kCrc24qGenerator);
    for (std::uint32_t byte = 0; byte < 256; ++byte) {
        SCOPED_TRACE(byte);
        std::uint32_t crc = 0;
        for (int bit = 7; bit >= 0; --bit) {
            const bool feedback = (((crc >> 23) ^ (byte >> bit)) & 1U) != 0;
            crc = (crc << 1) & 0xFFFFFFU;
            if (feedback) {
                crc ^= kCrc24qGenerator;
            }
        }
        EXPECT_EQ(kCrc24qTable[byte], crc);
    }
}

TEST(WaasCrc24q, RealBroadcasts_AllPass) {
    const auto lines = test::ReadSbasCapture("sbas_l1_2023-11-04_subset.txt");
    ASSERT_GT(lines.size(), 250U);
    for (const auto& line : lines) {
        SCOPED_TRACE("PRN " + std::to_string(line.prn) + " at " + std::to_string(line.seconds));
        EXPECT_EQ(WaasCrc24q(line.words), BitwiseCrc(line.words));
        EXPECT_TRUE(WaasCrcPasses(line.words));
    }
}

TEST(WaasCrc24q, RealFramesWithBadParity_AllFail) {
    const auto lines = test::ReadSbasCapture("sbas_crc_failures_2023-11-04.txt");
    ASSERT_EQ(lines.size(), 52U);
    for (const auto& line : lines) {
        SCOPED_TRACE("PRN " + std::to_string(line.prn) + " at " + std::to_string(line.seconds));
        EXPECT_FALSE(WaasCrcPasses(line.words));
    }
}

TEST(WaasCrc24q, AnySingleFlippedBit_Fails) {
    const auto lines = test::ReadSbasCapture("sbas_l1_2023-11-04_subset.txt");
    ASSERT_FALSE(lines.empty());
    for (int bit = 0; bit < 250; ++bit) {
        SCOPED_TRACE(bit);
        Words words = lines.front().words;
        words[static_cast<std::size_t>(bit / 32)] ^= 0x80000000U >> (bit % 32);
        EXPECT_FALSE(WaasCrcPasses(words));
    }
    // The padding after bit 249 is not part of the message.
    Words padded = lines.front().words;
    padded[7] ^= 0x1U;
    EXPECT_TRUE(WaasCrcPasses(padded));
}

}  // namespace
}  // namespace zarnmon
