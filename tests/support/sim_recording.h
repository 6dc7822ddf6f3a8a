#pragma once

// What `zarnmon-sim --out FILE --seconds N --enable OUTPUTS` writes, made in
// process: the simulated receiver with the given configuration and faults.

#include <cstdint>
#include <fstream>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "sim/sim_receiver.h"
#include "support/temp_dir.h"

namespace zarnmon::test {

struct SimRecording {
    int seconds = 60;
    std::string_view outputs = "all";
    sim::SimConfig config{};
    sim::FaultRates faults{};
};

// What the simulator says it did while it wrote a recording.
struct SimReport {
    sim::FaultCounts faults;
    // Messages sent intact, by the name of the handler that stores them.
    std::map<std::string, std::uint64_t, std::less<>> sent;
};

// The bytes the recording holds.
inline std::vector<std::uint8_t> RecordSim(const SimRecording& recording, SimReport* report = nullptr) {
    sim::CSimReceiver receiver(recording.config, recording.faults);
    std::string bad;
    EXPECT_TRUE(receiver.Schedule().Enable(recording.outputs, bad)) << bad;
    std::vector<std::uint8_t> bytes;
    for (int ms = 0; ms < recording.seconds * 1000; ms += static_cast<int>(sim::CSimReceiver::kTickMs)) {
        receiver.Advance(sim::CSimReceiver::kTickMs);
        receiver.TakeOutput(bytes);
    }
    receiver.TakeOutput(bytes, true);
    if (report != nullptr) {
        *report = {receiver.Faults(), receiver.Sent()};
    }
    return bytes;
}

inline std::string WriteSimRecording(const TempDir& dir, const SimRecording& recording, SimReport* report = nullptr) {
    const std::vector<std::uint8_t> bytes = RecordSim(recording, report);
    const auto path = dir.File("sim.zbin");
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

}  // namespace zarnmon::test
