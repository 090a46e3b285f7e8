// Plane geometry in grads: the distance between two grid points and the
// direction angle from one to the other.
//
// A turn is 400 grads. A direction is measured clockwise from grid north:
// north 400 (never 0), east 100, south 200, west 300. Coordinates are plane
// grid coordinates in metres, north and east.
#pragma once

#include <cstdint>

namespace survey {

// Grads per radian: 200/pi rounded to eight decimals. It is a constant of its
// own, not computed from pi (200/pi is 63.66197723675813...), so that every
// direction comes out as the surveyors' tables have it: ATANG(1, 1) is
// 50.0000000025, not 50.
constexpr double grads_per_radian = 63.66197724;

// The plane distance from (north1, east1) to (north2, east2), 0 or more.
double DIST(double north1, double east1, double north2, double east2);

// Brings an angle in grads into the half-open turn above 0 up to 400: an
// angle of 0, or one within 0.00001 of a whole turn, gives 400.
double RANG(double angle);

// -1, 0 or +1 by the sign of `x`.
std::int8_t SGN(double x);

// The direction angle in grads from the coordinate differences (target minus
// origin): the east difference first, then the north difference. Two
// coincident points give 400.
double ATANG(double east_difference, double north_difference);

}  // namespace survey
