#include "gui/app/link_choice.h"

#include "gui/link/replay_link.h"
#include "gui/link/serial_link.h"
#include "gui/link/simulator_link.h"
#include "gui/link/tcp_link.h"

namespace zarnmon {

std::unique_ptr<CLink> MakeLink(const LinkChoice& choice) {
    switch (choice.kind) {
        case LinkChoice::Kind::Serial:
            return std::make_unique<CSerialPort>(choice.device, static_cast<qint32>(choice.baud));
        case LinkChoice::Kind::Tcp:
            return std::make_unique<CTcpLink>(choice.host, choice.tcpPort);
        case LinkChoice::Kind::Replay:
            return std::make_unique<CReplayLink>(choice.replayFile, choice.replaySpeed);
        case LinkChoice::Kind::Simulator:
            return std::make_unique<CSimulatorLink>();
    }
    return nullptr;
}

}  // namespace zarnmon
