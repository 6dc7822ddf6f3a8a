#pragma once

// How the text view's boxes take the receiver's lines. A line goes in
// without its own line end, cut to a length an edit can show, and ended
// with "\r\n"; a box that has grown past its limit loses its oldest text
// first, so a box stays below the limit plus one line however long the
// receiver talks. Characters are counted as the box holds them, the "\r\n"
// of every line being two.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zarnmon {

inline constexpr std::size_t kBoxLineMax = 4096;
inline constexpr std::size_t kBoxLimit = 20000;
inline constexpr std::size_t kBoxTrim = 5000;

// The text a received line adds to a box: nullopt for an empty line;
// otherwise the line without its trailing carriage returns and line feeds
// (a line of only those becomes empty but still counts), cut to kBoxLineMax,
// with "\r\n" appended.
[[nodiscard]] std::optional<std::string> BoxLine(std::string_view received);

// How many leading characters to delete from a box holding held characters
// before the next line goes in.
[[nodiscard]] constexpr std::size_t LeadingToTrim(std::size_t held) noexcept { return held > kBoxLimit ? kBoxTrim : 0; }

struct BoxAppend {
    std::size_t added = 0;    // characters appended at the end; 0 for an empty line, which changes nothing
    std::size_t trimmed = 0;  // leading characters deleted before the line went in
};

// Appends a received line to a box's text by both rules.
BoxAppend AppendToBox(std::string& box, std::string_view received);

}  // namespace zarnmon
