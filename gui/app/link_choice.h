#pragma once

// Which receiver to talk to: a serial port (a USB receiver is a USB serial
// device), a receiver behind a serial-to-network server, a recorded raw log
// played back, or the built-in simulator. The "Open Receiver" dialog and the
// command line produce one; the main frame turns it into a link.

#include <QString>
#include <memory>

#include "core/app/settings_keys.h"
#include "core/link/replay_speed.h"
#include "gui/link/link.h"

namespace zarnmon {

struct LinkChoice {
    enum class Kind { Serial, Tcp, Replay, Simulator };

    Kind kind = Kind::Serial;
    QString device;  // serial device path
    quint32 baud = kDefaultBaud;
    QString host = QStringLiteral("127.0.0.1");
    quint16 tcpPort = 4001;
    QString replayFile;
    ReplaySpeed replaySpeed = ReplaySpeed::RealTime;
};

[[nodiscard]] std::unique_ptr<CLink> MakeLink(const LinkChoice& choice);

}  // namespace zarnmon
