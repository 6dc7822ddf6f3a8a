#pragma once

// The recording the headless commands read: their one positional argument (a
// file name, or "-" for standard input; anything else that looks like an
// option is unknown to the command), and feeding it to a dispatcher. Every
// command reads its recording through here, so they all accept and refuse
// the same inputs with the same messages.

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "cli/decode_command.h"
#include "core/app/settings_store.h"
#include "core/link/msg_dispatcher.h"

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

// Where a command ends before reading: 0 after printing its help, the usage
// status after a bad command line (already reported on err).
template <typename Options>
std::optional<int> EndsBeforeReading(bool help, const std::optional<Options>& options, std::string_view helpText,
                                     std::ostream& out) {
    if (help) {
        out << helpText;
        return kExitOk;
    }
    if (!options) {
        return kExitUsage;
    }
    return std::nullopt;
}

// False (with a message on err) when path names no readable file; "-" always
// reads. Lets a command refuse its input before it creates any output.
bool RecordingReadable(std::string_view command, const std::string& path, std::ostream& err);

// Feeds the recording at path to dispatcher in chunks of chunkSize bytes, as a
// link would deliver them; with showProgress, the share read so far is shown
// on err (for a terminal). False (with a message on err) when it cannot be read.
bool FeedRecording(std::string_view command, const std::string& path, std::size_t chunkSize, CMsgDispatcher& dispatcher,
                   std::ostream& err, bool showProgress = false);

// A profile a command only reads (thresholds, locations); nullopt (with a
// message on err naming it as what) when path is no readable file: a missing
// file would load as an empty profile, and for a named file that is a typo.
std::optional<CSettingsStore> ReadProfile(std::string_view command, std::string_view what, const std::string& path,
                                          std::ostream& err);

}  // namespace zarnmon::cli
