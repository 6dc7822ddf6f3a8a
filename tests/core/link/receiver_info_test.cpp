#include "core/link/receiver_info.h"

#include <gtest/gtest.h>

#include "core/link/frame_builder.h"
#include "core/link/msg_dispatcher.h"
#include "support/recorders.h"

namespace zarnmon {
namespace {

class ReceiverInfoTest : public ::testing::Test {
protected:
    void Reply(std::string_view line) { dispatcher.Feed(test::AsBytes(TextLine(line))); }

    CManualTickClock clock;
    CMsgDispatcher dispatcher{clock};
    CReceiverInfo info;
    const CMsgHandler& replies = dispatcher.Handler(Slots::ReplyHandler);
};

TEST_F(ReceiverInfoTest, Poll_TakesOnlyRepliesThatArriveAfterCatchingUp) {
    Reply("$>");
    Reply("$>JI,111,1,3,01012020,01/01/2020,01/01/2099,4.1,1.0");
    info.Poll(replies);
    EXPECT_FALSE(info.Known()) << "replies of an earlier connection are passed over";

    Reply("$>JBIN,1,1");
    Reply("$>JI,383838,1,3,01012024,01/01/2024,01/01/2099,5.2,1.4");
    Reply("$>other");
    info.Poll(replies);
    EXPECT_EQ(info.InfoLine(), "$>JI,383838,1,3,01012024,01/01/2024,01/01/2099,5.2,1.4");
    EXPECT_EQ(info.ReceiverId(), "383838");
    EXPECT_DOUBLE_EQ(info.ArmVersion(), 5.2);

    Reply("$>JI,2,1,3,4,5,6,3.5,7");
    info.Poll(replies);
    EXPECT_EQ(info.ReceiverId(), "2");
    EXPECT_DOUBLE_EQ(info.ArmVersion(), 3.5) << "a later reply replaces the earlier";

    info.Reset();
    EXPECT_FALSE(info.Known());
    EXPECT_EQ(info.ReceiverId(), "");
    EXPECT_DOUBLE_EQ(info.ArmVersion(), 0.0);
    EXPECT_EQ(info.Staleness(), 1);
}

TEST(ReceiverInfo, TakeReply_RunsOfCommasAreOneSeparator) {
    CReceiverInfo info;
    info.TakeReply("$>JI,,383838,1,,3,01012024,01/01/2024,01/01/2099,5.2,1.4\r\n");
    EXPECT_EQ(info.ReceiverId(), "383838");
    EXPECT_DOUBLE_EQ(info.ArmVersion(), 5.2);
    info.TakeReply("$>JI,77,1,,,3,4,01012024,01/01/2024,,6.0");
    EXPECT_DOUBLE_EQ(info.ArmVersion(), 6.0) << "empty fields shift the version later";
    info.TakeReply("$>JI,77");
    EXPECT_EQ(info.ReceiverId(), "77");
}

}  // namespace
}  // namespace zarnmon
