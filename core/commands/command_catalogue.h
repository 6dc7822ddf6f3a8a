#pragma once

// The receiver's own command list with a help text for each command, as the
// command page offers it, and the look-ups the page's command box uses to
// narrow the list and complete a command name as the user types.
//
// The texts are the receiver documentation's, byte for byte (8-bit text,
// odd spellings and spacing kept): users compare them with the manual.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zarnmon {

struct CommandEntry {
    std::string_view syntax;  // e.g. "$JBIN,msg,r[,OTHER]"
    std::string_view help;    // its help lines joined by "\r\n", no separator after the last
};

// The receiver's 32 commands in list order, texts exactly as the receiver's documentation gives them.
[[nodiscard]] std::span<const CommandEntry> CommandCatalogue();

// The help text split at "\r\n" (no lines for an empty help text).
[[nodiscard]] std::vector<std::string_view> HelpLines(const CommandEntry& entry);

// The command name of a syntax or of a typed command: up to the first ',' or '[' (e.g. "$JASC", "$JAPP").
[[nodiscard]] std::string_view CommandName(std::string_view syntaxOrTyped);

// Indexes of the entries the command box's text selects, for filtering the list as the user types:
// all entries for an empty text; otherwise those whose name starts with the typed name (case-insensitive),
// and, once the typed text holds a comma, only those whose name equals the typed name.
[[nodiscard]] std::vector<std::size_t> MatchingEntries(std::string_view typed);

// Tab completion: when the typed text holds no comma, the longest common prefix (in the catalogue's
// spelling) of the names of the matching entries, if it is longer than the typed text; otherwise nullopt.
[[nodiscard]] std::optional<std::string> CompleteCommandName(std::string_view typed);

}  // namespace zarnmon
