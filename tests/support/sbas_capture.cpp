#include "support/sbas_capture.h"

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

namespace zarnmon::test {

std::vector<SbasCaptureLine> ReadSbasCapture(const std::string& name) {
    std::ifstream file(std::string(ZARNMON_TEST_DATA) + "/sbas/" + name);
    std::vector<SbasCaptureLine> lines;
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        int week = 0;
        int stream = 0;
        int bits = 0;
        std::string hex;
        SbasCaptureLine captured;
        fields >> week >> captured.seconds >> captured.prn >> stream >> bits >> hex;
        if (hex.size() != 64) {
            ADD_FAILURE() << "bad capture line: " << line;
            continue;
        }
        for (std::size_t i = 0; i < captured.words.size(); ++i) {
            captured.words[i] = static_cast<std::uint32_t>(std::stoul(hex.substr(8 * i, 8), nullptr, 16));
        }
        lines.push_back(captured);
    }
    return lines;
}

}  // namespace zarnmon::test
