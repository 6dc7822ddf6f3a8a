#pragma once

// Which receiver to talk to: a serial port (a USB receiver is a USB serial
// device), a receiver behind a serial-to-network server, a recorded raw log
// played back, or the built-in simulator. The "Open Receiver" dialog and the
// command line produce one; the main frame turns it into a link.

#include <QString>
#include <memory>

#include "gui/link/link.h"
#include "gui/link/replay_link.h"

namespace zarnmon {

struct LinkChoice {
    enum class Kind { Serial, Tcp, Replay, Simulator };

    Kind kind = Kind::Serial;
    QString device;  // serial device path
    quint32 baud = 19200;
    QString host = QStringLiteral("127.0.0.1");
    quint16 tcpPort = 4001;
    QString replayFile;
    ReplaySpeed replaySpeed = ReplaySpeed::RealTime;
};

[[nodiscard]] std::unique_ptr<CLink> MakeLink(const LinkChoice& choice);

}  // namespace zarnmon
