#pragma once

// Runs a headless command in process and keeps what it printed.

#include <ostream>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace zarnmon::cli::test {

struct CommandOutcome {
    int status;
    std::string out;
    std::string err;
    std::vector<std::string> lines;  // of out
};

using Command = int (*)(std::span<const std::string_view>, std::ostream&, std::ostream&);

inline CommandOutcome Invoke(Command command, std::span<const std::string_view> args) {
    std::ostringstream out;
    std::ostringstream err;
    CommandOutcome outcome{command(args, out, err), out.str(), err.str(), {}};
    std::istringstream lines(outcome.out);
    for (std::string line; std::getline(lines, line);) {
        outcome.lines.push_back(line);
    }
    return outcome;
}

inline CommandOutcome Invoke(Command command, const std::vector<std::string>& args) {
    const std::vector<std::string_view> views(args.begin(), args.end());
    return Invoke(command, views);
}

}  // namespace zarnmon::cli::test
