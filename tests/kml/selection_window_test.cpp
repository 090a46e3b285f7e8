#include "kml/selection_window.h"

#include <gtest/gtest.h>

#include "common/run_error.h"
#include "tests/support/test_support.h"

using testing_support::TempFolder;

namespace {

kml::PointRecord at(double latitude, double longitude) {
    kml::PointRecord point;
    point.latitude = latitude;
    point.longitude = longitude;
    return point;
}

TEST(selection_window, all_four_bounds_are_strict) {
    const struct {
        const char* legend;
        const char* parameters;  // nullptr: no "Go_P.par"
        double latitude, longitude;
        bool inside;
    } cases[] = {
        {"defaults: Sofia", nullptr, 42.5, 23.3, true},
        {"defaults: Cape Town is south of the window", nullptr, -33.9, 18.4, false},
        {"defaults: latitude exactly -1", nullptr, -1, 10, false},
        {"defaults: just north of -1", nullptr, -0.999999, 10, true},
        {"defaults: latitude exactly 91", nullptr, 91, 10, false},
        {"defaults: longitude exactly 181", nullptr, 10, 181, false},
        {"defaults: longitude exactly -1", nullptr, 10, -1, false},
        {"defaults: just west of 181", nullptr, 10, 180.999999, true},
        {"41 44 22 29: inside", "41 44 22 29\r\n", 42.5, 23.3, true},
        {"41 44 22 29: on the south bound", "41 44 22 29\r\n", 41, 23.3, false},
        {"41 44 22 29: on the north bound", "41 44 22 29\r\n", 44, 23.3, false},
        {"41 44 22 29: on the west bound", "41 44 22 29\r\n", 42.5, 22, false},
        {"41 44 22 29: on the east bound", "41 44 22 29\r\n", 42.5, 29, false},
        {"41 44 22 29: just inside the corner", "41 44 22 29\r\n", 41.000001, 28.999999, true},
        {"bounds over lines and tabs, a remark after the fourth", "41\r\n44\t22\r\n29 Bulgaria\r\n", 42.5, 23.3,
         true},
        {"a window across the equator and the prime meridian", "-45 -40 -75 -70\r\n", -42.5, -71, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        TempFolder folder;
        if (c.parameters != nullptr) folder.write("Go_P.par", c.parameters);
        EXPECT_EQ(kml::read_selection_window(folder.path()).contains(at(c.latitude, c.longitude)), c.inside);
    }
}

TEST(selection_window, a_broken_parameter_file_is_reported) {
    const struct {
        const char* legend;
        const char* parameters;
        const char* report;
    } cases[] = {
        {"a decimal comma", "41 44 22,5 29\r\n", "invalid numeric format \"22,5\" (Go_P.par, line 1)"},
        {"three numbers only", "41 44 22\r\n", "invalid numeric format at the end of the file (Go_P.par, line 2)"},
        {"an empty file", "", "invalid numeric format at the end of the file (Go_P.par, line 1)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        TempFolder folder;
        folder.write("Go_P.par", c.parameters);
        try {
            kml::read_selection_window(folder.path());
            ADD_FAILURE() << "read without a report";
        } catch (const common::RunError& error) {
            EXPECT_EQ(error.code(), 106);
            EXPECT_EQ(error.what(), std::string(c.report));
        }
    }
}

}  // namespace
