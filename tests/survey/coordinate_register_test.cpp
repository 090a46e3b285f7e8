#include "survey/register/coordinate_register.h"

#include <gtest/gtest.h>

#include "common/run_error.h"
#include "common/text_writer.h"
#include "tests/support/test_support.h"
#include "tests/survey/string_reader.h"

using common::TextReader;
using survey::RegisterPoint;
using Kind = survey::RegisterRecord::Kind;

namespace {

TextReader reader_of(std::string text) {
    return survey_testing::reader_of(std::move(text), "points.txt");
}

// --- register_check ------------------------------------------------------------

TEST(register_check, ordinal_and_line_of_the_first_token_that_is_not_a_number) {
    struct Row {
        const char* legend;
        const char* text;
        std::optional<std::int64_t> ordinal;
        long line = 0;
    };
    const Row rows[] = {
        {"one line with its line end", "1 471.120 512.678 61.30\r\n", std::nullopt},
        {"no final line end", "1 471.120 512.678 61.30", std::nullopt},
        {"blank lines after the last line", "1 2 3 4\r\n\r\n  \r\n\t\r\n", std::nullopt},
        {"blank lines only", "\r\n\r\n", std::nullopt},
        {"an empty file", "", 1, 1},
        {"a point number 12.0 is a number", "12.0 1 2 3\r\n", std::nullopt},
        {"decimal comma in the fifth number", "1 2 3 4\r\n5 61,30 7 8\r\n", 6, 2},
        {"decimal comma as the fifth number", "1 2 3 4\r\n61,30 6 7 8\r\n", 5, 2},
        {"tokens counted across lines", "1 2 3 4\r\n5 6 7 8\r\n9 1 2 3\r\n4 5 6 7\r\n8 N 1 2\r\n", 18, 5},
        {"letters after blank lines and tabs", "1\t2\n\n\r\n3 x\r\n", 4, 4},
        {"Ctrl-Z ends the file", "1 2 3\x1a garbage", std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.legend);
        TextReader reader = reader_of(row.text);
        const auto bad = survey::register_check(reader);
        ASSERT_EQ(bad.has_value(), row.ordinal.has_value());
        if (bad) {
            EXPECT_EQ(bad->ordinal, row.ordinal);
            EXPECT_EQ(bad->line, row.line);
        }
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
        const auto record = survey::read_in_layout(reader, survey::register_layout(row.layout));
        ASSERT_EQ(record.kind, Kind::point);
        EXPECT_EQ(record.point.number, row.point.number);
        EXPECT_EQ(record.point.north, row.point.north);
        EXPECT_EQ(record.point.east, row.point.east);
        EXPECT_EQ(record.point.elevation, row.point.elevation);
        // The rest of the line is discarded: the next record is the next line.
        EXPECT_EQ(reader.read_integer(), 2);
    }
}

// Registers in every layout whose lines hold every column, all but the
// last, only the first, and one more than the columns (set off by tabs,
// after a blank line), read record by record.
TEST(read_in_layout, one_record_per_line_in_every_layout) {
    // The columns of each layout, spelled out here: number, north, east and
    // elevation as #, N, E and H.
    const std::string_view spelled[] = {"#NEH", "#NE", "NEH", "NE", "#ENH", "#EN", "ENH", "EN"};
    for (int number = 1; number <= survey::layout_count; ++number) {
        const std::string_view columns = spelled[number - 1];
        SCOPED_TRACE(columns);
        // Column c of line l holds 10 l + c.
        auto line = [](std::size_t count, int l, const char* separator) {
            std::string text;
            for (std::size_t c = 0; c < count; ++c) text += (c == 0 ? "" : separator) + std::to_string(10 * l + c);
            return text + "\r\n";
        };
        TextReader reader = reader_of(line(columns.size(), 1, " ") + line(columns.size() - 1, 2, "  ") +
                                      line(1, 3, " ") + "\r\n" + line(columns.size() + 1, 5, "\t") + " \r\n");
        auto expect_values = [&](const RegisterPoint& point, int l, std::size_t count) {
            RegisterPoint expected;
            for (std::size_t c = 0; c < count; ++c) {
                const int value = 10 * l + static_cast<int>(c);
                switch (columns[c]) {
                    case '#': expected.number = value; break;
                    case 'N': expected.north = value; break;
                    case 'E': expected.east = value; break;
                    default: expected.elevation = value; break;
                }
            }
            EXPECT_EQ(point.number, expected.number);
            EXPECT_EQ(point.north, expected.north);
            EXPECT_EQ(point.east, expected.east);
            EXPECT_EQ(point.elevation, expected.elevation);
        };
        const auto& layout = survey::register_layout(number);
        const auto full = survey::read_in_layout(reader, layout);
        EXPECT_EQ(full.kind, Kind::point);
        EXPECT_EQ(full.line, 1);
        expect_values(full.point, 1, columns.size());

        const auto lacking_one = survey::read_in_layout(reader, layout);
        EXPECT_EQ(lacking_one.line, 2);
        if (columns.back() == 'H') {
            EXPECT_EQ(lacking_one.kind, Kind::plane_point);
            expect_values(lacking_one.point, 2, columns.size() - 1);
        } else {
            EXPECT_EQ(lacking_one.kind, Kind::left_out);
        }

        const auto only_first = survey::read_in_layout(reader, layout);
        EXPECT_EQ(only_first.kind, Kind::left_out);
        EXPECT_EQ(only_first.line, 3);

        const auto one_more = survey::read_in_layout(reader, layout);
        EXPECT_EQ(one_more.kind, Kind::point);
        EXPECT_EQ(one_more.line, 5);
        expect_values(one_more.point, 5, columns.size());

        EXPECT_FALSE(reader.eof());
        EXPECT_EQ(survey::read_in_layout(reader, layout).kind, Kind::end);
        EXPECT_TRUE(reader.eof());
    }
}

TEST(read_in_layout, left_out_records_and_point_numbers) {
    {
        SCOPED_TRACE("a point number with a decimal point leaves its line out");
        TextReader reader = reader_of("12.0 100 200\r\n7 300 400\r\n");
        const auto& layout = survey::register_layout(2);
        const auto failed = survey::read_in_layout(reader, layout);
        EXPECT_EQ(failed.kind, Kind::left_out);
        EXPECT_EQ(failed.line, 1);
        const auto next = survey::read_in_layout(reader, layout);
        ASSERT_EQ(next.kind, Kind::point);
        EXPECT_EQ(next.point.number, 7);
        EXPECT_EQ(next.point.north, 300);
    }
    {
        SCOPED_TRACE("whole signed 32-bit point numbers");
        TextReader reader = reader_of("65536 1 2\r\n100013 1 2\r\n2147483647 1 2\r\n-2147483648 1 2\r\n");
        for (const std::int32_t number : {65536, 100013, INT32_MAX, INT32_MIN}) {
            EXPECT_EQ(survey::read_in_layout(reader, survey::register_layout(2)).point.number, number);
        }
    }
    for (const char* token : {"2147483648", "-2147483649", "4294967297"}) {
        SCOPED_TRACE(std::string("beyond 32 bits: ") + token);
        TextReader reader = reader_of(std::string("\r\n") + token + " 1 2\r\n");
        EXPECT_THROW(survey::read_in_layout(reader, survey::register_layout(2)), common::RunError);
    }
}

// --- The fixed layout ----------------------------------------------------------------

TEST(read_fixed_with_elevation, elevation_from_a_fourth_number) {
    struct Row {
        const char* legend;
        const char* line;
        double elevation;
    };
    const Row rows[] = {
        {"three numbers", "5 100.0 200.0\r\n", survey::no_elevation},
        {"blanks and tabs after the third number", "5 100.0 200.0 \t \r\n", survey::no_elevation},
        {"no line end", "5 100.0 200.0", survey::no_elevation},
        {"a fourth number", "5 100.0 200.0 45.5\r\n", 45.5},
        {"blanks around it", "5 100.0 200.0    45.5   \r\n", 45.5},
        {"a fourth and a fifth number", "5 100.0 200.0 45.5 7\r\n", 45.5},
        {"set off by tabs", "5\t100.0\t200.0\t45.5\r\n", 45.5},
        {"exactly -999", "5 100.0 200.0 -999\r\n", survey::no_elevation},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.legend);
        const bool line_end = std::string_view(row.line).ends_with('\n');
        TextReader reader = reader_of(std::string(row.line) + (line_end ? "6 1 2 3\r\n" : ""));
        const auto record = survey::read_fixed_with_elevation(reader);
        ASSERT_EQ(record.kind, Kind::point);
        EXPECT_EQ(record.point.number, 5);
        EXPECT_EQ(record.point.north, 100);
        EXPECT_EQ(record.point.east, 200);
        EXPECT_EQ(record.point.elevation, row.elevation);
        if (line_end) {
            const auto next = survey::read_fixed_with_elevation(reader);
            ASSERT_EQ(next.kind, Kind::point);
            EXPECT_EQ(next.point.number, 6);
            EXPECT_EQ(next.point.elevation, 3);
        }
    }
}

