#pragma once

// Qt prints a few notices on an ordinary start that say nothing about the
// program: the offscreen and some desktop platforms cannot pass size hints
// on, and containers and SSH sessions often have no runtime directory. They
// are dropped unless the user asks for them (--verbose); every other message
// of the toolkit goes where it went before.

#include <string_view>

namespace zarnmon {

[[nodiscard]] bool IsRoutineToolkitNotice(std::string_view message);
void QuietenRoutineToolkitNotices();

}  // namespace zarnmon
