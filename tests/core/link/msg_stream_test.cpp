#include "core/link/msg_stream.h"

#include <numeric>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace zarnmon {
namespace {

const std::uint8_t* Bytes(std::string_view s) { return reinterpret_cast<const std::uint8_t*>(s.data()); }

// Moves the read and write indexes to `at` so tests can start right before the wrap.
void Position(CMsgStream& stream, std::int32_t at) {
    std::vector<std::uint8_t> filler(static_cast<std::size_t>(at), 0);
    stream.Append(filler.data(), at);
    stream.Drop(at);
}

TEST(MsgStream, Append_TakesOnlyWhatFitsAndReadWrapsAround) {
    CMsgStream stream;
    Position(stream, CMsgStream::kSize - 3);
    std::vector<std::uint8_t> in(CMsgStream::kSize + 10);
    std::iota(in.begin(), in.end(), std::uint8_t{0});

    EXPECT_EQ(stream.Append(in.data(), static_cast<std::int32_t>(in.size())), CMsgStream::kSize);
    EXPECT_EQ(stream.Free(), 0);
    EXPECT_EQ(stream.Append(in.data(), 5), 0);

    std::vector<std::uint8_t> out(in.size());
    EXPECT_EQ(stream.Read(out.data(), static_cast<std::int32_t>(out.size())), CMsgStream::kSize);
    out.resize(CMsgStream::kSize);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), in.begin()));
    EXPECT_EQ(stream.Read(out.data(), 1), 0);
    EXPECT_FALSE(stream.DropOne());
}

TEST(MsgStream, PeekEquals_ComparesAcrossTheWrapThroughTheMirror) {
    for (std::int32_t before = 0; before <= 8; ++before) {
        SCOPED_TRACE(before);
        CMsgStream stream;
        Position(stream, CMsgStream::kSize - before);
        stream.Append(Bytes("$BIN\x63\x00\x30\x01"), 8);
        EXPECT_TRUE(stream.PeekEquals(Bytes("$BIN\x63\x00\x30\x01"), 8));
        EXPECT_FALSE(stream.PeekEquals(Bytes("$BIN\x63\x00\x30\x02"), 8));
        EXPECT_FALSE(stream.PeekEquals(Bytes("$BIN\x63\x00\x30\x01X"), 9)) << "longer than held";
        EXPECT_EQ(stream.Count(), 8) << "peeking takes nothing";
    }
}

TEST(MsgStream, ReadUntil_TakesTheDelimiterOrKeepsAPossibleStartOfIt) {
    for (std::int32_t before = 0; before <= 12; ++before) {
        SCOPED_TRACE(before);
        CMsgStream stream;
        Position(stream, CMsgStream::kSize - before);
        std::vector<std::uint8_t> dst(64);
        bool found = true;

        stream.Append(Bytes("$GPGGA,1\r"), 9);
        EXPECT_EQ(stream.ReadUntil(dst.data(), 64, Bytes("\r\n"), 2, found), 8);
        EXPECT_FALSE(found);
        EXPECT_EQ(stream.Count(), 1) << "the CR may start the delimiter";

        stream.Append(Bytes("\nrest"), 5);
        EXPECT_EQ(stream.ReadUntil(dst.data() + 8, 56, Bytes("\r\n"), 2, found), 2);
        EXPECT_TRUE(found);
        EXPECT_EQ(std::string_view(reinterpret_cast<const char*>(dst.data()), 10), "$GPGGA,1\r\n");
        EXPECT_EQ(stream.Count(), 4);
    }
}

TEST(MsgStream, ReadUntil_StopsAtMaxEvenWhenTheDelimiterLiesBeyond) {
    CMsgStream stream;
    stream.Append(Bytes("abcdef\r\n"), 8);
    std::vector<std::uint8_t> dst(8);
    bool found = true;
    EXPECT_EQ(stream.ReadUntil(dst.data(), 7, Bytes("\r\n"), 2, found), 7);
    EXPECT_FALSE(found) << "the delimiter did not fit";
    EXPECT_EQ(stream.Count(), 1);

    CMsgStream shortStream;
    shortStream.Append(Bytes("a"), 1);
    EXPECT_EQ(shortStream.ReadUntil(dst.data(), 7, Bytes("\r\n"), 2, found), 0);
    EXPECT_FALSE(found);
}

TEST(MsgStream, Empty_NextBytesAppendedAreTheNextRead) {
    CMsgStream stream;
    stream.Append(Bytes("stale"), 5);
    stream.Empty();
    stream.Append(Bytes("fresh"), 5);
    std::vector<std::uint8_t> dst(5);
    ASSERT_EQ(stream.Read(dst.data(), 5), 5);
    EXPECT_EQ(std::string_view(reinterpret_cast<const char*>(dst.data()), 5), "fresh");
}

}  // namespace
}  // namespace zarnmon
