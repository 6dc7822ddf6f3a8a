// zarnmon-cli send over TCP, against the simulator (zarnmon-sim --tcp) and
// against peers that refuse or never answer.

#include <QHostAddress>
#include <QString>
#include <QTcpServer>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/command_outcome.h"
#include "cli/decode_command.h"
#include "cli/send_command.h"
#include "tests/gui/link/link_test_support.h"

namespace zarnmon::cli {
namespace {

using zarnmon::test::CSimProcess;
using zarnmon::test::FreePort;

// Long enough for the simulator's reply on a busy machine; every command waits it out.
constexpr std::string_view kWait = "1500";

test::CommandOutcome Send(const QString& address, std::vector<std::string> commands, std::string_view wait = kWait) {
    std::vector<std::string> args = {"--tcp", address.toStdString(), "--wait", std::string(wait)};
    args.insert(args.end(), commands.begin(), commands.end());
    return test::Invoke(RunSend, args);
}

class SendLinkTest : public ::testing::Test {
protected:
    CSimProcess sim_{{"--tcp", QString::number(FreePort())}};
};

TEST_F(SendLinkTest, IdentificationAndConfiguration_PrintTheirRepliesInOrder) {
    ASSERT_FALSE(sim_.Address().isEmpty());
    const auto run = Send(sim_.Address(), {"$JI", "$JSHOW"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_TRUE(run.err.empty()) << run.err;
    ASSERT_EQ(run.lines.size(), 4u) << run.out;
    EXPECT_TRUE(run.lines[0].starts_with("$>JI,")) << run.lines[0];
    EXPECT_EQ(run.lines[1], "$>JSHOW,CONF,N,0.0,10.0,5,A,0,60,W");
    EXPECT_EQ(run.lines[2], "$>JSHOW,GP");
    EXPECT_TRUE(run.lines[3].starts_with("$>JSHOW,POS,")) << run.lines[3];
}

// A message switch is answered only by an acknowledgement sentence: the NMEA
// handler hands it to the beacon-reply handler, and from there it is shown.
TEST_F(SendLinkTest, MessageSwitch_ShowsTheAcknowledgementRoutedToBeaconReplies) {
    ASSERT_FALSE(sim_.Address().isEmpty());
    const auto run = Send(sim_.Address(), {"$JASC,GPGGA,1"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    // The GGA sentences that follow are NMEA, not replies.
    EXPECT_EQ(run.lines, std::vector<std::string>{"$PCSI,ACK,JASC,GPGGA,1"});
}

TEST_F(SendLinkTest, J4StringInLowerCase_GoesOutBehindJoff) {
    ASSERT_FALSE(sim_.Address().isEmpty());
    const auto run = Send(sim_.Address(), {"$j4string,other"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.lines,
              (std::vector<std::string>{"$>JOFF", "$PCSI,ACK,JOFF", "$>J4STRING,OTHER", "$PCSI,ACK,J4STRING,OTHER"}));
}

TEST_F(SendLinkTest, TextAfterALineEnd_IsNotSent) {
    ASSERT_FALSE(sim_.Address().isEmpty());
    const auto run = Send(sim_.Address(), {"$JT\r$JI"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.lines, std::vector<std::string>{"$>JT,SIM2,ZARNSIM"});
}

TEST(SendLinkFailureTest, ConnectionRefused_ExitsWithTheReason) {
    const QString address = QStringLiteral("127.0.0.1:%1").arg(FreePort());
    const auto run = Send(address, {"$JI"});
    EXPECT_EQ(run.status, kExitUsage);
    EXPECT_TRUE(run.out.empty());
    EXPECT_EQ(run.err, "zarnmon-cli send: Couldn't Open " + address.toStdString() + ": Connection refused\n");
}

// A peer that takes the connection and never says anything.
TEST(SendLinkFailureTest, SilentPeer_EveryCommandUnansweredExitsOne) {
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    const QString address = QStringLiteral("127.0.0.1:%1").arg(silent.serverPort());
    const auto run = Send(address, {"$JI", "$JT"}, "150");
    EXPECT_EQ(run.status, kExitNoReply);
    EXPECT_TRUE(run.out.empty());
    EXPECT_EQ(run.err,
              "zarnmon-cli send: no reply to '$JI' within 150 ms\n"
              "zarnmon-cli send: no reply to '$JT' within 150 ms\n");
}

}  // namespace
}  // namespace zarnmon::cli
