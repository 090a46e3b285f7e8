// The dashboard-only sentences: RMC rates, GSV blocks, the mode letters of
// VTG and GLL, ZDA and MSS cells.
#include <gtest/gtest.h>

#include "tests/nmea/decoder_fixture.h"

namespace {

using nmea_testing::DecoderRun;

std::string rmc(std::string_view time, std::string_view knots, std::string_view heading) {
    return "$GPRMC," + std::string(time) + ",A,4807.0380,N,01131.0000,E," + std::string(knots) + "," +
           std::string(heading) + ",230394,003.1,W*44";
}

// The acceleration and turning-rate cells.
std::string rate_cells(const DecoderRun& run) {
    return run.cells(37, 13, 6) + "|" + run.cells(37, 14, 6);
}

TEST(rmc, rates_compare_each_rmc_with_the_one_before) {
    const struct {
        const char* legend;
        std::string second;
        std::string rates;
    } cases[] = {
        {"one second, 10 to 12 knots, 80 to 90 degrees", rmc("100001.00", "012.0", "090.0"), "   1.0|  10.0"},
        {"half a second doubles the rates", rmc("100000.50", "012.0", "090.0"), "   2.1|  20.0"},
        {"a step back in time turns the sign", rmc("095959.00", "012.0", "090.0"), "  -1.0| -10.0"},
        {"across midnight the interval stays one second", rmc("000000.00", "012.0", "090.0"), "   1.0|  10.0"},
        {"350 to 10 degrees leaves the turning rate", rmc("100001.00", "012.0", "350.0"), "   1.0|   0.0"},
        {"a jump of 100 m/s or more leaves the acceleration", rmc("100001.00", "205.0", "090.0"), "   0.0|  10.0"},
        {"the same time stamp leaves both", rmc("100000.00", "012.0", "090.0"), "   0.0|   0.0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        DecoderRun run;
        // The first RMC takes its interval from 00:00:00 and zeros: rates near 0.
        const bool before_midnight = c.second.find(",000000.00,") != std::string::npos;
        run.replay({rmc(before_midnight ? "235959.00" : "100000.00", "010.0", "080.0"), c.second});
        EXPECT_EQ(rate_cells(run), c.rates);
    }
}

TEST(rmc, the_same_time_stamp_still_moves_the_previous_speed_and_heading_on) {
    DecoderRun run;
    run.replay({rmc("100000.00", "010.0", "080.0"), rmc("100001.00", "012.0", "090.0"),
                rmc("100001.00", "050.0", "095.0")});
    EXPECT_EQ(rate_cells(run), "   1.0|  10.0");
    run.replay({rmc("100002.00", "054.0", "096.0")});
    EXPECT_EQ(rate_cells(run), "   2.1|   1.0");  // from 50 knots and 95 degrees
}

TEST(rmc, fields_of_real_receivers) {
    const struct {
        const char* legend;
        std::string_view sentence;
        std::string_view time, latitude, longitude, date;
    } cases[] = {
        {"whole seconds and three decimals of minutes",
         "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*44", "12 35  19.0", "48  7.0380 N",
         "11 31.0000 E", "23  3    94"},
        {"NMEA 4.10 mode and navigation status",
         "$GNRMC,123519.00,A,4807.0380,S,01131.0000,W,022.4,084.4,230394,,,A,V*44", "12 35  19.0", "48  7.0380 S",
         "11 31.0000 W", "23  3    94"},
        {"an older receiver without magnetic variation", "$GPRMC,123519.00,A,4807.0380,N,01131.0000,E,022.4,084.4,230394*44",
         "12 35  19.0", "48  7.0380 N", "11 31.0000 E", "23  3    94"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        DecoderRun run;
        run.replay({c.sentence});
        EXPECT_EQ(run.cells(60, 4, 11), c.time);
        EXPECT_EQ(run.cells(27, 8, 12), c.latitude);
        EXPECT_EQ(run.cells(27, 9, 12), c.longitude);
        EXPECT_EQ(run.cells(26, 4, 11), c.date);
        EXPECT_EQ(run.cells(26, 13, 5), " 11.5");
        EXPECT_EQ(run.cells(26, 14, 5), " 84.4");
    }
}

// The satellite table: ids, elevations, azimuths and SNRs of rows 18-21,
// columns 26-73, with the count after "visible:".
struct Table {
    std::string visible, ids, elevations, azimuths, snrs;
};

Table table(const DecoderRun& run) {
    return {run.cells(27, 17, 2), run.cells(26, 18, 48), run.cells(26, 19, 48), run.cells(26, 20, 48),
            run.cells(26, 21, 48)};
}

TEST(gsv, messages_that_are_not_1_2_or_3_change_nothing) {
    for (const std::string_view message : {"0", "4", "", "x"}) {
        SCOPED_TRACE("message \"" + std::string(message) + "\"");
        DecoderRun run;
        run.replay({"$GPGSV,3,1,09,02,19,211,37,05,34,023,39,06,04,046,31,17,06,090,31*76"});
        const std::string before = run.console.screen().text();
        run.replay({"$GPGSV,3," + std::string(message) + ",14,13,13,130,13,14,14,140,14*00"});
        EXPECT_EQ(run.console.screen().text(), before);
    }
}

TEST(gsv, blocks_of_four_slots) {
    const struct {
        const char* legend;
        std::string_view sentence;
        Table shown;
    } cases[] = {
        {"a two-digit message number is read as its first digit",
         "$GPGSV,3,12,09,02,19,211,37,05,34,023,39,06,04,046,31,17,06,090,31*76",
         {" 9", "  2   5   6  17", " 19  34   4   6", "211  23  46  90", " 37  39  31  31"}},
        {"a count of 0 clears block 1 and reads no satellite", "$GPGSV,1,1,00*79", {" 0", "", "", "", ""}},
        {"a count above the satellites sent shows zeros", "$GPGSV,1,1,03,02,19,211,37*00",
         {" 3", "  2   0   0", " 19   0   0", "211   0   0", " 37   0   0"}},
        {"an empty SNR (not tracked) shows 0", "$GPGSV,1,1,02,13,06,292,,14,07,293,*00",
         {" 2", " 13  14", "  6   7", "292 293", "  0   0"}},
        {"an NMEA 4.10 signal id after a short message", "$GPGSV,1,1,02,13,06,292,40,14,07,293,41,1*00",
         {" 2", " 13  14", "  6   7", "292 293", " 40  41"}},
        {"a three-digit id widens its cell", "$GPGSV,1,1,02,208,06,292,40,14,07,293,41*00",
         {" 2", " 208 14", "  6   7", "292 293", " 40  41"}},
        {"message 2 fills columns 42-57", "$GPGSV,2,2,06,19,14,216,34,21,66,356,45*72",
         {" 6", std::string(16, ' ') + " 19  21", std::string(16, ' ') + " 14  66",
          std::string(16, ' ') + "216 356", std::string(16, ' ') + " 34  45"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        DecoderRun run;
        run.replay({c.sentence});
        const Table shown = table(run);
        const auto padded = [](std::string text) { return text.append(48 - text.size(), ' '); };
        EXPECT_EQ(shown.visible, c.shown.visible);
        EXPECT_EQ(shown.ids, padded(c.shown.ids));
        EXPECT_EQ(shown.elevations, padded(c.shown.elevations));
        EXPECT_EQ(shown.azimuths, padded(c.shown.azimuths));
        EXPECT_EQ(shown.snrs, padded(c.shown.snrs));
    }
}

TEST(gsv, a_block_keeps_its_satellites_until_its_own_message_comes) {
    DecoderRun run;
    run.replay({"$GPGSV,3,3,09,27,21,066,38*4D", "$GPGSV,2,1,05,02,19,211,37,05,34,023,39,06,04,046,31,17,06,090,31*76"});
    EXPECT_EQ(run.cells(58, 18, 3), " 27");
    EXPECT_EQ(run.cells(27, 17, 2), " 5");
}

TEST(gsv, talkers_in_view_share_the_table) {
    const std::string gga = "$GPGGA,123519.00,4807.0380,N,01131.0000,E,1,08,0.9,545.4,M,46.9,M,,*47";
    const std::string gp = "$GPGSV,1,1,02,02,19,211,37,05,34,023,39*00";
    const struct {
        const char* legend;
        std::vector<std::string> lines;
        std::string_view visible, ids;
    } cases[] = {
        {"GP before GL, whichever came first", {"$GLGSV,1,1,01,65,10,010,11*00", gp}, " 3", "  2   5  65"},
        {"other talkers after GI, in the order heard",
         {"$QZGSV,1,1,01,93,10,010,11*00", "$GNGSV,1,1,01,94,10,010,11*00", "$GIGSV,1,1,01,95,10,010,11*00", gp},
         " 5", "  2   5  95  93  94"},
        {"a talker silent for 4 GGA is still in view",
         {"$GLGSV,1,1,01,65,10,010,11*00", gga, gga, gga, gga, gp}, " 3", "  2   5  65"},
        {"a talker silent for 5 GGA is out of view",
         {"$GLGSV,1,1,01,65,10,010,11*00", gga, gga, gga, gga, gga, gp}, " 2", "  2   5"},
        {"a new group of a talker replaces its old one",
         {"$GLGSV,2,1,05,65,10,010,11,66,10,010,11,67,10,010,11,68,10,010,11*00", "$GLGSV,2,2,05,69,10,010,11*00",
          "$GLGSV,1,1,01,70,10,010,11*00", gp},
         " 3", "  2   5  70"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        DecoderRun run;
        for (const std::string& line : c.lines) run.replay({line});
        EXPECT_EQ(run.cells(27, 17, 2), c.visible);
        EXPECT_EQ(run.cells(26, 18, 48), std::string(c.ids).append(48 - c.ids.size(), ' '));
    }
}

TEST(mode_letters, vtg_and_gll_show_the_mode_under_mode) {
    const struct {
        const char* legend;
        std::string_view sentence;
        std::string_view shown;  // columns 69-72, after "DGPS"
    } cases[] = {
        {"VTG A", "$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A*25", " GPS"},
        {"VTG D", "$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,D*25", "DGPS"},
        {"VTG E", "$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,E*25", "  DR"},
        {"VTG N: the letter alone", "$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,N*25", "NGPS"},
        {"VTG without mode: the unit letter K", "$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K*25", "KGPS"},
        {"GLL A", "$GPGLL,4807.0380,N,01131.0000,E,123519.00,A,A*00", " GPS"},
        {"GLL E", "$GPGLL,4807.0380,N,01131.0000,E,123519.00,A,E*00", "  DR"},
        {"GLL N", "$GPGLL,4807.0380,N,01131.0000,E,123519.00,V,N*00", "NGPS"},
        {"GLL without mode, status A", "$GPGLL,4807.0380,N,01131.0000,E,123519.00,A*00", " GPS"},
        {"GLL without mode, status V", "$GPGLL,4807.0380,N,01131.0000,E,123519.00,V*00", "VGPS"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        DecoderRun run;
        run.replay({"$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,D*25", c.sentence});
        EXPECT_EQ(run.cells(69, 14, 4), c.shown);
    }
}

TEST(vtg, heading_and_speed) {
    const struct {
        const char* legend;
        std::string_view sentence;
        std::string_view heading, speed;
    } cases[] = {
        {"the example: 10.2 km/h is 2.8 m/s", "$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A*25", " 54.7", "  2.8"},
        {"an empty course reads 0", "$GPVTG,,T,,M,0.000000,N,0.000000,K*4E", "  0.0", "  0.0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        DecoderRun run;
        run.replay({c.sentence});
        EXPECT_EQ(run.cells(26, 14, 5), c.heading);
        EXPECT_EQ(run.cells(26, 13, 5), c.speed);
    }
}

TEST(zda, time_date_and_zone) {
    const struct {
        const char* legend;
        std::string_view sentence;
        std::string_view time, date, zone;
    } cases[] = {
        {"the example", "$GPZDA,201530.00,04,07,2002,00,00*60", "20 15  30", " 4  7  2002", " 0  0"},
        {"a negative zone", "$GPZDA,201530.00,04,07,2002,-05,00*60", "20 15  30", " 4  7  2002", "-5  0"},
        {"a zone with minutes", "$GPZDA,201530.00,04,07,2002,+05,30*60", "20 15  30", " 4  7  2002", " 5 30"},
        {"empty zone fields", "$GPZDA,201530.00,04,07,2002,,*60", "20 15  30", " 4  7  2002", " 0  0"},
        {"no checksum", "$GPZDA,222449,25,10,2010,+00,45", "22 24  49", "25 10  2010", " 0 45"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        DecoderRun run;
        run.replay({c.sentence});
        EXPECT_EQ(run.cells(60, 4, 9), c.time);
        EXPECT_EQ(run.cells(26, 4, 11), c.date);
        EXPECT_EQ(run.cells(60, 5, 5), c.zone);
    }
}

TEST(mss, beacon_cells) {
    const struct {
        const char* legend;
        std::string_view sentence;
        std::string_view strength, noise, frequency, bit_rate;
    } cases[] = {
        {"the example", "$GPMSS,55,27,318.0,100,1*57", " 5.5E+001", " 2.7E+001", "318.0", "100"},
        {"without the channel field", "$GPMSS,55,27,318.0,100*4A", " 5.5E+001", " 2.7E+001", "318.0", "100"},
        {"an empty channel field", "$GPMSS,0,0,0.000000,200,*5A", " 0.0E+000", " 0.0E+000", "  0.0", "200"},
        {"a bit rate of 25", "$GPMSS,55,27,318.0,25,1*57", " 5.5E+001", " 2.7E+001", "318.0", " 25"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        DecoderRun run;
        run.replay({c.sentence});
        EXPECT_EQ(run.cells(49, 23, 9), c.strength);
        EXPECT_EQ(run.cells(49, 24, 9), c.noise);
        EXPECT_EQ(run.cells(26, 24, 5), c.frequency);
        EXPECT_EQ(run.cells(69, 23, 3), c.bit_rate);
    }
}

}  // namespace
