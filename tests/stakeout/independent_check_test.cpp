// The listing checked against directions and distances computed here with a
// formula of the test's own (atan2, grads clockwise from north), over
// registers of random points and of points placed where the geometry turns:
// on the axes, in the four quadrants, on the station, on the circle.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "common/program.h"
#include "common/scripted_console.h"
#include "common/text_reader.h"
#include "survey/stakeout/stakeout.h"
#include "tests/support/test_support.h"

using testing_support::TempFolder;

namespace {

// Coordinates are whole millimetres, written with three decimals: the test
// then knows the very doubles the program reads.
struct Point {
    std::int64_t number = 0;
    std::int64_t north_mm = 0;
    std::int64_t east_mm = 0;
    double north() const { return static_cast<double>(north_mm) / 1000; }
    double east() const { return static_cast<double>(east_mm) / 1000; }
};

struct Station {
    std::int64_t number = 0;
    double radius = 0;
    std::string radius_text;
};

struct Row {
    std::int64_t number = 0;
    double direction = 0;
    double distance = 0;
};

std::string millimetres(std::int64_t mm) {
    const char* sign = mm < 0 ? "-" : "";
    const std::int64_t magnitude = mm < 0 ? -mm : mm;
    return sign + std::to_string(magnitude / 1000) + "." + std::to_string(1000 + magnitude % 1000).substr(1);
}

std::string register_text(const std::vector<Point>& points) {
    std::string text;
    for (const Point& p : points) {
        text += std::to_string(p.number) + " " + millimetres(p.north_mm) + " " + millimetres(p.east_mm);
        // Some points carry an elevation, which the listing ignores.
        if (p.number % 3 == 0) text += " 512.25";
        text += "\r\n";
    }
    return text;
}

double own_direction(double east, double north) {
    double grads = std::atan2(east, north) * 200 / std::numbers::pi;
    if (grads <= 0) grads += 400;
    return grads;
}

// What the listing of a station must hold, computed here.
std::vector<Row> expected_rows(const std::vector<Point>& points, const Station& station) {
    const Point* found = nullptr;
    for (const Point& p : points) {
        if (p.number == station.number) found = &p;
    }
    std::vector<Row> rows;
    if (found == nullptr) return rows;
    for (const Point& p : points) {
        if (p.number == station.number) continue;
        const double north = p.north() - found->north();
        const double east = p.east() - found->east();
        const double distance = std::hypot(north, east);
        if (distance <= station.radius) rows.push_back({p.number, own_direction(east, north), distance});
    }
    return rows;
}

// The width of a listing row: the number column is 7 wide, or as wide as
// the longest point number of the register.
std::size_t row_width(const std::vector<Point>& points) {
    std::size_t width = 7;
    for (const Point& p : points) width = std::max(width, std::to_string(p.number).size());
    return width + 1 + 12 + 1 + 13;
}

// The rows of every station of a listing, in order: the lines after the
// second tilde rule of a heading, up to the next empty line.
std::vector<std::vector<Row>> listed_rows(const std::string& listing, std::size_t width) {
    std::vector<std::vector<Row>> stations;
    bool between_rules = false;
    bool in_rows = false;
    std::size_t start = 0;
    while (start < listing.size()) {
        const std::size_t end = std::min(listing.find("\r\n", start), listing.size());
        const std::string_view line(listing.data() + start, end - start);
        start = end + 2;
        if (line.rfind("   ~~~", 0) == 0) {
            between_rules = !between_rules;
            in_rows = !between_rules;
            if (in_rows) stations.emplace_back();
        } else if (line.empty()) {
            in_rows = false;
        } else if (in_rows) {
            EXPECT_EQ(line.size(), width) << line;
            const std::size_t number_end = width - 27;
            stations.back().push_back({common::to_integer(line.substr(0, number_end)),
                                       common::to_real(line.substr(number_end + 1, 12)),
                                       common::to_real(line.substr(number_end + 14, 13))});
        }
    }
    return stations;
}

double circular_difference(double a, double b) {
    const double d = std::abs(a - b);
    return std::min(d, 400 - d);
}

// Runs the stations in one run and compares each one's rows with the own
// computation.
void check_stations(const std::vector<Point>& points, const std::vector<Station>& stations) {
    TempFolder folder;
    folder.write("reg.txt", register_text(points));
    std::string keys = "reg.txt\nlist.txt\n";
    for (std::size_t i = 0; i < stations.size(); ++i) {
        keys += std::to_string(stations[i].number) + "\n" + stations[i].radius_text + "\n";
        keys += i + 1 < stations.size() ? (i % 2 == 0 ? "D" : "d") : "N";
    }
    common::ScriptedConsole console(keys);
    std::string report;
    ASSERT_EQ(common::run_on_console(console, {"stakeout", survey::run_stakeout}, folder.path(), &report), 0)
        << report;

    const auto listed = listed_rows(folder.read("list.txt"), row_width(points));
    ASSERT_EQ(listed.size(), stations.size());
    for (std::size_t s = 0; s < stations.size(); ++s) {
        SCOPED_TRACE(testing::Message() << "station " << stations[s].number << " radius " << stations[s].radius_text);
        const std::vector<Row> expected = expected_rows(points, stations[s]);
        ASSERT_EQ(listed[s].size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "row " << i + 1 << ", point " << expected[i].number);
            EXPECT_EQ(listed[s][i].number, expected[i].number);
            EXPECT_LE(circular_difference(listed[s][i].direction, expected[i].direction), 1e-4);
            // Directions are compared round the turn; north is written 400, never 0.
            EXPECT_GT(listed[s][i].direction, 0);
            EXPECT_LE(listed[s][i].direction, 400);
            EXPECT_NEAR(listed[s][i].distance, expected[i].distance, 1e-3);
        }
    }
}

