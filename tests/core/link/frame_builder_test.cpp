#include "core/link/frame_builder.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "core/link/bin_catalogue.h"

namespace zarnmon {
namespace {

std::uint16_t Le16(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

TEST(CBinFrameBuilder, Build_LaysOutHeaderDataChecksumAndTrailer) {
    CBinFrameBuilder builder(msg2::kId);
    builder.Set(msg2::Hdop, 0x0102).Set(msg2::SbasMask, 0xA0B0);
    const std::vector<std::uint8_t> frame = builder.Build();

    ASSERT_EQ(frame.size(), msg2::kLength + kBinFrameOverhead);
    EXPECT_EQ(std::string(frame.begin(), frame.begin() + 4), "$BIN");
    EXPECT_EQ(Le16(frame, 4), 2);
    EXPECT_EQ(Le16(frame, 6), 16);
    EXPECT_EQ(frame[8 + 10], 0x02);
    EXPECT_EQ(frame[8 + 11], 0x01);
    EXPECT_EQ(Le16(frame, 8 + 16), 0x01 + 0x02 + 0xA0 + 0xB0);
    EXPECT_EQ(frame[8 + 16 + 2], 0x0D);
    EXPECT_EQ(frame[8 + 16 + 3], 0x0A);
    EXPECT_TRUE(IsValidFrame(frame));
}

TEST(CBinFrameBuilder, EveryCatalogueId_BuildsAValidFrameOfItsLength) {
    for (const MessageLayout& layout : Catalogue()) {
        SCOPED_TRACE(layout.handlerName);
        const std::vector<std::uint8_t> frame = CBinFrameBuilder(layout.id).Build();
        EXPECT_EQ(frame.size(), layout.length + kBinFrameOverhead);
        EXPECT_EQ(Le16(frame, 4), layout.id);
        EXPECT_TRUE(IsValidFrame(frame));
    }
}

TEST(CBinFrameBuilder, ExplicitLength_OverridesTheCatalogue) {
    const std::vector<std::uint8_t> frame = CBinFrameBuilder(msg1::kId, 53).Build();
    EXPECT_EQ(Le16(frame, 6), 53);
    EXPECT_EQ(frame.size(), 53 + kBinFrameOverhead);
}

TEST(CBinFrameBuilder, UnknownId_Throws) { EXPECT_THROW(CBinFrameBuilder(3), std::invalid_argument); }

TEST(CBinFrameBuilder, AppendTo_AddsBehindExistingBytes) {
    std::vector<std::uint8_t> stream{'x', 'y'};
    const CBinFrameBuilder builder(msg97::kId);
    builder.AppendTo(stream);
    builder.AppendTo(stream);
    const std::vector<std::uint8_t> one = builder.Build();
    ASSERT_EQ(stream.size(), 2 + 2 * one.size());
    EXPECT_TRUE(std::equal(one.begin(), one.end(), stream.begin() + 2));
    EXPECT_TRUE(std::equal(one.begin(), one.end(), stream.begin() + 2 + static_cast<std::ptrdiff_t>(one.size())));
}

TEST(DataChecksum, SumAboveSixteenBits_Wraps) {
    const std::vector<std::uint8_t> data(257, 0xFF);  // 0xFFFF
    EXPECT_EQ(DataChecksum(data), 0xFFFF);
    std::vector<std::uint8_t> more = data;
    more.push_back(6);
    EXPECT_EQ(DataChecksum(more), 0x0005);
}

// A 52-byte message cannot sum past 16 bits (52 x 255 = 13260), so the wrap is
// shown on the 304-byte channel message.
TEST(IsValidFrame, DataSumPastSixteenBits_AcceptedWithWrappedChecksum) {
    CBinFrameBuilder builder(msg99::kId);
    const std::span<std::uint8_t> data = builder.Data();
    std::fill(data.begin(), data.begin() + 257, 0xFF);
    data[257] = 6;  // data sum 0x1_0005
    const std::vector<std::uint8_t> frame = builder.Build();
    EXPECT_EQ(Le16(frame, 8 + msg99::kLength), 0x0005);
    EXPECT_TRUE(IsValidFrame(frame));
}

TEST(IsValidFrame, DamagedFrames_Rejected) {
    CBinFrameBuilder builder(msg1::kId);
    builder.Set(msg1::GpsWeek, 2000).Set(msg1::Latitude, 51.5);
    const std::vector<std::uint8_t> good = builder.Build();
    ASSERT_TRUE(IsValidFrame(good));
    const std::size_t checksumAt = 8 + msg1::kLength;

    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> cases;
    {
        auto reversed = good;
        std::swap(reversed[checksumAt + 2], reversed[checksumAt + 3]);
        cases.emplace_back("trailer LF CR", reversed);
    }
    for (const std::size_t at : {checksumAt, checksumAt + 1}) {
        auto spoiled = good;
        spoiled[at] ^= 0x01;
        cases.emplace_back("checksum byte " + std::to_string(at - checksumAt), spoiled);
    }
    {
        auto spoiled = good;
        spoiled[8 + 20] ^= 0x80;
        cases.emplace_back("data byte changed", spoiled);
    }
    {
        auto longer = good;
        longer[6] = msg1::kLength + 1;
        cases.emplace_back("length one more than carried", longer);
    }
    for (std::size_t length = 0; length < good.size(); ++length) {
        cases.emplace_back("truncated to " + std::to_string(length),
                           std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(length)));
    }
    for (const auto& [name, frame] : cases) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(IsValidFrame(frame));
    }
}

TEST(IsValidFrame, TrailingBytesBehindFrame_Ignored) {
    std::vector<std::uint8_t> frame = CBinFrameBuilder(msg2::kId).Build();
    frame.push_back(0);  // a stored frame is followed by a 0 in its buffer
    EXPECT_TRUE(IsValidFrame(frame));
}

TEST(NmeaSentence, Body_FramedWithUpperCaseXorChecksumAndCrLf) {
    EXPECT_EQ(NmeaSentence("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"),
              "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n");
    EXPECT_EQ(NmeaSentence("GPGLL,4916.45,N,12311.12,W,225444,A,"), "$GPGLL,4916.45,N,12311.12,W,225444,A,*1D\r\n");
    EXPECT_EQ(NmeaSentence(""), "$*00\r\n");
}

TEST(TextLine, Text_EndsInCrLf) { EXPECT_EQ(TextLine("$>JI,12345"), "$>JI,12345\r\n"); }

}  // namespace
}  // namespace zarnmon
