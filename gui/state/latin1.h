#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace zarnmon {

// The program's texts are 8-bit (the degree sign is 0xB0), never UTF-8.
[[nodiscard]] inline QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// What the user typed, as the 8-bit text that goes to the receiver.
[[nodiscard]] inline std::string Latin1Bytes(const QString& text) { return text.toLatin1().toStdString(); }

}  // namespace zarnmon
