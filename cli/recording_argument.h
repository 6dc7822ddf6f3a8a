#pragma once

// The one positional argument of the commands that read a recording: a file
// name, or "-" for standard input. Anything else that looks like an option is
// unknown to the command.

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace zarnmon::cli {

// Takes arg as the recording; false (with a message on err) for an unknown
// option or a second recording.
inline bool TakeRecordingArgument(std::string_view command, std::string_view arg, std::optional<std::string>& path,
                                  std::ostream& err) {
    if (arg.size() > 1 && arg.front() == '-') {
        err << "zarnmon-cli " << command << ": unknown option '" << arg << "' (see --help)\n";
        return false;
    }
    if (path) {
        err << "zarnmon-cli " << command << ": only one recording at a time ('" << *path << "' and '" << arg << "')\n";
        return false;
    }
    path = std::string(arg);
    return true;
}

// False (with a message on err) when no recording was named.
inline bool RequireRecording(std::string_view command, const std::optional<std::string>& path, std::ostream& err) {
    if (!path) {
        err << "zarnmon-cli " << command << ": name a recording, or - for standard input (see --help)\n";
    }
    return path.has_value();
}

}  // namespace zarnmon::cli
