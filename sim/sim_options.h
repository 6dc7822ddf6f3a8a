#pragma once

// zarnmon-sim's command line.

#include <cstdint>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "sim/faults.h"
#include "sim/sim_config.h"

namespace zarnmon::sim {

enum class Transport : std::uint8_t { None, Pty, Tcp, File };

struct SimOptions {
    SimConfig config;
    FaultRates faults;
    int geoCount = 2;
    Transport transport = Transport::None;
    std::uint16_t tcpPort = 0;
    std::string outPath;
    double seconds = 0.0;  // receiver seconds to write to a file
    std::string enable;    // the --enable list, checked against the schedule
    bool quiet = false;
    bool help = false;
};

extern const char* const kSimHelp;

// Parses the arguments after the program name; on error writes a message to
// err and returns nullopt.
[[nodiscard]] std::optional<SimOptions> ParseSimOptions(std::span<const std::string_view> args, std::ostream& err);

}  // namespace zarnmon::sim
