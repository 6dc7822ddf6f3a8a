#include "core/state/log_file.h"

#include <gtest/gtest.h>

#include "core/state/log_test_support.h"

namespace zarnmon {
namespace {

TEST(LogFileTest, DefaultExtensionAndDialogTexts) {
    EXPECT_EQ(CLogFile().DefaultExtension(), "log");
    EXPECT_EQ(CLogFile(".bin").DefaultExtension(), "bin");
    EXPECT_EQ(CLogFile("abcdefg").DefaultExtension(), "abcde");
    EXPECT_EQ(CLogFile("bin").InitialFileName(), "*.bin");
    EXPECT_EQ(CLogFile("bin").FileDialogFilter(), "bin Files (*.bin)|*.bin|All Files (*.*)|*.*||");
}

TEST(LogFileTest, TruncateOrAppend) {
    test::TempDir dir;
    const std::string path = dir.File("a.log");
    CLogFile file;
    ASSERT_TRUE(file.Open(path, false));
    file.WriteText("one");
    ASSERT_TRUE(file.Open(path, true));  // closes and reopens
    file.WriteText("two");
    file.Close();
    EXPECT_EQ(test::ReadFile(path), "onetwo");
    ASSERT_TRUE(file.Open(path, false));
    file.WriteText("three");
    file.Close();
    EXPECT_EQ(test::ReadFile(path), "three");
    EXPECT_FALSE(file.HasFailure());
}

TEST(LogFileTest, ClosedFileIgnoresWrites) {
    CLogFile file;
    EXPECT_TRUE(file.WriteText("x"));
    EXPECT_EQ(file.BytesWritten(), 0u);
    EXPECT_FALSE(file.Open("/nonexistent-dir/x.log", false));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_FALSE(file.HasFailure());
}

TEST(LogFileTest, FullDisk_ClosesAndReportsOnce) {
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "needs /dev/full";
    }
    CLogFile file;
    ASSERT_TRUE(file.Open("/dev/full", true));
    const bool wrote = file.WriteText("row\r\n") && file.Flush();
    EXPECT_FALSE(wrote);
    EXPECT_FALSE(file.IsOpen());
    const auto failure = file.TakeFailure();
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->path, "/dev/full");
    EXPECT_FALSE(file.TakeFailure().has_value());
}

}  // namespace
}  // namespace zarnmon
