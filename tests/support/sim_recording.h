#pragma once

// What `zarnmon-sim --out FILE --seconds N --enable OUTPUTS` writes, made in
// process: the simulated receiver with the given configuration and faults.

#include <cstdint>
#include <fstream>
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

// The bytes the recording holds.
inline std::vector<std::uint8_t> RecordSim(const SimRecording& recording) {
    sim::CSimReceiver receiver(recording.config, recording.faults);
    std::string bad;
    EXPECT_TRUE(receiver.Schedule().Enable(recording.outputs, bad)) << bad;
    std::vector<std::uint8_t> bytes;
    for (int ms = 0; ms < recording.seconds * 1000; ms += static_cast<int>(sim::CSimReceiver::kTickMs)) {
        receiver.Advance(sim::CSimReceiver::kTickMs);
        receiver.TakeOutput(bytes);
    }
    receiver.TakeOutput(bytes, true);
    return bytes;
}

inline std::string WriteSimRecording(const TempDir& dir, const SimRecording& recording) {
    const std::vector<std::uint8_t> bytes = RecordSim(recording);
    const auto path = dir.File("sim.zbin");
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

}  // namespace zarnmon::test