TEST(read_fixed_with_elevation, left_out_lines_keep_the_next_line_whole) {
    for (const char* text : {"12.0 100 200\r\n", "1e3 100 200 4\r\n", "7\r\n", "7 100\r\n", "7\t100\t\r\n",
                             "5 100.0 200.0 x\r\n"}) {
        SCOPED_TRACE(text);
        TextReader reader = reader_of(std::string("\r\n") + text + "8 1 2 3\r\n");
        const auto record = survey::read_fixed_with_elevation(reader);
        EXPECT_EQ(record.kind, Kind::left_out);
        EXPECT_EQ(record.line, 2);
        const auto next = survey::read_fixed_with_elevation(reader);
        ASSERT_EQ(next.kind, Kind::point);
        EXPECT_EQ(next.point.number, 8);
        EXPECT_EQ(next.point.elevation, 3);
    }
}

TEST(read_fixed_without_elevation, whole_numbers_and_the_rest_discarded) {
    TextReader reader = reader_of("65537 471.12 512.678 61.3 9\r\n-1\t1\t2\r\n2147483647 3 4\r\n");
    const RegisterPoint first = survey::read_fixed_without_elevation(reader);
    EXPECT_EQ(first.number, 65537);
    EXPECT_EQ(first.north, 471.12);
    EXPECT_EQ(first.east, 512.678);
    EXPECT_EQ(first.elevation, 0);
    EXPECT_EQ(survey::read_fixed_without_elevation(reader).number, -1);
    EXPECT_EQ(survey::read_fixed_without_elevation(reader).number, INT32_MAX);
    EXPECT_TRUE(reader.eof());
}

TEST(read_fixed_without_elevation, a_bad_token_or_a_short_line_stops_with_error_106) {
    struct Row {
        const char* text;
        const char* report;
    };
    const Row rows[] = {
        {"12.0 1 2\r\n", "invalid numeric format \"12.0\" (points.txt, line 1)"},
        {"1 61,30 2\r\n", "invalid numeric format \"61,30\" (points.txt, line 1)"},
        {"2147483648 1 2\r\n", "invalid numeric format \"2147483648\" (points.txt, line 1)"},
        {"1 2\r\n3 4 5\r\n", "invalid numeric format: east missing (points.txt, line 1)"},
        {"1 \t\r\n3 4 5\r\n", "invalid numeric format: north missing (points.txt, line 1)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        TextReader reader = reader_of(row.text);
        try {
            survey::read_fixed_without_elevation(reader);
            ADD_FAILURE() << "no error";
        } catch (const common::RunError& error) {
            EXPECT_EQ(error.report(), std::string("Runtime error 106: ") + row.report);
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
