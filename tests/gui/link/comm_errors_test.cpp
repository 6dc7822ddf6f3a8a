#include "gui/link/comm_errors.h"

#include <gtest/gtest.h>

namespace zarnmon {
namespace {

TEST(CommErrors, SeveralFlags_AreListedInTheFixedOrder) {
    EXPECT_EQ(CommErrorLine(CommError::Overrun | CommError::Frame), "<CE- CE_FRAME CE_OVERRUN>");
    EXPECT_EQ(CommErrorLine(CommError::RxParity | CommError::Break), "<CE- CE_BREAK CE_RXPARITY>");
}

TEST(CommErrors, LongLists_AreCutTo31Characters) {
    const std::string all = CommErrorList(0xFFFFFFFFu);
    EXPECT_EQ(all.size(), 31u);
    EXPECT_EQ(all, std::string(" CE_BREAK CE_FRAME CE_IOE CE_MO"));
}

TEST(CommErrors, NoFlags_GiveAnEmptyList) { EXPECT_EQ(CommErrorLine(0), "<CE->"); }

TEST(CommErrors, DescriptorWithoutCounters_ReportsNothing) {
    CLineErrorWatch watch;
    watch.Reset(-1);
    EXPECT_EQ(watch.Poll(), 0u);
    // Standard input is no serial port: the driver keeps no counters.
    watch.Reset(0);
    EXPECT_EQ(watch.Poll(), 0u);
}

}  // namespace
}  // namespace zarnmon
