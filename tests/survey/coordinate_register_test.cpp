#include "survey/register/coordinate_register.h"

#include <gtest/gtest.h>

#include "common/run_error.h"
#include "common/text_writer.h"
#include "tests/support/test_support.h"
#include "tests/survey/string_reader.h"

using common::TextReader;
using survey::RegisterPoint;

namespace {

TextReader reader_of(std::string text) {
    return survey_testing::reader_of(std::move(text), "points.txt");
}

// --- register_check ------------------------------------------------------------

TEST(register_check, ordinal_of_the_first_token_that_is_not_a_number) {
    struct Row {
        const char* legend;
        const char* text;
        std::optional<std::int64_t> ordinal;
    };
    const Row rows[] = {
        {"one line with its line end", "1 471.120 512.678 61.30\r\n", std::nullopt},
        {"no final line end", "1 471.120 512.678 61.30", std::nullopt},
        {"blank lines after the last line", "1 2 3 4\r\n\r\n  \r\n\t\r\n", std::nullopt},
        {"blank lines only", "\r\n\r\n", std::nullopt},
        {"an empty file", "", 1},
        {"a point number 12.0 is a number", "12.0 1 2 3\r\n", std::nullopt},
        {"decimal comma in the fifth number", "1 2 3 4\r\n5 61,30 7 8\r\n", 6},
        {"decimal comma as the fifth number", "1 2 3 4\r\n61,30 6 7 8\r\n", 5},
        {"tokens counted across lines", "1 2 3 4\r\n5 6 7 8\r\n9 1 2 3\r\n4 5 6 7\r\n8 N 1 2\r\n", 18},
        {"letters", "1 x\r\n", 2},
        {"Ctrl-Z ends the file", "1 2 3\x1a garbage", std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.legend);
        TextReader reader = reader_of(row.text);
        EXPECT_EQ(survey::register_check(reader), row.ordinal);
    }
}

// --- Layouts ----------------------------------------------------------------------

TEST(register_layout, columns_and_menu_texts) {
    for (int number = 1; number <= survey::layout_count; ++number) {
        SCOPED_TRACE(number);
        const auto& layout = survey::register_layout(number);
        EXPECT_EQ(layout.number, number);
        EXPECT_EQ(layout.menu_text.size(), 41u);
        EXPECT_EQ(layout.menu_text.back(), '0' + number);
        EXPECT_EQ(layout.has_number(), number == 1 || number == 2 || number == 5 || number == 6);
        EXPECT_EQ(layout.has_elevation(), number % 2 == 1);
    }
}

TEST(read_in_layout, one_line_in_each_layout) {
    struct Row {
        int layout;
        RegisterPoint point;
    };
    // The line 1 471.120 512.678 61.30 read in each layout.
    const Row rows[] = {
        {1, {1, 471.12, 512.678, 61.3}},   {2, {1, 471.12, 512.678, 0}},
        {3, {0, 1, 471.12, 512.678}},      {4, {0, 1, 471.12, 0}},
        {5, {1, 512.678, 471.12, 61.3}},   {6, {1, 512.678, 471.12, 0}},
        {7, {0, 471.12, 1, 512.678}},      {8, {0, 471.12, 1, 0}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.layout);
        TextReader reader = reader_of("1 471.120 512.678 61.30\r\n2 5 6 7\r\n");
        const auto point = survey::read_in_layout(reader, survey::register_layout(row.layout));
        ASSERT_TRUE(point);
        EXPECT_EQ(point->number, row.point.number);
        EXPECT_EQ(point->north, row.point.north);
        EXPECT_EQ(point->east, row.point.east);
        EXPECT_EQ(point->elevation, row.point.elevation);
        // The rest of the line is discarded: the next record is the next line.
        EXPECT_EQ(reader.read_integer(), 2);
    }
}

TEST(read_in_layout, short_lines_take_their_values_from_the_next_line) {
    // Three numbers per line read in layout 1: every second line is lost.
    TextReader reader = reader_of("1 10 20\r\n2 11 21\r\n3 12 22\r\n");
    const auto& layout = survey::register_layout(1);
    const auto first = survey::read_in_layout(reader, layout);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->elevation, 2);
    const auto second = survey::read_in_layout(reader, layout);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->number, 3);
    EXPECT_TRUE(reader.eof());
}

