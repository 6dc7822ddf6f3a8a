#pragma once

// Where the simulated receiver is and where it thinks it is.
//
// The true path is either the configured point or a circle around it driven
// at constant speed. The reported position is the true one plus an error
// that wanders slowly (a Gauss-Markov process per axis): decimetres with
// differential corrections, metres without, as a real fix behaves; white
// noise would make the NEU plot look like static. Velocity errors are
// centimetres per second and short-lived. The heading follows the direction
// of travel on the circle; at rest it swings slowly to and fro around a
// fixed value, as a moored vessel does.

#include <array>

#include "sim/geodesy.h"
#include "sim/sim_config.h"
#include "sim/sim_random.h"

namespace zarnmon::sim {

class CReceiverMotion {
public:
    explicit CReceiverMotion(const SimConfig& config);

    // Moves to elapsed seconds after the start (never backwards).
    void AdvanceTo(double elapsed, bool differential);

    [[nodiscard]] const Geodetic& TruePosition() const { return truePosition_; }
    [[nodiscard]] const Enu& TrueVelocity() const { return trueVelocity_; }
    [[nodiscard]] Geodetic ReportedPosition() const;
    [[nodiscard]] Enu ReportedVelocity() const;
    // Reported minus true position, m.
    [[nodiscard]] Enu PositionError() const;
    // The level of the position error now (one sigma per axis).
    [[nodiscard]] Enu PositionSigma() const;
    // Heading of the vehicle, degrees [0, 360).
    [[nodiscard]] double Heading() const { return heading_; }

private:
    void MoveTruth(double elapsed);

    Geodetic centre_;
    Motion motion_;
    double radius_;
    double angularRate_;  // rad/s on the circle
    double startAngle_;   // rad, bearing from the centre at the start
    double restHeading_;  // degrees, heading while standing
    CRandom random_;
    std::array<CGaussMarkov, 3> positionError_;  // east, north, up
    std::array<CGaussMarkov, 3> velocityError_;
    CGaussMarkov headingError_;
    double elapsed_ = 0.0;
    Geodetic truePosition_;
    Enu trueVelocity_;
    double heading_ = 0.0;
};

}  // namespace zarnmon::sim
