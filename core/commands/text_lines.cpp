#include "core/commands/text_lines.h"

namespace zarnmon {

std::optional<std::string> BoxLine(std::string_view received) {
    if (received.empty()) {
        return std::nullopt;
    }
    const auto end = received.find_last_not_of("\r\n");
    received = end == std::string_view::npos ? std::string_view{} : received.substr(0, end + 1);
    std::string line(received.substr(0, kBoxLineMax));
    line += "\r\n";
    return line;
}

BoxAppend AppendToBox(std::string& box, std::string_view received) {
    const std::optional<std::string> line = BoxLine(received);
    if (!line) {
        return {};
    }
    const std::size_t trimmed = LeadingToTrim(box.size());
    box.erase(0, trimmed);
    box += *line;
    return {line->size(), trimmed};
}

}  // namespace zarnmon
