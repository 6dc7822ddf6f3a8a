#include "core/commands/text_lines.h"

#include <gtest/gtest.h>

namespace zarnmon {
namespace {

TEST(BoxLine, EmptyLine_AddsNothing) { EXPECT_EQ(BoxLine(""), std::nullopt); }

TEST(BoxLine, TrailingLineEnds_AreReplacedByOneCrLf) {
    EXPECT_EQ(BoxLine("$GPGGA,1\r\n"), "$GPGGA,1\r\n");
    EXPECT_EQ(BoxLine("$GPGGA,1"), "$GPGGA,1\r\n");
    EXPECT_EQ(BoxLine("$>JI,1\n\r\r\n"), "$>JI,1\r\n");
    EXPECT_EQ(BoxLine("a\rb\r\n"), "a\rb\r\n") << "only the trailing ones go";
}

TEST(BoxLine, LineOfOnlyLineEnds_BecomesAnEmptyLineThatIsStillAdded) {
    EXPECT_EQ(BoxLine("\r\n"), "\r\n");
    EXPECT_EQ(BoxLine("\n\n\r"), "\r\n");
}

TEST(BoxLine, LongLine_IsCutTo4096BeforeItsLineEnd) {
    const std::string exact(kBoxLineMax, 'x');
    EXPECT_EQ(BoxLine(exact + "\r\n"), exact + "\r\n");
    EXPECT_EQ(BoxLine(exact + "yz\r\n"), exact + "\r\n");
}

TEST(LeadingToTrim, OnlyABoxHoldingMoreThan20000_LosesItsFirst5000) {
    EXPECT_EQ(LeadingToTrim(0), 0U);
    EXPECT_EQ(LeadingToTrim(kBoxLimit), 0U);
    EXPECT_EQ(LeadingToTrim(kBoxLimit + 1), kBoxTrim);
}

TEST(AppendToBox, Lines_GoInInOrderAndEmptyOnesLeaveTheBoxAlone) {
    std::string box;
    EXPECT_EQ(AppendToBox(box, "").added, 0U);
    EXPECT_EQ(AppendToBox(box, "$GPGGA\r\n").added, 8U);
    EXPECT_EQ(AppendToBox(box, "\r\n").added, 2U);
    EXPECT_EQ(AppendToBox(box, "$GPVTG").added, 8U);
    EXPECT_EQ(box, "$GPGGA\r\n\r\n$GPVTG\r\n");
}

TEST(AppendToBox, LongRun_TrimsBeforeAppendingAndStaysBelowTheLimitPlusOneLine) {
    std::string box;
    std::string expected;
    const std::string line = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47";
    std::size_t trims = 0;
    for (int i = 0; i < 2000; ++i) {
        SCOPED_TRACE(i);
        const std::size_t before = box.size();
        const BoxAppend result = AppendToBox(box, line + "\r\n");
        ASSERT_EQ(result.added, line.size() + 2);
        ASSERT_EQ(result.trimmed, before > kBoxLimit ? kBoxTrim : 0U);
        trims += result.trimmed > 0 ? 1 : 0;
        // The box is always the tail of everything that went in.
        expected += line + "\r\n";
        ASSERT_TRUE(expected.ends_with(box));
        ASSERT_LE(box.size(), kBoxLimit + line.size() + 2);
    }
    EXPECT_GT(trims, 20U);
}

}  // namespace
}  // namespace zarnmon