Station station(std::int64_t number, std::string radius_text) {
    return {number, common::to_real(radius_text), std::move(radius_text)};
}

TEST(independent_check, points_where_the_geometry_turns) {
    // The station stands at whole metres, so the differences below are exact
    // and the points on the circle lie on it exactly.
    const std::int64_t n = 4'712'345'000;
    const std::int64_t e = 512'678'000;
    const std::vector<Point> points = {
        {101, n + 100'000, e},              // due north
        {102, n, e + 100'000},              // due east
        {103, n - 100'000, e},              // due south
        {104, n, e - 100'000},              // due west
        {105, n + 40'000, e + 30'000},      // north-east
        {106, n - 40'000, e + 30'000},      // south-east
        {107, n - 40'000, e - 30'000},      // south-west
        {108, n + 40'000, e - 30'000},      // north-west
        {115, n + 20'000, e - 7'000},       // station 115, until a later record moves it
        {7, n, e},                          // the station
        {109, n, e},                        // on the station, another number
        {110, n + 90'000, e + 120'000},     // on the circle of 150
        {111, n - 120'000, e - 90'000},     // on the circle of 150
        {112, n + 150'000, e},              // on the circle, due north
        {113, n, e - 150'001},              // just outside
        {114, n + 1, e - 1},                // a millimetre off, north-west
        {3 * 65536 + 200, n - 3'000, e + 4'000},  // a number above 65535
        {INT32_MAX, n + 2, e + 5'000},      // the longest numbers widen the number column
        {INT32_MIN, n - 5'000, e - 2},
        {115, n + 1, e + 1},                // the last record of station 115 wins
        {116, n + 3'000'000, e + 1},        // 0.00002 grads east of north: 400.0000, never 0.0000
    };
    check_stations(points, {station(7, "150"), station(65536 + 7, "150.0005"), station(115, "1000"),
                            station(999, "150"), station(7, "0"), station(7, "-1"), station(200, "5"),
                            station(3 * 65536 + 200, "5"), station(INT32_MIN, "10"), station(7, "3001")});
}

TEST(independent_check, random_registers) {
    for (const std::uint64_t seed : {1u, 2u, 3u, 4u, 5u}) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        std::mt19937_64 random(seed);
        auto uniform = [&random](std::int64_t low, std::int64_t high) {
            return low + static_cast<std::int64_t>(random() % static_cast<std::uint64_t>(high - low + 1));
        };
        const std::int64_t centre_north = uniform(4'600'000'000, 4'800'000'000);
        const std::int64_t centre_east = uniform(300'000'000, 700'000'000);
        std::vector<Point> points(2000);
        for (Point& p : points) {
            p.number = uniform(0, 140'000);
            p.north_mm = centre_north + uniform(-600'000, 600'000);
            p.east_mm = centre_east + uniform(-600'000, 600'000);
        }
        std::vector<Station> stations;
        for (int i = 0; i < 4; ++i) {
            const std::int64_t number = points[static_cast<std::size_t>(uniform(0, 1999))].number;
            stations.push_back(station(number, std::to_string(uniform(50, 700)) + "." + std::to_string(uniform(0, 9))));
        }
        // Keep random points off the circles by more than the rounding of
        // the two formulas, so that both sides agree on the set.
        for (const Station& s : stations) {
            const Point* centre = nullptr;
            for (const Point& p : points) {
                if (p.number == s.number) centre = &p;
            }
            for (Point& p : points) {
                const double d = std::hypot(p.north() - centre->north(), p.east() - centre->east());
                if (std::abs(d - s.radius) < 1e-6) p.north_mm += 10;
            }
        }
        check_stations(points, stations);
    }
}

}  // namespace
