#include "sim/receiver_motion.h"

#include <cmath>
#include <numbers>

namespace zarnmon::sim {

namespace {

// One-sigma position error per axis (east, north, up), m.
constexpr std::array<double, 3> kDifferentialSigma{0.15, 0.15, 0.30};
constexpr std::array<double, 3> kAutonomousSigma{1.5, 1.5, 3.0};
constexpr double kPositionTau = 120.0;  // s
constexpr std::array<double, 3> kVelocitySigma{0.015, 0.015, 0.03};
constexpr double kVelocityTau = 1.0;
constexpr double kRestHeadingSigma = 2.0;  // degrees
constexpr double kRestHeadingTau = 600.0;
// Standing, the vessel swings at its mooring with wind and tide.
constexpr double kRestSwing = 20.0;         // degrees either way
constexpr double kRestSwingPeriod = 150.0;  // s
// A vehicle's heading differs a little from its track (crab, mounting).
constexpr double kDrivingHeadingSigma = 0.3;
constexpr double kDrivingHeadingTau = 20.0;

}  // namespace

CReceiverMotion::CReceiverMotion(const SimConfig& config)
    : centre_{config.latitude, config.longitude, config.height},
      motion_(config.motion),
      radius_(config.circleRadius > 0.0 ? config.circleRadius : 0.0),
      angularRate_(radius_ > 1e-3 ? config.circleSpeed / radius_ : 0.0),
      random_(config.seed, Stream::Motion) {
    startAngle_ = random_.Uniform(0.0, 2.0 * std::numbers::pi);
    restHeading_ = random_.Uniform(0.0, 360.0);
    for (std::size_t axis = 0; axis < 3; ++axis) {
        positionError_[axis] = CGaussMarkov(kDifferentialSigma[axis], kPositionTau, random_);
        velocityError_[axis] = CGaussMarkov(kVelocitySigma[axis], kVelocityTau, random_);
    }
    headingError_ = motion_ == Motion::Circle ? CGaussMarkov(kDrivingHeadingSigma, kDrivingHeadingTau, random_)
                                              : CGaussMarkov(kRestHeadingSigma, kRestHeadingTau, random_);
    MoveTruth(0.0);
}

void CReceiverMotion::AdvanceTo(double elapsed, bool differential) {
    const double dt = elapsed - elapsed_;
    if (dt < 0.0) {
        return;
    }
    elapsed_ = elapsed;
    const auto& sigma = differential ? kDifferentialSigma : kAutonomousSigma;
    for (std::size_t axis = 0; axis < 3; ++axis) {
        positionError_[axis].SetSigma(sigma[axis]);
        positionError_[axis].Step(dt, random_);
        velocityError_[axis].Step(dt, random_);
    }
    headingError_.Step(dt, random_);
    MoveTruth(elapsed);
}

void CReceiverMotion::MoveTruth(double elapsed) {
    if (motion_ != Motion::Circle) {
        truePosition_ = centre_;
        trueVelocity_ = {};
        const double swing = kRestSwing * std::sin(2.0 * std::numbers::pi * elapsed / kRestSwingPeriod);
        heading_ = WrapDegrees(restHeading_ + swing + headingError_.Value());
        return;
    }
    // Bearing from the centre grows clockwise (north towards east), so the
    // course runs 90 degrees ahead of it.
    const double bearing = startAngle_ + angularRate_ * elapsed;
    truePosition_ = Offset(centre_, {radius_ * std::sin(bearing), radius_ * std::cos(bearing), 0.0});
    const double speed = radius_ * angularRate_;
    trueVelocity_ = {speed * std::cos(bearing), -speed * std::sin(bearing), 0.0};
    const double course = speed > 0.0 ? std::atan2(trueVelocity_.east, trueVelocity_.north) / kDeg : restHeading_;
    heading_ = WrapDegrees(course + headingError_.Value());
}

Enu CReceiverMotion::PositionError() const {
    return {positionError_[0].Value(), positionError_[1].Value(), positionError_[2].Value()};
}

Enu CReceiverMotion::PositionSigma() const {
    return {positionError_[0].Sigma(), positionError_[1].Sigma(), positionError_[2].Sigma()};
}

Geodetic CReceiverMotion::ReportedPosition() const { return Offset(truePosition_, PositionError()); }

Enu CReceiverMotion::ReportedVelocity() const {
    return {trueVelocity_.east + velocityError_[0].Value(), trueVelocity_.north + velocityError_[1].Value(),
            trueVelocity_.up + velocityError_[2].Value()};
}

}  // namespace zarnmon::sim
