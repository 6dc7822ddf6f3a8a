#pragma once

// What the simulated receiver is: where it stands or drives, when its clock
// starts, and the seed every random choice of a run derives from.

#include <cstdint>

namespace zarnmon::sim {

enum class Motion : std::uint8_t {
    Static,  // standing at the configured point, with fix-dependent noise
    Circle,  // driving a circle around it
};

struct SimConfig {
    std::uint32_t seed = 1;
    // Receiver time at start: GPS week and seconds of week. The default is
    // Sunday 1 November 2026, 00:00 GPS time plus four days.
    std::int32_t startWeek = 2443;
    double startSeconds = 345600.0;
    double latitude = 51.0447;  // degrees, north positive
    double longitude = -114.0719;
    double height = 1048.0;  // metres above the ellipsoid
    Motion motion = Motion::Static;
    double circleRadius = 40.0;  // metres
    double circleSpeed = 6.0;    // metres per second
    // Reported in the "$>JI," reply; versions 3.x and 4.x are the receivers
    // whose WAAS stream the monitor does not process.
    double armVersion = 5.2;
};

}  // namespace zarnmon::sim
