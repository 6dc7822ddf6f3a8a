#pragma once

// The one path by which bytes go to the receiver. The main frame implements
// it over whatever link is open; tests record what was sent.

#include <string_view>

namespace zarnmon {

class ICommandSender {
public:
    virtual ~ICommandSender() = default;
    // False when nothing was sent (no link open, or the write failed); with
    // showErrors the implementation tells the user why.
    virtual bool Send(std::string_view bytes, bool showErrors) = 0;
};

}  // namespace zarnmon
