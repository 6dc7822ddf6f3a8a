#include "cli/recording_input.h"

#include <fstream>
#include <iostream>
#include <vector>

namespace zarnmon::cli {

bool FeedRecording(std::string_view command, const std::string& path, std::size_t chunkSize, CMsgDispatcher& dispatcher,
                   std::ostream& err) {
    std::ifstream file;
    std::istream* in = &std::cin;
    if (path != "-") {
        file.open(path, std::ios::binary);
        if (!file) {
            err << "zarnmon-cli " << command << ": cannot read '" << path << "'\n";
            return false;
        }
        in = &file;
    }
    std::vector<std::uint8_t> chunk(chunkSize);
    while (*in) {
        in->read(reinterpret_cast<char*>(chunk.data()), static_cast<std::streamsize>(chunk.size()));
        const auto got = static_cast<std::size_t>(in->gcount());
        if (got == 0) {
            break;
        }
        dispatcher.Feed(std::span(chunk).first(got));
    }
    if (in->bad()) {
        err << "zarnmon-cli " << command << ": reading '" << path << "' failed\n";
        return false;
    }
    return true;
}

}  // namespace zarnmon::cli
