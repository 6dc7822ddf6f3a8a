#pragma once

// The links zarnmon-sim serves a simulated receiver on. Each returns the
// program's exit status.

#include <ostream>

#include "sim/sim_options.h"
#include "sim/sim_receiver.h"

namespace zarnmon::sim {

// Writes options.seconds of receiver time to options.outPath, as fast as it can.
int WriteToFile(CSimReceiver& receiver, const SimOptions& options, std::ostream& err);
// Serves on a new pseudo-terminal, whose path goes to out as one line.
int ServePty(CSimReceiver& receiver, const SimOptions& options, std::ostream& out, std::ostream& err);
// Serves one client at a time on 127.0.0.1:options.tcpPort.
int ServeTcp(CSimReceiver& receiver, const SimOptions& options, std::ostream& out, std::ostream& err);

}  // namespace zarnmon::sim
