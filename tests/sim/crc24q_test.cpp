#include <array>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "sim/waas_bits.h"
#include "support/sbas_capture.h"

namespace zarnmon::sim {
namespace {

// One line of the SBAS captures in tests/data/sbas: week, seconds, PRN,
// stream, 32 and 64 hex digits of message bits.
struct CapturedMessage {
    int prn = 0;
    double seconds = 0.0;
    CWaasMessage message;
};

std::vector<CapturedMessage> ReadCapture(const std::string& name) {
    std::vector<CapturedMessage> messages;
    for (const auto& line : test::ReadSbasCapture(name)) {
        messages.push_back({line.prn, line.seconds, CWaasMessage::FromWords(line.words)});
    }
    return messages;
}

// The message whose bits 0-225 are zeros followed by text: with a zero
// initial register, leading zeros leave the CRC unchanged, so its CRC is the
// CRC of the text alone. Ending at bit 225, the text straddles the byte grid
// and its last two bits go through the bit-by-bit tail.
CWaasMessage MessageEndingWith(std::string_view text) {
    CWaasMessage message;
    int bit = CWaasMessage::kCrcBit - 8 * static_cast<int>(text.size());
    for (const char c : text) {
        message.SetBits(bit, 8, static_cast<std::uint8_t>(c));
        bit += 8;
    }
    return message;
}

TEST(Crc24q, CheckString123456789_GivesTheCatalogueCheckValue) {
    EXPECT_EQ(Crc24q(MessageEndingWith("123456789")), 0xCDE703U);
}

TEST(Crc24q, AllZeroMessage_HasZeroCrc) { EXPECT_EQ(Crc24q(CWaasMessage{}), 0U); }

TEST(Crc24q, RealSbasMessages_AllVerify) {
    const std::vector<CapturedMessage> messages = ReadCapture("sbas_l1_2023-11-04_subset.txt");
    ASSERT_EQ(messages.size(), 290U);
    for (const CapturedMessage& captured : messages) {
        SCOPED_TRACE("PRN " + std::to_string(captured.prn) + " at " + std::to_string(captured.seconds));
        EXPECT_TRUE(HasValidCrc(captured.message));
        EXPECT_EQ(Crc24q(captured.message), captured.message.Bits(CWaasMessage::kCrcBit, 24));
    }
}

TEST(Crc24q, RealFramesWithBitErrors_AllFail) {
    const std::vector<CapturedMessage> messages = ReadCapture("sbas_crc_failures_2023-11-04.txt");
    ASSERT_EQ(messages.size(), 52U);
    for (const CapturedMessage& captured : messages) {
        SCOPED_TRACE("PRN " + std::to_string(captured.prn) + " at " + std::to_string(captured.seconds));
        EXPECT_FALSE(HasValidCrc(captured.message));
    }
}

TEST(Crc24q, AnySingleBitFlipInAValidMessage_IsDetected) {
    const std::vector<CapturedMessage> messages = ReadCapture("sbas_l1_2023-11-04_subset.txt");
    ASSERT_FALSE(messages.empty());
    const CWaasMessage original = messages.front().message;
    for (int bit = 0; bit < CWaasMessage::kMessageBits; ++bit) {
        SCOPED_TRACE("bit " + std::to_string(bit));
        CWaasMessage flipped = original;
        flipped.SetBits(bit, 1, original.Bit(bit) ? 0U : 1U);
        EXPECT_FALSE(HasValidCrc(flipped));
    }
}

TEST(SealCrc, ComposedMessage_VerifiesAndKeepsItsData) {
    CWaasMessage message;
    message.SetBits(0, 8, 0x9A);
    message.SetBits(8, 6, 18);
    message.SetBits(14, 4, 3);
    message.SetBits(224, 2, 0b11);
    SealCrc(message);

    EXPECT_TRUE(HasValidCrc(message));
    EXPECT_EQ(message.Bits(0, 8), 0x9AU);
    EXPECT_EQ(message.Type(), 18);
    EXPECT_EQ(message.Bits(224, 2), 0b11U);
    EXPECT_EQ(message.Bits(250, 6), 0U);
}

TEST(SealCrc, RealMessageWithCrcCleared_GetsItsBroadcastCrcBack) {
    const std::vector<CapturedMessage> messages = ReadCapture("sbas_l1_2023-11-04_subset.txt");
    for (std::size_t i = 0; i < messages.size(); i += 37) {
        SCOPED_TRACE("message " + std::to_string(i));
        CWaasMessage resealed = messages[i].message;
        resealed.SetBits(CWaasMessage::kCrcBit, 24, 0);
        SealCrc(resealed);
        EXPECT_EQ(resealed, messages[i].message);
    }
}

}  // namespace
}  // namespace zarnmon::sim
