#pragma once

// Raw logs for the replay tests, recorded from the simulated receiver in
// process exactly as zarnmon-sim --out writes them.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/sim_receiver.h"

namespace zarnmon::test {

// seconds of receiver output with the outputs of enable ("1,99") on.
inline QByteArray RecordSimulator(int seconds, const std::string& enable = "1,99", double startSeconds = 345600.0) {
    sim::SimConfig config;
    config.startSeconds = startSeconds;
    sim::CSimReceiver receiver(config);
    std::string bad;
    receiver.Schedule().Enable(enable, bad);
    std::vector<std::uint8_t> out;
    for (int ms = 0; ms < seconds * 1000; ms += static_cast<int>(sim::CSimReceiver::kTickMs)) {
        receiver.Advance(sim::CSimReceiver::kTickMs);
        receiver.TakeOutput(out);
    }
    receiver.TakeOutput(out, true);
    return {reinterpret_cast<const char*>(out.data()), static_cast<qsizetype>(out.size())};
}

inline bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline std::span<const std::uint8_t> AsSpan(const QByteArray& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())};
}

}  // namespace zarnmon::test
