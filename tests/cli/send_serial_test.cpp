// zarnmon-cli send over a serial port: the simulator's pseudo-terminal,
// which behaves like a receiver on a COM port, and ports that cannot be
// opened.

#include <QString>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/command_outcome.h"
#include "cli/decode_command.h"
#include "cli/send_command.h"
#include "gui/link/serial_link.h"
#include "tests/gui/link/link_test_support.h"

namespace zarnmon::cli {
namespace {

using zarnmon::test::CSimProcess;

test::CommandOutcome Send(std::vector<std::string> args) { return test::Invoke(RunSend, args); }

TEST(SendSerialTest, SimulatorPty_RepliesToEachCommand) {
    CSimProcess sim({"--pty"});
    ASSERT_TRUE(sim.Address().startsWith(QStringLiteral("/dev/"))) << sim.Address().toStdString();
    const auto run = Send({"--port", sim.Address().toStdString(), "--baud", "9600", "--wait", "1500", "$JT", "$JAPP"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.lines, (std::vector<std::string>{"$>JT,SIM2,ZARNSIM", "$>JAPP,WAAS,LBAND"}));
}

TEST(SendSerialTest, MissingDevice_ExitsWithTheSystemsReason) {
    const auto run = Send({"--port", "/dev/zarnmon-no-such-port", "$JI"});
    EXPECT_EQ(run.status, kExitUsage);
    EXPECT_TRUE(run.out.empty());
    EXPECT_EQ(run.err, "zarnmon-cli send: Couldn't Open /dev/zarnmon-no-such-port: No such file or directory\n");
}

TEST(SendSerialTest, PortInUse_ExitsWithTheReason) {
    CSimProcess sim({"--pty"});
    ASSERT_FALSE(sim.Address().isEmpty());
    CSerialPort holder(sim.Address());
    ASSERT_TRUE(holder.open());
    const auto run = Send({"--port", sim.Address().toStdString(), "$JI"});
    EXPECT_EQ(run.status, kExitUsage);
    const std::string prefix = "zarnmon-cli send: Couldn't Open " + sim.Address().toStdString() + ": ";
    EXPECT_EQ(run.err, prefix + "Device or resource busy: another program has the port open\n");
}

}  // namespace
}  // namespace zarnmon::cli
