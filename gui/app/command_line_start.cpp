#include "gui/app/command_line_start.h"

#include "gui/app/link_choice.h"
#include "gui/link/port_discovery.h"

namespace zarnmon {

void StartFromCommandLine(CMainFrame& frame, const CommandLine& commandLine, const LinkSettings& link) {
    // -LI:, -LE, -LF and -LA shape this run's data log however it is started.
    frame.Logs().DataLog().SetOptions(commandLine.log);
    LinkChoice choice;
    if (commandLine.simulate) {
        choice.kind = LinkChoice::Kind::Simulator;
        frame.ConnectTo(choice);
        frame.StartTimer();
    } else if (!commandLine.replayFile.empty()) {
        choice.kind = LinkChoice::Kind::Replay;
        choice.replayFile = QString::fromStdString(commandLine.replayFile);
        choice.replaySpeed = commandLine.replaySpeed;
        // The first byte plays from the event loop: logs started now miss nothing.
        frame.ConnectTo(choice);
        frame.Logs().StartFromCommandLine(commandLine);
        frame.StartTimer();
    } else if (commandLine.portGiven) {
        choice.device = QString::fromStdString(link.device);
        choice.baud = link.baud;
        const bool usb = choice.device.isEmpty() && link.port == kUsbPort;
        if (usb) {
            choice.device = FirstUsbPort(DiscoverPorts());
        }
        if (choice.device.isEmpty()) {
            frame.ReportOpenFailure(QStringLiteral("USB"), QStringLiteral("No USB serial receiver is attached."));
        } else {
            frame.ConnectTo(choice);
            frame.Logs().StartFromCommandLine(commandLine);
        }
        // A numbered port keeps its number in the title; a device shows itself.
        frame.StartTimer(commandLine.device.empty() && !usb ? QString::number(link.port) : choice.device);
    } else {
        frame.StartTimer();
    }
}

}  // namespace zarnmon
