// GGA on the dashboard: the quality table, the satellite count, the vertical
// speed, the counter and the duration, and damaged sentences.
#include <gtest/gtest.h>

#include "tests/nmea/decoder_fixture.h"

namespace {

using nmea_testing::DecoderRun;

std::string gga_with(std::string_view quality, std::string_view satellites) {
    return "$GPGGA,123519.00,4807.0380,N,01131.0000,E," + std::string(quality) + "," + std::string(satellites) +
           ",0.9,545.4,M,46.9,M,,*47";
}

TEST(gga, quality_indicators_0_1_and_2_have_texts_and_others_keep_the_last) {
    const struct {
        std::string_view indicator;
        std::string_view shown;
    } cases[] = {{"0", "  No"}, {"", "  No"}, {"1", " GPS"}, {"2", "DGPS"}, {"3", "DGPS"}, {"8", "DGPS"}, {"x", "  No"}};
    for (const auto& c : cases) {
        SCOPED_TRACE("indicator \"" + std::string(c.indicator) + "\"");
        DecoderRun run;
        run.replay({gga_with("2", "08"), gga_with(c.indicator, "08")});
        EXPECT_EQ(run.cells(69, 14, 4), c.shown);
    }
}

TEST(gga, satellites_used_wrap_modulo_256) {
    const struct {
        std::string_view field;
        std::string_view shown;
    } cases[] = {{"08", " 8"}, {"12", "12"}, {"300", "44"}, {"", " 0"}, {"-3", " 0"}, {"7.5", " 0"}};
    for (const auto& c : cases) {
        SCOPED_TRACE("satellites \"" + std::string(c.field) + "\"");
        DecoderRun run;
        run.replay({gga_with("1", c.field)});
        EXPECT_EQ(run.cells(59, 17, 2), c.shown);
    }
}

TEST(gga, the_first_fix_divides_its_altitude_by_its_time_of_day) {
    DecoderRun run;
    run.replay({gga_with("1", "08")});
    EXPECT_DOUBLE_EQ(run.state().vertical_speed, 545.4 / 45319);
    EXPECT_EQ(run.cells(26, 15, 6), "  0.0 ");
}

TEST(gga, the_duration_is_first_written_at_the_second_fix) {
    DecoderRun run;
    run.replay({"$GPGGA,123519.00,4807.0380,N,01131.0000,E,1,08,0.9,545.4,M,46.9,M,,*47"});
    EXPECT_EQ(run.cells(26, 5, 11), std::string(11, ' '));
    EXPECT_EQ(run.cells(26, 6, 11), "          1");
    run.replay({"$GPGGA,123649.50,4807.0380,N,01131.0000,E,1,08,0.9,545.4,M,46.9,M,,*47"});
    EXPECT_EQ(run.cells(26, 5, 11), "         90");  // 90.5 s, a tie rounded to even
    EXPECT_EQ(run.cells(26, 6, 11), "          2");
}

TEST(gga, any_talker_is_accepted) {
    for (const std::string_view talker : {"GP", "GN", "GL", "GA", "GB", "BD", "IN"}) {
        SCOPED_TRACE(talker);
        DecoderRun run;
        run.replay({"$" + std::string(talker) + "GGA,123519.00,4807.0380,N,01131.0000,E,1,08,0.9,545.4,M,46.9,M,,*47"});
        EXPECT_EQ(run.state().fix_count, 1);
    }
}

TEST(gga, damaged_sentences_are_read_as_far_as_they_go) {
    // Each must be decoded without harm; a time of day makes it a logged fix.
    const struct {
        std::string_view line;
        int logged;
    } cases[] = {
        {"$GPGGA", 0},
        {"$GPGGA,", 0},
        {"$GPGGA,123519.00", 1},
        {"$GPGGA,123519.00,4807", 1},
        {"$GPGGA,,,,,,0,,,,M,,M,,*66", 0},
        {"$GPGGA,123519.00,4807.0380,N,01131.0000,E,1,08,0.9,1e300,M,-1e300,M,1e300,x*47", 1},
        {"$GPGGA,99999999,9999.9999,N,99999.9999,E,9,999,99.9,99999.9,M,9999.9,M,99,99999999999999999999", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        DecoderRun run;
        run.replay({c.line});
        EXPECT_EQ(run.state().fix_count, c.logged);
        // Values that widen never run past the end of their row.
        EXPECT_EQ(run.console.screen().row_text(2).substr(58, 14), " surveykit 1.0");
    }
}

}  // namespace
