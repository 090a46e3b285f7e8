#include "survey/stakeout/geometry.h"

#include <cmath>

namespace survey {

double DIST(double north1, double east1, double north2, double east2) {
    const double north = north2 - north1;
    const double east = east2 - east1;
    return std::sqrt(north * north + east * east);
}

double RANG(double angle) {
    // Whole turns are taken off one at a time, as surveyors reduce an angle;
    // beyond ten thousand turns that would take long, and beyond about 2^57
    // subtracting 400 no longer changes the value at all, so such angles
    // drop their whole turns at once (exactly, like the subtractions). An
    // infinite angle has no direction and gives NaN.
    constexpr double many_turns = 4e6;
    if (!(std::abs(angle) <= many_turns)) angle = std::fmod(angle, 400.0);
    while (angle > 400) angle -= 400;
    if (std::abs(angle) < 0.00001) angle = 0;
    while (angle <= 0) angle += 400;
    return angle;
}

std::int8_t SGN(double x) {
    // The comparisons give what x / |x| gives for every finite x, and a sign
    // for the infinities too; NaN counts as 0.
    if (x > 0) return 1;
    if (x < 0) return -1;
    return 0;
}

double ATANG(double east_difference, double north_difference) {
    const int sb = SGN(north_difference);
    const int sa = SGN(east_difference);
    // Due north or south, or no difference at all: whole grads.
    if (sa == 0) return RANG((1 - sb) * std::abs(sb) * 100);
    const double t = sb == 0 ? 0.0 : std::atan(east_difference / north_difference);
    // The base picks the quadrant: 0 north-east, 200 south-east and
    // south-west, 400 north-west; 100 due east, 300 due west.
    return RANG((2 - sb * sa - sa) * 100 + t * grads_per_radian);
}

}  // namespace survey
