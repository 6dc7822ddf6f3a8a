#pragma once

// The simulated ionosphere: vertical L1 delay in metres at a point and time.
//
// It only has to look like the real thing on a map and to change slowly
// enough that a grid broadcast every minute or two stays close to it: a night
// floor, a daytime bump that follows local solar time (peak in the early
// afternoon), strongest near the equatorial crests and weakest towards the
// poles, and a gentle travelling ripple. Values stay within 0.5-12 m.
//
// Every term repeats once a day, so the time may be given as seconds of the
// GPS week or as seconds since the GPS epoch: the result is the same, and it
// is continuous across the week rollover. GPS time is taken as UTC; the
// leap seconds do not matter at this scale.

namespace zarnmon::sim {

[[nodiscard]] double VerticalDelayMetres(double latDeg, double lonDeg, double gpsSeconds) noexcept;

}  // namespace zarnmon::sim
