// ST_DEV: the scatter of the last 16 logged fixes, under "real deviation"
// on the dashboard and at the end of the fix log lines.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "tests/nmea/decoder_fixture.h"

namespace {

using nmea_testing::DecoderRun;

// A fix at second `second` after 10:00:00, always at the same position.
std::string gga(int second, double altitude) {
    char line[120];
    std::snprintf(line, sizeof line, "$GPGGA,10%02d%02d.00,4229.1234,N,02319.5678,E,1,08,0.9,%.2f,M,39.8,M,,*00",
                  second / 60, second % 60, altitude);
    return line;
}

constexpr std::string_view gsa = "$GPGSA,A,3,,,,,,,,,,,,,1.5,0.9,1.2*00";
constexpr std::string_view blank = "       ";

// The three cells under "real deviation", one text.
std::string deviation_cells(const DecoderRun& run) {
    return run.cells(64, 9, 7) + run.cells(64, 10, 7) + run.cells(64, 11, 7);
}

// Replays fixes 1 .. `count` with the altitude the function gives, and
// reports the deviation cells after each.
std::vector<std::string> cells_after_each_fix(DecoderRun& run, int count, const std::function<double(int)>& altitude) {
    std::vector<std::string> shown;
    for (int fix = 1; fix <= count; ++fix) {
        run.replay({gga(fix, altitude(fix)), gsa});
        shown.push_back(deviation_cells(run));
    }
    return shown;
}

TEST(scatter, identical_fixes_are_shown_from_the_21st_on_and_logged_from_the_17th) {
    DecoderRun run;
    const auto shown = cells_after_each_fix(run, 22, [](int) { return 100.0; });
    for (int fix = 1; fix <= 22; ++fix) {
        SCOPED_TRACE("fix " + std::to_string(fix));
        EXPECT_EQ(shown[fix - 1], fix > 20 ? "  0.000  0.000  0.000" : std::string(21, ' '));
    }
    // Record lines 1 .. 16 end after the dilutions; 17 on carry the deviations.
    const std::string log = run.output("GPS_CORE.txt");
    std::size_t line_start = 0;
    for (int line = 1; line <= 3 + 22; ++line) {
        const std::size_t end = log.find("\r\n", line_start);
        ASSERT_NE(end, std::string::npos);
        if (line > 3) {
            SCOPED_TRACE("record " + std::to_string(line - 3));
            EXPECT_EQ(end - line_start, line - 3 > 16 ? 98u : 74u);
        }
        line_start = end + 2;
    }
}

TEST(scatter, one_outlying_altitude_gives_d_sqrt15_over_16) {
    const struct {
        const char* legend;
        double offset;
        const char* shown;
    } cases[] = {
        {"20.6 m: 4.986 m, shown", 20.6, "  4.986"},
        {"20.7 m: 5.011 m, blank", 20.7, nullptr},
        {"1 m: 0.242 m", 1.0, "  0.242"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        DecoderRun run;
        // Fix 6 is the outlier; at fix 21 the window holds fixes 6 .. 21.
        cells_after_each_fix(run, 21, [&](int fix) { return fix == 6 ? 100 + c.offset : 100.0; });
        EXPECT_NEAR(run.state().std_dev_alt, c.offset * std::sqrt(15.0) / 16, 1e-9);
        if (c.shown != nullptr) {
            EXPECT_EQ(deviation_cells(run), "  0.000  0.000" + std::string(c.shown));
        } else {
            EXPECT_EQ(deviation_cells(run), std::string(21, ' '));
        }
    }
}

TEST(scatter, an_outlier_blanks_all_three_while_it_is_in_the_window) {
    DecoderRun run;
    const auto shown = cells_after_each_fix(run, 42, [](int fix) { return fix == 25 ? 121.0 : 100.0; });
    for (int fix = 21; fix <= 42; ++fix) {
        SCOPED_TRACE("fix " + std::to_string(fix));
        const bool outlier_in_window = fix >= 25 && fix <= 40;
        EXPECT_EQ(shown[fix - 1], outlier_in_window ? std::string(21, ' ') : "  0.000  0.000  0.000");
    }
}

TEST(scatter, the_limit_of_5_m_is_strict) {
    const struct {
        const char* legend;
        double half_spread;
        bool shown;
    } cases[] = {
        {"exactly 5.0 m blanks the dashboard and the log", 5.0, false},
        {"4.5 m is shown and logged", 4.5, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        DecoderRun run;
        // Altitudes alternate around 100 m: the deviation is the half spread, exactly.
        cells_after_each_fix(run, 24, [&](int fix) { return fix % 2 == 0 ? 100 + c.half_spread : 100 - c.half_spread; });
        EXPECT_EQ(run.state().std_dev_alt, c.half_spread);
        EXPECT_EQ(deviation_cells(run), c.shown ? "  0.000  0.000  4.500" : std::string(21, ' '));
        const std::string log = run.output("GPS_CORE.txt");
        const std::string last_record = log.substr(log.rfind("\r\n", log.size() - 3) + 2);
        EXPECT_EQ(last_record.substr(64), c.shown ? "  0.9  1.2   0.000   0.000   4.500\r\n" : "  0.9  1.2\r\n");
    }
}

}  // namespace
