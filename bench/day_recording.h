#pragma once

// Seconds (a day, usually) of the simulated receiver's output with the given
// outputs on ("all", or a list as zarnmon-sim --enable takes it), written to
// a new temporary file; the benchmarks time what reads it, not this.

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "sim/sim_receiver.h"

namespace zarnmon::bench {

inline constexpr int kDaySeconds = 24 * 3600;

inline std::filesystem::path WriteRecording(std::string_view tag, std::string_view outputs, int seconds) {
    const auto file = std::filesystem::temp_directory_path() /
                      ("zarnmon-" + std::string(tag) + "-bench-" + std::to_string(std::random_device{}()) + ".bin");
    sim::CSimReceiver receiver{sim::SimConfig{}};
    std::string bad;
    receiver.Schedule().Enable(outputs, bad);
    std::ofstream out(file, std::ios::binary);
    std::vector<std::uint8_t> buffer;
    buffer.reserve(1 << 21);
    for (int ms = 0; ms < seconds * 1000; ms += static_cast<int>(sim::CSimReceiver::kTickMs)) {
        receiver.Advance(sim::CSimReceiver::kTickMs);
        receiver.TakeOutput(buffer);
        if (buffer.size() >= (1u << 20)) {
            out.write(reinterpret_cast<const char*>(buffer.data()), static_cast<std::streamsize>(buffer.size()));
            buffer.clear();
        }
    }
    receiver.TakeOutput(buffer, true);
    out.write(reinterpret_cast<const char*>(buffer.data()), static_cast<std::streamsize>(buffer.size()));
    return file;
}

inline std::filesystem::path WriteDayRecording(std::string_view tag, std::string_view outputs) {
    return WriteRecording(tag, outputs, kDaySeconds);
}

}  // namespace zarnmon::bench
