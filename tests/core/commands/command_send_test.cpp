#include "core/commands/command_send.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/link/msg_dispatcher.h"
#include "support/recorders.h"

namespace zarnmon {
namespace {

using test::AsBytes;

class CommandSendTest : public ::testing::Test {
protected:
    SendOutcome Send(std::string_view typed) { return SendTypedCommand(typed, dispatcher, sender); }

    CManualTickClock clock{50000};
    CMsgDispatcher dispatcher{clock};
    test::RecordingSender sender;
};

TEST_F(CommandSendTest, J4String_GoesOutBehindJoffInAnyLetterCase) {
    for (const std::string_view typed : {"$J4STRING,OTHER", "$j4string,other", "$J4s"}) {
        SCOPED_TRACE(typed);
        EXPECT_EQ(WireBytes(typed), "$JOFF\r" + std::string(typed) + "\r");
    }
    EXPECT_EQ(Send("$J4STRING,OTHER"), SendOutcome::Sent);
    EXPECT_EQ(sender.sent, std::vector<std::string>{"$JOFF\r$J4STRING,OTHER\r"});
    // Anywhere in the command, not only at its start.
    EXPECT_EQ(WireBytes(" x$j4s"), "$JOFF\r x$j4s\r");
    EXPECT_EQ(WireBytes("$J4"), "$J4\r");
    EXPECT_EQ(WireBytes("$JASC,GPGGA,1"), "$JASC,GPGGA,1\r");
}

TEST_F(CommandSendTest, TypedCommand_IsCutAtItsFirstLineEnd) {
    EXPECT_EQ(CutAtLineEnd("$JI\r$JT"), "$JI");
    EXPECT_EQ(CutAtLineEnd("$JI\n\r"), "$JI");
    EXPECT_EQ(CutAtLineEnd("$JSHOW"), "$JSHOW");
    EXPECT_EQ(CutAtLineEnd("\r$JI"), "");

    EXPECT_EQ(Send("$JSHOW,CONF\n$JOFF"), SendOutcome::Sent);
    EXPECT_EQ(sender.sent, std::vector<std::string>{"$JSHOW,CONF\r"});
    ASSERT_EQ(sender.shown.size(), 1u);
    EXPECT_TRUE(sender.shown[0]);  // the user sent it: a closed link is reported
}

TEST_F(CommandSendTest, EmptyCommand_IsInvalidAndSendsNothing) {
    EXPECT_EQ(Send(""), SendOutcome::InvalidEntry);
    EXPECT_TRUE(sender.sent.empty());
}

TEST_F(CommandSendTest, ClosedLink_IsNotSent) {
    sender.linkOpen = false;
    EXPECT_EQ(Send("$JI"), SendOutcome::NotSent);
    EXPECT_EQ(sender.sent, std::vector<std::string>{"$JI\r"});
}

TEST_F(CommandSendTest, EnableWithANewRate_BecomesTheDispatchersEnableCommand) {
    EXPECT_EQ(Send("$JBIN,99,5"), SendOutcome::Sent);
    EXPECT_EQ(dispatcher.EnableCommand(Slots::Msg99), "$JBIN,99,5\r");
    // The dispatcher now keeps the message up at the user's rate.
    dispatcher.SendEnable(Slots::Msg99, true, true);
    EXPECT_EQ(sender.sent.back(), "$JBIN,99,5\r");
    // What follows a line end is not part of the command.
    EXPECT_EQ(Send("$JBIN,1,5\r$JBIN,1,0"), SendOutcome::Sent);
    EXPECT_EQ(dispatcher.EnableCommand(Slots::Msg1), "$JBIN,1,5\r");
}

TEST_F(CommandSendTest, RateZeroOrOtherPort_LeavesTheEnableCommand) {
    for (const std::string_view typed : {"$JBIN,99,0", "$JBIN,99,5,OTHER", "$jbin,99,5,other"}) {
        SCOPED_TRACE(typed);
        EXPECT_EQ(Send(typed), SendOutcome::Sent);
        EXPECT_EQ(dispatcher.EnableCommand(Slots::Msg99), "$JBIN,99,1\r");
    }
}

TEST(CommandHistoryTest, Record_PutsNewCommandsOnTopWithoutRepeatingTheTop) {
    CCommandHistory history;
    EXPECT_TRUE(history.Record("A"));
    EXPECT_FALSE(history.Record("A"));
    EXPECT_TRUE(history.Record("B"));
    EXPECT_TRUE(history.Record("A"));
    EXPECT_EQ(history.Entries(), (std::vector<std::string>{"A", "B", "A"}));
    // Case matters: a command typed in another case is another entry.
    EXPECT_TRUE(history.Record("a"));
    EXPECT_EQ(history.Entries().front(), "a");
    EXPECT_EQ(history.Entries().size(), 4u);
}

TEST(ReplyWindowTest, RepliesWithinSixSecondsBelongToTheSend) {
    EXPECT_TRUE(WithinReplyWindow(1000, 1000));
    EXPECT_TRUE(WithinReplyWindow(1000, 1000 + 5900));
    EXPECT_TRUE(WithinReplyWindow(1000, 1000 + 5999));
    EXPECT_FALSE(WithinReplyWindow(1000, 1000 + 6000));
    EXPECT_FALSE(WithinReplyWindow(1000, 1000 + 6100));
}

TEST(ReplyWindowTest, HoldsAcrossTheTickWrap) {
    const std::uint32_t send = 0xFFFFFFFFu - 1000;
    EXPECT_TRUE(WithinReplyWindow(send, send + 5999));  // wraps to a small tick
    EXPECT_LT(send + 5999, send);
    EXPECT_FALSE(WithinReplyWindow(send, send + 6000));
    // A tick before the send is a reply that cannot belong to it.
    EXPECT_FALSE(WithinReplyWindow(send, send - 1));
}

TEST(AcknowledgesCommandTest, ReplyWhoseFirstFieldIsTheCommandName) {
    EXPECT_TRUE(AcknowledgesCommand("$>JSHOW,CONF,N,0.0,10.0,5,A,0,60,W\r\n", "$JSHOW,CONF"));
    EXPECT_TRUE(AcknowledgesCommand("$>JI,311234,1,7,02052026,01/15/2026,01/01/2099,5.0,3.4", "$ji"));
    EXPECT_TRUE(AcknowledgesCommand("$>JT\r\n", "$JT"));
    EXPECT_TRUE(AcknowledgesCommand("$>JT,SIM2,ZARNSIM", " $JT\r"));
    EXPECT_FALSE(AcknowledgesCommand("$>JTX,1", "$JT"));
    EXPECT_FALSE(AcknowledgesCommand("$>JSHOW,CONF", "$JT"));
    EXPECT_FALSE(AcknowledgesCommand("$>JSHOW", ""));
}

TEST(AcknowledgesCommandTest, AcknowledgementLineNamingTheCommand) {
    EXPECT_TRUE(AcknowledgesCommand("$PCSI,ACK,JBIN,99,1\r\n", "$JBIN,99,1"));
    EXPECT_TRUE(AcknowledgesCommand("$pcsi,ack,jasc,gpgga,1*3A", "$JASC,GPGGA,1"));
    EXPECT_TRUE(AcknowledgesCommand("$PCSI,ACK,JSAVE", "$JSAVE"));
    EXPECT_FALSE(AcknowledgesCommand("$PCSI,ACK,JBIN,99,1", "$JASC,GPGGA,1"));
    EXPECT_FALSE(AcknowledgesCommand("$PCSI,ACK,JBINX,1", "$JBIN,99,1"));
    EXPECT_FALSE(AcknowledgesCommand("$PCSI,NAK,JBIN,99,1", "$JBIN,99,1"));
}

TEST(AcknowledgesCommandTest, ErrorReplyNeverAcknowledges) {
    EXPECT_FALSE(AcknowledgesCommand("$>ERR,INVALID COMMAND OR ARGUMENT,JBIN,77,1", "$JBIN,77,1"));
    EXPECT_FALSE(AcknowledgesCommand("$>ERR,UNKNOWN COMMAND,$ERR", "$ERR"));
    EXPECT_FALSE(AcknowledgesCommand("$>err", "$err"));
}

// The acknowledgement of a message switch reaches the beacon-reply handler
// through the NMEA handler; the page recognises it there.
TEST_F(CommandSendTest, AcknowledgementRoutedToBeaconReplies_AcknowledgesTheSend) {
    EXPECT_EQ(Send("$JBIN,99,5"), SendOutcome::Sent);
    dispatcher.Feed(AsBytes("$PCSI,ACK,JBIN,99,5\r\n"));
    const CMsgHandler& beacon = dispatcher.Handler(Slots::BeaconReplyHandler);
    ASSERT_EQ(beacon.HistoryWriteIndex(), 1);
    char line[1024];
    ASSERT_TRUE(beacon.GetHistory(0, line, sizeof line));
    EXPECT_TRUE(AcknowledgesCommand(line, "$JBIN,99,5"));
}

}  // namespace
}  // namespace zarnmon
