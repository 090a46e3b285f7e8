// The field operations every sentence handler reads with, and the UTC time
// differences of the rates and durations.
#include <gtest/gtest.h>

#include "nmea/decoder/fields.h"
#include "nmea/decoder/receiver_state.h"

namespace {

using nmea::LineText;

struct Reading {
    const char* legend;
    std::string_view text;
    std::string_view field;  // what the operation gives
    std::string_view rest;   // what it leaves of the line
};

TEST(fields, next_field_stops_at_a_comma_and_deletes_nothing_without_one) {
    const Reading cases[] = {
        {"a field", "4807.0380,N,01131", "4807.0380", "N,01131"},
        {"an empty field", ",N", "", "N"},
        {"no comma: empty, nothing deleted", "K*25", "", "K*25"},
        {"a star does not end it", "2.1*39,x", "2.1*39", "x"},
    };
    for (const Reading& c : cases) {
        SCOPED_TRACE(c.legend);
        LineText line(c.text);
        EXPECT_EQ(line.next_field(), c.field);
        EXPECT_EQ(line.text(), c.rest);
    }
}

TEST(fields, next_value_ends_at_the_first_comma_or_star_or_the_line_end) {
    const Reading cases[] = {
        {"the last field", "2.1*39", "2.1", "39"},
        {"an NMEA 4.10 field after it", "2.1,1*39", "2.1", "1*39"},
        {"no checksum", "2.1", "2.1", ""},
        {"empty before the star", "*5A", "", "5A"},
        {"a middle field", "100,1*57", "100", "1*57"},
        {"nothing left", "", "", ""},
    };
    for (const Reading& c : cases) {
        SCOPED_TRACE(c.legend);
        LineText line(c.text);
        EXPECT_EQ(line.next_value(), c.field);
        EXPECT_EQ(line.text(), c.rest);
    }
}

TEST(fields, last_field_runs_to_the_star_or_the_line_end_and_deletes_nothing) {
    const Reading cases[] = {
        {"station id", "0120*47", "0120", "0120*47"},
        {"empty", "*47", "", "*47"},
        {"no checksum", "0120", "0120", "0120"},
        {"commas are part of it", "a,b*00", "a,b", "a,b*00"},
    };
    for (const Reading& c : cases) {
        SCOPED_TRACE(c.legend);
        LineText line(c.text);
        EXPECT_EQ(line.last_field(), c.field);
        EXPECT_EQ(line.text(), c.rest);
    }
}

TEST(fields, a_fixed_piece_never_reaches_past_its_field) {
    const struct {
        const char* legend;
        std::string_view text;
        std::size_t first, length;
        std::string_view piece;
    } cases[] = {
        {"seconds with decimals", "123519.00,A", 5, 4, "19.0"},
        {"seconds with three decimals", "123519.123,A", 5, 4, "19.1"},
        {"whole seconds", "123519,A", 5, 4, "19"},
        {"four decimals of minutes", "4807.0380,N", 3, 7, "07.0380"},
        {"three decimals of minutes", "4807.038,N", 3, 7, "07.038"},
        {"eight decimals of minutes", "4807.03801234,N", 3, 7, "07.0380"},
        {"three-digit degrees", "01131.0000,E", 1, 3, "011"},
        {"an empty field", ",N", 1, 2, ""},
        {"beyond a short field", "12,", 5, 4, ""},
        {"the last field of a line", "230394", 5, 2, "94"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        const LineText line(c.text);
        EXPECT_EQ(line.fixed_piece(c.first, c.length), c.piece);
        EXPECT_EQ(line.text(), c.text);
    }
}

TEST(fields, drop_through_comma_and_first_character) {
    LineText line("GGA,,N");
    line.drop_through_comma();
    EXPECT_EQ(line.first_character(), ",");  // an empty field shows the next comma
    line.drop_through_comma();
    EXPECT_EQ(line.first_character(), "N");
    line.drop_through_comma();  // no comma: nothing deleted
    EXPECT_EQ(line.text(), "N");
    EXPECT_EQ(LineText().first_character(), "");
}

TEST(fields, utc_differences_take_a_crossing_of_midnight_as_one) {
    const struct {
        const char* legend;
        double from[3], to[3];
        double seconds;
    } cases[] = {
        {"one second", {12, 35, 19}, {12, 35, 20}, 1},
        {"the same time", {12, 35, 19.5}, {12, 35, 19.5}, 0},
        {"a step back stays negative", {12, 35, 20}, {12, 35, 19}, -1},
        {"over midnight", {23, 59, 58}, {0, 0, 1}, 3},
        {"half a day back stays", {12, 0, 0}, {0, 0, 0}, -43200},
        {"more than half a day back is a crossing", {12, 0, 1}, {0, 0, 0}, 43199},
        {"from the zeros of the start", {0, 0, 0}, {12, 35, 19}, 45319},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        EXPECT_EQ(nmea::seconds_between(c.from[0], c.from[1], c.from[2], c.to[0], c.to[1], c.to[2]), c.seconds);
    }
}

}  // namespace
