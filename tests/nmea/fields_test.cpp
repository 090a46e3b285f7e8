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

// Runs one field operation on each case and checks what it gives and leaves.
template <std::size_t N, typename Operation>
void check_readings(const Reading (&cases)[N], Operation read) {
    for (const Reading& c : cases) {
        SCOPED_TRACE(c.legend);
        LineText line(c.text);
        EXPECT_EQ(read(line), c.field);
        EXPECT_EQ(line.text(), c.rest);
    }
}

TEST(fields, the_line_ends_before_the_checksum) {
    const struct {
        std::string_view sentence;
        std::string_view text;
    } cases[] = {{"GGA,1,2*47", "GGA,1,2"}, {"GGA,1,2", "GGA,1,2"}, {"GGA,1*2*3", "GGA,1"}, {"*00", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sentence);
        EXPECT_EQ(LineText(c.sentence).text(), c.text);
    }
}

TEST(fields, next_field_ends_at_a_comma_or_takes_the_last_field_whole) {
    const Reading cases[] = {
        {"a field", "4807.0380,N,01131", "4807.0380", "N,01131"},
        {"an empty field", ",N", "", "N"},
        {"the last field", "2.1*39", "2.1", ""},
        {"an NMEA 4.10 field after it", "2.1,1*39", "2.1", "1"},
        {"no checksum", "2.1", "2.1", ""},
        {"empty before the star", ",*5A", "", ""},
        {"nothing left", "*5A", "", ""},
    };
    check_readings(cases, [](LineText& line) { return line.next_field(); });
}

TEST(fields, last_field_is_all_that_is_left_and_deletes_nothing) {
    const Reading cases[] = {
        {"station id", "0120*47", "0120", "0120"},
        {"empty", "*47", "", ""},
        {"no checksum", "0120", "0120", "0120"},
        {"commas are part of it", "a,b*00", "a,b", "a,b"},
    };
    check_readings(cases, [](LineText& line) { return line.last_field(); });
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
        {"the last field of a sentence", "230394*44", 5, 2, "94"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        const LineText line(c.text);
        const std::string_view before = line.text();
        EXPECT_EQ(line.fixed_piece(c.first, c.length), c.piece);
        EXPECT_EQ(line.text(), before);
    }
}

TEST(fields, drop_through_comma_and_first_character) {
    LineText line("GGA,,N");
    line.drop_through_comma();
    EXPECT_EQ(line.first_character(), ",");  // an empty field shows the next comma
    EXPECT_TRUE(line.field_is_empty());
    EXPECT_FALSE(line.at_last_field());
    line.drop_through_comma();
    EXPECT_EQ(line.first_character(), "N");
    EXPECT_FALSE(line.field_is_empty());
    EXPECT_TRUE(line.at_last_field());
    line.drop_through_comma();  // the last field goes too: nothing is read twice
    EXPECT_EQ(line.text(), "");
    EXPECT_TRUE(line.field_is_empty());
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
