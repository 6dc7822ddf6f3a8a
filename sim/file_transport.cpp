#include <fstream>

#include "sim/transports.h"

namespace zarnmon::sim {

int WriteToFile(CSimReceiver& receiver, const SimOptions& options, std::ostream& err) {
    std::ofstream file(options.outPath, std::ios::binary | std::ios::trunc);
    if (!file) {
        err << "zarnmon-sim: cannot create '" << options.outPath << "'\n";
        return 1;
    }
    const auto total = static_cast<std::uint64_t>(options.seconds * 1000.0);
    std::vector<std::uint8_t> buffer;
    buffer.reserve(1 << 20);
    for (std::uint64_t ms = 0; ms < total; ms += CSimReceiver::kTickMs) {
        receiver.Advance(CSimReceiver::kTickMs);
        receiver.TakeOutput(buffer);
        if (buffer.size() >= (1u << 20)) {
            file.write(reinterpret_cast<const char*>(buffer.data()), static_cast<std::streamsize>(buffer.size()));
            buffer.clear();
        }
    }
    receiver.TakeOutput(buffer, true);
    file.write(reinterpret_cast<const char*>(buffer.data()), static_cast<std::streamsize>(buffer.size()));
    file.close();
    if (!file) {
        err << "zarnmon-sim: writing '" << options.outPath << "' failed\n";
        return 1;
    }
    return 0;
}

}  // namespace zarnmon::sim
