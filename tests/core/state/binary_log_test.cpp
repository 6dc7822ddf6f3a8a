#include "core/state/binary_log.h"

#include <gtest/gtest.h>

#include "core/state/log_test_support.h"

namespace zarnmon {
namespace {

TEST(BinaryLogTest, EveryChunkWrittenWholeNoiseIncludedAndOnDiskAtOnce) {
    test::TempDir dir;
    const std::string path = dir.File("raw.bin");
    CBinaryLog log;
    log.WriteReceivedBytes(test::Bytes("before"));  // closed: nothing
    ASSERT_TRUE(log.Start(path));
    const auto frame = test::Msg1Frame(1000.0);
    std::vector<std::uint8_t> chunk{0xFF, 0x00, '$', 'B'};  // noise the dispatcher would drop
    chunk.insert(chunk.end(), frame.begin(), frame.begin() + 20);
    log.WriteReceivedBytes(chunk);
    log.WriteReceivedBytes(std::vector<std::uint8_t>(frame.begin() + 20, frame.end()));
    std::string expected(chunk.begin(), chunk.end());
    expected.append(frame.begin() + 20, frame.end());
    EXPECT_EQ(test::ReadFile(path), expected);
    EXPECT_EQ(log.BytesWritten(), expected.size());
    log.Stop();
    EXPECT_FALSE(log.IsOpen());
}

TEST(BinaryLogTest, FailedWrite_ClosesAndReportsOnce) {
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "needs /dev/full";
    }
    CBinaryLog log;
    ASSERT_TRUE(log.Start("/dev/full"));
    log.WriteReceivedBytes(test::Bytes("chunk"));
    EXPECT_FALSE(log.IsOpen());
    EXPECT_TRUE(log.TakeFailure().has_value());
    log.WriteReceivedBytes(test::Bytes("more"));
    EXPECT_FALSE(log.TakeFailure().has_value());
}

}  // namespace
}  // namespace zarnmon
