#include "gui/app/command_line_start.h"

#include "gui/app/link_choice.h"

namespace zarnmon {

void StartFromCommandLine(CMainFrame& frame, const CommandLine& commandLine, const LinkSettings& link) {
    // -LI:, -LE, -LF and -LA shape this run's data log however it is started.
    frame.Logs().DataLog().SetOptions(commandLine.log);
    LinkChoice choice;
    if (commandLine.simulate) {
        choice.kind = LinkChoice::Kind::Simulator;
        frame.ConnectTo(choice);
        frame.StartTimer(0);
    } else if (!commandLine.replayFile.empty()) {
        choice.kind = LinkChoice::Kind::Replay;
        choice.replayFile = QString::fromStdString(commandLine.replayFile);
        choice.replaySpeed = commandLine.replaySpeed;
        // The first byte plays from the event loop: logs started now miss nothing.
        frame.ConnectTo(choice);
        frame.Logs().StartFromCommandLine(commandLine);
        frame.StartTimer(0);
    } else if (commandLine.portGiven) {
        choice.device = QString::fromStdString(link.device);
        choice.baud = link.baud;
        frame.ConnectTo(choice);
        frame.Logs().StartFromCommandLine(commandLine);
        frame.StartTimer(commandLine.port);
    } else {
        frame.StartTimer(0);
    }
}

}  // namespace zarnmon
