// Parses arbitrary command lines: the input split at line feeds into
// arguments. Whatever is typed, parsing must not crash, a record with
// problems must say what they are, and the start-up logs it asks for must be
// nameable.

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zarnmon;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> args;
    for (std::size_t start = 0; start <= text.size();) {
        const auto end = std::min(text.find('\n', start), text.size());
        args.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }

    // The program parses what the toolkit leaves: that path must hold too.
    const std::vector<std::string> kept = WithoutToolkitOptions(args);
    if (kept.size() > args.size()) {
        std::abort();
    }
    const CommandLine cmd = ParseCommandLine(kept, DefaultCommandLine({}, {}));
    for (const std::string& problem : cmd.problems) {
        if (problem.empty()) {
            std::abort();
        }
    }
    if (cmd.snapshotSeconds < kMinSnapshotSeconds || cmd.snapshotSeconds > kMaxSnapshotSeconds ||
        cmd.log.interval < kMinInterval || cmd.log.interval > kMaxInterval) {
        std::abort();
    }
    if (cmd.problems.empty() && cmd.portGiven && cmd.device.empty() && (cmd.port < kMinPort || cmd.port > kMaxPort)) {
        std::abort();
    }
    std::tm time{};
    time.tm_mon = 11;
    time.tm_mday = 5;
    (void)StartupLogNames(cmd, time);
    (void)ResolveDevice(cmd.port, cmd.device);
    return 0;
}