TEST(read_in_layout, failed_records) {
    {
        SCOPED_TRACE("a point number with a decimal point: the next record starts after it");
        TextReader reader = reader_of("12.0 100 200\r\n");
        const auto& layout = survey::register_layout(2);
        EXPECT_FALSE(survey::read_in_layout(reader, layout));
        const auto next = survey::read_in_layout(reader, layout);
        ASSERT_TRUE(next);
        EXPECT_EQ(next->number, 100);
        EXPECT_EQ(next->north, 200);
    }
    for (const int number : {1, 3, 8}) {
        SCOPED_TRACE("blank lines after the last point fail one more record");
        TextReader reader = reader_of("1 2 3 4\r\n\r\n  \r\n");
        const auto& layout = survey::register_layout(number);
        EXPECT_TRUE(survey::read_in_layout(reader, layout));
        EXPECT_FALSE(reader.eof());
        EXPECT_FALSE(survey::read_in_layout(reader, layout));
        EXPECT_TRUE(reader.eof());
    }
    {
        SCOPED_TRACE("a point number keeps its low-order 32 bits");
        TextReader reader = reader_of("4294967297 1 2\r\n-2147483649 1 2\r\n");
        EXPECT_EQ(survey::read_in_layout(reader, survey::register_layout(2))->number, 1);
        EXPECT_EQ(survey::read_in_layout(reader, survey::register_layout(2))->number, 2147483647);
    }
}

// --- The fixed layout ----------------------------------------------------------------

TEST(read_fixed_with_elevation, elevation_from_the_rest_of_the_line) {
    struct Row {
        const char* legend;
        const char* line;
        double elevation;
    };
    const Row rows[] = {
        {"three numbers", "5 100.0 200.0\r\n", survey::no_elevation},
        {"blanks after the third number", "5 100.0 200.0   \r\n", survey::no_elevation},
        {"no line end", "5 100.0 200.0", survey::no_elevation},
        {"a fourth number", "5 100.0 200.0 45.5\r\n", 45.5},
        {"blanks around it", "5 100.0 200.0    45.5   \r\n", 45.5},
        {"a fourth and a fifth number", "5 100.0 200.0 45.5 7\r\n", 0},
        {"set off by a tab", "5 100.0 200.0\t45.5\r\n", 0},
        {"exactly -999", "5 100.0 200.0 -999\r\n", survey::no_elevation},
        {"not a number", "5 100.0 200.0 x\r\n", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.legend);
        const bool line_end = std::string_view(row.line).ends_with('\n');
        TextReader reader = reader_of(std::string(row.line) + (line_end ? "6 1 2 3\r\n" : ""));
        const auto point = survey::read_fixed_with_elevation(reader);
        ASSERT_TRUE(point);
        EXPECT_EQ(point->number, 5);
        EXPECT_EQ(point->north, 100);
        EXPECT_EQ(point->east, 200);
        EXPECT_EQ(point->elevation, row.elevation);
        if (line_end) {
            const auto next = survey::read_fixed_with_elevation(reader);
            ASSERT_TRUE(next);
            EXPECT_EQ(next->number, 6);
            EXPECT_EQ(next->elevation, 3);
        }
    }
}

TEST(read_fixed_with_elevation, failed_reads) {
    for (const char* text : {"12.0 100 200\r\n", "1e3 100 200 4\r\n", "7\r\n", "7 100"}) {
        SCOPED_TRACE(text);
        TextReader reader = reader_of(text);
        EXPECT_FALSE(survey::read_fixed_with_elevation(reader));
    }
}

TEST(read_fixed_without_elevation, low_16_bits_and_the_rest_discarded) {
    TextReader reader = reader_of("65537 471.12 512.678 61.3 9\r\n-1 1 2\r\n");
    const RegisterPoint first = survey::read_fixed_without_elevation(reader);
    EXPECT_EQ(first.number, 1);
    EXPECT_EQ(first.north, 471.12);
    EXPECT_EQ(first.east, 512.678);
    EXPECT_EQ(first.elevation, 0);
    EXPECT_EQ(survey::read_fixed_without_elevation(reader).number, 65535);
    EXPECT_TRUE(reader.eof());
}

TEST(read_fixed_without_elevation, a_bad_token_stops_with_error_106) {
    for (const char* text : {"12.0 1 2\r\n", "1 61,30 2\r\n"}) {
        SCOPED_TRACE(text);
        TextReader reader = reader_of(text);
        try {
            survey::read_fixed_without_elevation(reader);
            ADD_FAILURE() << "no error";
        } catch (const common::RunError& error) {
            EXPECT_EQ(error.code(), 106);
            EXPECT_NE(error.report().find("points.txt, line 1"), std::string::npos);
        }
    }
}

// --- Writing -------------------------------------------------------------------------

TEST(write_register_point, east_north_elevation_to_three_decimals) {
    testing_support::TempFolder folder;
    {
        auto writer = common::TextWriter::create(folder / "out.txt", "out.txt");
        survey::write_register_point(writer, {0, 471.12, 512.6784, 61.3});
        survey::write_register_point(writer, {0, -0.0004, 1e7, 0});
    }
    EXPECT_EQ(folder.read("out.txt"), "512.678 471.120 61.300\r\n10000000.000 -0.000 0.000\r\n");
}

}  // namespace
