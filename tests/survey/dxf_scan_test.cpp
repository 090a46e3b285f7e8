#include "survey/dxf/dxfpoints.h"

#include <gtest/gtest.h>

#include "common/run_error.h"
#include "tests/survey/string_reader.h"

using common::TextReader;

namespace {

TextReader drawing_of(std::string text) {
    return survey_testing::reader_of(std::move(text), "drawing.dxf", 3);
}

// The lines after a "POINT" line, and what the search must make of them.
TEST(read_point_entity, the_search_ends_at_the_next_entity) {
    struct Row {
        const char* legend;
        const char* text;
        bool found;
        double east, north, elevation;
        const char* next_line;  // the line the main scan reads next
    };
    const Row rows[] = {
        {"a 3D point", "  8\n0\n 10\n1.5\n 20\n2.5\n 30\n3.5\n  0\nLINE\n", true, 1.5, 2.5, 3.5, "  0"},
        {"a 2D point ends at the next group code 0", " 10\n10\n 20\n20\n  0\nPOINT\n 10\n30\n 20\n10\n 30\n5\n",
         true, 10, 20, 0, "POINT"},
        {"no 20: not a point", " 10\n1\n 30\n3\n  0\nPOINT\n", false, 0, 0, 0, "POINT"},
        {"no 10 before the end of the drawing", "  8\n0\n 20\n2\n", false, 0, 0, 0, ""},
        {"a 10 without its value at the end", "  8\n0\n 10", false, 0, 0, 0, ""},
        {"only the first 10 counts", " 10\n1\n 10\n9\n 20\n2\n 30\n3\n", true, 1, 2, 3, ""},
        {"codes in any order", " 30\n3\n 20\n2\n 10\n1\n", true, 1, 2, 3, ""},
        {"whole lines only: 10 and ' 10 ' are not codes", "10\n7\n 10 \n8\n 10\n1\n 20\n2\n", true, 1, 2, 0, ""},
        {"CR LF line ends", " 10\r\n1\r\n 20\r\n2\r\n 30\r\n3\r\n  0\r\nEOF\r\n", true, 1, 2, 3, "  0"},
        {"blanks around a value", " 10\n   1.25  \n 20\n\t2\n", true, 1.25, 2, 0, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.legend);
        TextReader drawing = drawing_of(row.text);
        const auto point = survey::read_point_entity(drawing);
        ASSERT_EQ(point.has_value(), row.found);
        if (point) {
            EXPECT_EQ(point->east, row.east);
            EXPECT_EQ(point->north, row.north);
            EXPECT_EQ(point->elevation, row.elevation);
            EXPECT_EQ(point->number, 0);
        }
        EXPECT_EQ(drawing.read_line(), row.next_line);
    }
}

TEST(read_point_entity, a_value_that_is_not_a_number_stops_with_error_106) {
    TextReader drawing = drawing_of("  8\n0\n 10\n12,5\n");
    try {
        survey::read_point_entity(drawing);
        ADD_FAILURE() << "no error";
    } catch (const common::RunError& error) {
        EXPECT_EQ(error.code(), 106);
        EXPECT_EQ(error.report(), "Runtime error 106: invalid numeric format \"12,5\" (drawing.dxf, line 4)");
    }
}

}  // namespace
