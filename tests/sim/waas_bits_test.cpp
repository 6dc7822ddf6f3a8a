#include "sim/waas_bits.h"

#include <array>
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

namespace zarnmon::sim {
namespace {

TEST(CWaasMessageBits, FieldInsideOneWord_ReadsBackAndLandsMostSignificantFirst) {
    CWaasMessage message;
    message.SetBits(0, 8, 0x53);
    message.SetBits(8, 6, 26);

    EXPECT_EQ(message.Bits(0, 8), 0x53U);
    EXPECT_EQ(message.Bits(8, 6), 26U);
    EXPECT_EQ(message.Type(), 26);
    // 0x53 then 011010 then zeros: 0101 0011 0110 10..
    EXPECT_EQ(message.AsWords()[0], 0x5368'0000U);
}

TEST(CWaasMessageBits, FieldAcrossEveryWordBoundary_RoundTrips) {
    for (int boundary = 32; boundary < CWaasMessage::kBits; boundary += 32) {
        for (int width = 2; width <= 32; ++width) {
            for (int before = 1; before < width; ++before) {
                SCOPED_TRACE("boundary " + std::to_string(boundary) + " width " + std::to_string(width) +
                             " bits before " + std::to_string(before));
                const int start = boundary - before;
                const std::uint32_t value = 0xA5C3'96E1U & (width == 32 ? 0xFFFF'FFFFU : (1U << width) - 1U);
                CWaasMessage message;
                message.SetBits(start, width, value);
                EXPECT_EQ(message.Bits(start, width), value);
                // Nothing spills outside the field.
                EXPECT_EQ(message.Bits(start - 1, 1), 0U);
                if (start + width < CWaasMessage::kBits) {
                    EXPECT_EQ(message.Bits(start + width, 1), 0U);
                }
            }
        }
    }
}

TEST(CWaasMessageBits, FieldAcrossBoundary_SplitsBetweenTheTwoWords) {
    CWaasMessage message;
    message.SetBits(28, 8, 0xAB);  // 1010 in word 0's low nibble, 1011 in word 1's top nibble

    EXPECT_EQ(message.AsWords()[0], 0x0000'000AU);
    EXPECT_EQ(message.AsWords()[1], 0xB000'0000U);
}

TEST(CWaasMessageBits, Overwrite_ReplacesOnlyTheFieldsBits) {
    CWaasMessage message;
    message.SetBits(40, 24, 0xFF'FFFF);
    message.SetBits(48, 8, 0x00);

    EXPECT_EQ(message.Bits(40, 24), 0xFF'00FFU);
}

TEST(CWaasMessageBits, ValueWiderThanField_KeepsOnlyItsLowBits) {
    CWaasMessage message;
    message.SetBits(100, 4, 0xFFF5);

    EXPECT_EQ(message.Bits(100, 4), 0x5U);
    EXPECT_EQ(message.Bits(96, 4), 0U);
}

TEST(CWaasMessageBits, FullWidthField_RoundTripsAtAnyAlignment) {
    for (int start = 0; start <= CWaasMessage::kBits - 32; start += 7) {
        SCOPED_TRACE("start " + std::to_string(start));
        CWaasMessage message;
        message.SetBits(start, 32, 0x8000'0001U);
        EXPECT_EQ(message.Bits(start, 32), 0x8000'0001U);
        EXPECT_EQ(message.SignedBits(start, 32), static_cast<std::int32_t>(0x8000'0001U));
    }
}

TEST(CWaasMessageSignedBits, NegativeValues_SignExtendAcrossWidthsAndBoundaries) {
    for (const int start : {14, 27, 60, 120, 218}) {
        for (const int width : {2, 8, 9, 12, 17, 30}) {
            for (const std::int32_t value : {-1, -2, 1, 0}) {
                SCOPED_TRACE("start " + std::to_string(start) + " width " + std::to_string(width) + " value " +
                             std::to_string(value));
                CWaasMessage message;
                message.SetSignedBits(start, width, value);
                EXPECT_EQ(message.SignedBits(start, width), value);
            }
        }
    }
}

TEST(CWaasMessageSignedBits, ExtremesOfTheField_ReadBackExactly) {
    CWaasMessage message;
    message.SetSignedBits(18, 12, -2048);
    message.SetSignedBits(30, 12, 2047);

    EXPECT_EQ(message.SignedBits(18, 12), -2048);
    EXPECT_EQ(message.SignedBits(30, 12), 2047);
    EXPECT_EQ(message.Bits(18, 12), 0x800U);
    EXPECT_EQ(message.Bits(30, 12), 0x7FFU);
}

TEST(CWaasMessageSignedBits, TopBitSet_ReadsNegativeWhileUnsignedReadsLarge) {
    CWaasMessage message;
    message.SetBits(69, 9, 0x1F0);

    EXPECT_EQ(message.Bits(69, 9), 0x1F0U);
    EXPECT_EQ(message.SignedBits(69, 9), -16);
}

TEST(CWaasMessageBits, FieldOutsideTheMessage_ReadsZeroAndWritesNothing) {
    CWaasMessage message;
    message.SetBits(250, 6, 0x3F);  // the last field that fits
    const CWaasMessage before = message;

    message.SetBits(250, 7, 0x7F);
    message.SetBits(-1, 4, 0xF);
    message.SetBits(10, 0, 1);
    message.SetBits(10, 33, 1);

    EXPECT_EQ(message, before);
    EXPECT_EQ(message.Bits(250, 6), 0x3FU);
    EXPECT_EQ(message.Bits(250, 7), 0U);
    EXPECT_EQ(message.Bits(-3, 4), 0U);
    EXPECT_EQ(message.Bits(0, 0), 0U);
    EXPECT_EQ(message.SignedBits(256, 1), 0);
}

TEST(CWaasMessageWords, FromWords_GivesTheSameBitsAsTheWireOrder) {
    const std::array<std::uint32_t, 8> words = {0x9A68'0000U, 0, 0, 0, 0, 0, 0, 0x0000'01C0U};
    const CWaasMessage message = CWaasMessage::FromWords(words);

    EXPECT_EQ(message.Bits(0, 8), 0x9AU);
    EXPECT_EQ(message.Type(), 26);
    EXPECT_EQ(message.AsWords(), words);
    // Word 7 holds bits 224-255: 0x1C0 sets bits 247, 248 and 249.
    EXPECT_EQ(message.Bits(246, 4), 0b0111U);
    EXPECT_EQ(message.Bits(250, 6), 0U);
}

}  // namespace
}  // namespace zarnmon::sim
