#pragma once

// How fast a recorded raw log is played back into the program.

#include <cstdint>

namespace zarnmon {

enum class ReplaySpeed : std::uint8_t {
    RealTime,  // ×1, at the receiver's own pace
    Times10,   // ×10
    Fastest,   // as fast as the program takes it
};

}  // namespace zarnmon
