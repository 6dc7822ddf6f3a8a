#pragma once

// What the command line asks of the main frame at start-up: the log options
// of this run (whatever else is on the line), the link — the simulator, a
// replay or a port — with the logs it names, and the one-second timer.

#include "core/app/command_line.h"
#include "gui/app/main_frame.h"
#include "gui/state/app_context.h"

namespace zarnmon {

// link is the port's device and baud rate when the line names a port.
void StartFromCommandLine(CMainFrame& frame, const CommandLine& commandLine, const LinkSettings& link);

}  // namespace zarnmon
