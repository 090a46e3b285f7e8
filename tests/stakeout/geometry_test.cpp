#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <string>

#include "common/field_format.h"
#include "survey/stakeout/geometry.h"

using survey::ATANG;
using survey::DIST;
using survey::RANG;
using survey::SGN;

namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

std::string four_decimals(double angle) {
    return std::string(common::fixed(angle, 0, 4).view());
}

TEST(geometry, the_factor_is_its_own_constant_not_two_hundred_over_pi) {
    EXPECT_EQ(survey::grads_per_radian, 63.66197724);
    EXPECT_GT(survey::grads_per_radian, 200 / std::numbers::pi);
}

TEST(geometry, diagonal_directions_carry_the_factor_and_print_whole) {
    const struct {
        double east, north, exact;
        const char* printed;
    } cases[] = {
        {1, 1, 50.0000000025, "50.0000"},
        {1, -1, 149.9999999975, "150.0000"},
        {-1, -1, 250.0000000025, "250.0000"},
        {-1, 1, 349.9999999975, "350.0000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "ATANG(" << c.east << ", " << c.north << ")");
        EXPECT_NEAR(ATANG(c.east, c.north), c.exact, 1e-9);
        EXPECT_EQ(four_decimals(ATANG(c.east, c.north)), c.printed);
    }
}

TEST(geometry, directions_along_the_axes_are_whole_grads_and_north_is_400) {
    const struct {
        double east, north, direction;
        const char* legend;
    } cases[] = {
        {0, 5, 400, "due north: 400, never 0"},
        {0, -5, 200, "due south"},
        {3, 0, 100, "due east"},
        {-3, 0, 300, "due west"},
        {0, 0, 400, "coincident points"},
        {0, 1e-300, 400, "a north difference however small"},
        {-0.0, 0.0, 400, "negative zero is no difference"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        EXPECT_EQ(ATANG(c.east, c.north), c.direction);
    }
}

TEST(geometry, each_quadrant_has_its_range) {
    const struct {
        double east, north;
        const char* printed;
        const char* legend;
    } cases[] = {
        {30, 40, "40.9666", "north-east"},
        {-30, 40, "359.0334", "north-west"},
        {30, -40, "159.0334", "south-east"},
        {-30, -40, "240.9666", "south-west"},
        {40, 30, "59.0334", "north-east, nearer east"},
        {1e-9, 1000, "400.0000", "just east of north comes within 0.00001 of 0: 400"},
        {-1e-9, 1000, "400.0000", "just west of north comes within a hair of 400"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        const double direction = ATANG(c.east, c.north);
        EXPECT_GT(direction, 0);
        EXPECT_LE(direction, 400);
        EXPECT_EQ(four_decimals(direction), c.printed);
    }
}

TEST(geometry, RANG_brings_angles_into_the_turn_above_0_up_to_400) {
    const struct {
        double angle, result;
        const char* legend;
    } cases[] = {
        {0, 400, "0 is a whole turn"},
        {400, 400, "400 stays"},
        {800.5, 0.5, "two turns off"},
        {-50, 350, "negative"},
        {0.000001, 400, "within 0.00001 of 0"},
        {-0.000009, 400, "within 0.00001 below 0"},
        {400.000001, 400, "within 0.00001 after a turn is taken off"},
        {399.99999, 399.99999, "just below a turn stays"},
        {0.00001, 0.00001, "0.00001 itself is an angle"},
        {-1e6, 400, "whole turns below 0"},
        {4e6 + 1.5, 1.5, "ten thousand turns"},
        {123456789012345.5, 345.5, "beyond many turns the whole turns go at once"},
        {-123456789012345.5, 54.5, "and below 0 too"},
        {1e20, 400, "a huge whole number of turns"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        EXPECT_EQ(RANG(c.angle), c.result);
    }
}

TEST(geometry, RANG_gives_no_angle_for_an_angle_that_is_not_finite) {
    for (const double angle : {infinity, -infinity, nan}) {
        SCOPED_TRACE(angle);
        EXPECT_TRUE(std::isnan(RANG(angle)));
    }
}

TEST(geometry, SGN_is_the_sign) {
    const struct {
        double x;
        int sign;
    } cases[] = {{0, 0}, {-0.0, 0}, {2.5, 1}, {-1e-300, -1}, {1e300, 1}, {infinity, 1}, {-infinity, -1}, {nan, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x);
        EXPECT_EQ(SGN(c.x), c.sign);
    }
}

TEST(geometry, DIST_is_the_plane_distance) {
    EXPECT_EQ(DIST(0, 0, 3, 4), 5);
    EXPECT_EQ(DIST(3, 4, 0, 0), 5);
    EXPECT_EQ(DIST(1000, 2000, 1040, 2030), 50);
    EXPECT_EQ(DIST(4700123.5, 500456.25, 4700123.5, 500456.25), 0);
    EXPECT_EQ(DIST(1000, 2000, 1090, 2120), 150);
}

}  // namespace
