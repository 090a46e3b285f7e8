#include "kml/point_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/field_format.h"
#include "common/run_error.h"
#include "tests/support/test_support.h"

using kml::AngleNotation;
using kml::FieldOrder;
using testing_support::TempFolder;

namespace {

constexpr auto n1 = AngleNotation::decimal_degrees;
constexpr auto n2 = AngleNotation::degrees_minutes;
constexpr auto n3 = AngleNotation::degrees_minutes_seconds;
constexpr auto o1 = FieldOrder::number_latitude_longitude;
constexpr auto o2 = FieldOrder::number_longitude_latitude;
constexpr auto o3 = FieldOrder::latitude_longitude_name;
constexpr auto o4 = FieldOrder::longitude_latitude_name;

// A point as the documents show it: coordinates to six decimals.
struct Point {
    std::string name;
    std::string latitude;
    std::string longitude;
    friend bool operator==(const Point&, const Point&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Point& p) {
        return out << '"' << p.name << "\" " << p.latitude << ' ' << p.longitude;
    }
};

std::vector<Point> read_all(const std::string& list, AngleNotation notation, FieldOrder order) {
    TempFolder folder;
    folder.write("list.txt", list);
    kml::PointList point_list(*common::TextReader::open(folder / "list.txt", "list.txt"), notation, order);
    std::vector<Point> points;
    kml::PointRecord record;
    while (point_list.next(record)) {
        points.push_back({std::string(record.name()), std::string(common::fixed(record.latitude, 0, 6).view()),
                          std::string(common::fixed(record.longitude, 0, 6).view())});
    }
    return points;
}

TEST(point_list, notations_and_field_orders) {
    const struct {
        const char* legend;
        AngleNotation notation;
        FieldOrder order;
        std::string list;
        std::vector<Point> points;
    } cases[] = {
        {"minutes, order 3, nothing after the last number: empty name", n2, o3, "42 30.5 23 15.2\r\n",
         {{"", "42.508333", "23.253333"}}},
        {"seconds, order 1: named by its number", n3, o1, "7 42 30 36 23 19 48\r\n", {{"7", "42.510000", "23.330000"}}},
        {"a minus on the degrees takes the minutes along", n2, o1, "1 -42 30 -23 15\r\n",
         {{"1", "-42.500000", "-23.250000"}}},
        {"and the seconds", n3, o3, "-33 51 24.5 -70 40 12.3 south west\r\n",
         {{" south west", "-33.856806", "-70.670083"}}},
        {"-0 carries the minus; 0 and +0 do not", n2, o1, "1 -0 30 0 30\r\n2 -0.0 15 +0 15\r\n3 -0 0 0 0\r\n",
         {{"1", "-0.500000", "0.500000"}, {"2", "-0.250000", "0.250000"}, {"3", "-0.000000", "0.000000"}}},
        {"degrees without a sign: minutes and seconds as they stand", n3, o1, "1 42 -30 0 +23 0 -36\r\n",
         {{"1", "41.500000", "22.990000"}}},
        {"order 2 has the longitude first", n1, o2, "3 23.3 42.5\r\n", {{"3", "42.500000", "23.300000"}}},
        {"order 3: the name keeps the blank before it", n1, o3, "42.5 23.3 Sofia centre\r\n",
         {{" Sofia centre", "42.500000", "23.300000"}}},
        {"order 4 with seconds: trailing blanks and tabs stay in the name", n3, o4, "23 19 48 42 30 36\tcorner B  \r\n",
         {{"\tcorner B  ", "42.510000", "23.330000"}}},
        {"a record spread over two lines", n1, o1, "5 42.5\r\n23.3\r\n", {{"5", "42.500000", "23.300000"}}},
        {"a height after the record is passed over", n1, o1, "5 42.5 23.3 612.40\r\n", {{"5", "42.500000", "23.300000"}}},
        {"two records on one line, order 1: the second is passed over", n1, o1, "1 42 23 2 43 24\r\n3 44 25\r\n",
         {{"1", "42.000000", "23.000000"}, {"3", "44.000000", "25.000000"}}},
        {"two records on one line, order 3: the second joins the name", n1, o3, "42 23 a 43 24 b\r\n",
         {{" a 43 24 b", "42.000000", "23.000000"}}},
        {"point numbers as decimal text", n1, o1,
         "007 1 2\r\n-5 1 2\r\n+12 1 2\r\n-2147483648 1 2\r\n2147483647 1 2\r\n",
         {{"7", "1.000000", "2.000000"},
          {"-5", "1.000000", "2.000000"},
          {"12", "1.000000", "2.000000"},
          {"-2147483648", "1.000000", "2.000000"},
          {"2147483647", "1.000000", "2.000000"}}},
        {"LF and lone CR line ends, no final line end", n1, o3, "1 2 a\n3 4 b\r5 6 c",
         {{" a", "1.000000", "2.000000"}, {" b", "3.000000", "4.000000"}, {" c", "5.000000", "6.000000"}}},
        {"blanks, tabs and empty lines after the last record end the list", n1, o1, "1 42 23\r\n  \r\n\t\r\n\r\n",
         {{"1", "42.000000", "23.000000"}}},
        {"an empty list", n1, o1, "", {}},
        {"a list of empty lines", n2, o3, "\r\n \r\n\r\n", {}},
        {"Ctrl-Z ends the list", n1, o1, "1 42 23\r\n\x1a" "2 garbage\r\n", {{"1", "42.000000", "23.000000"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        EXPECT_EQ(read_all(c.list, c.notation, c.order), c.points);
    }
}

TEST(point_list, seconds_are_taken_after_the_minutes) {
    TempFolder folder;
    folder.write("list.txt", "1 42 30 36.7 -23 19 48.1\r\n");
    kml::PointList point_list(*common::TextReader::open(folder / "list.txt", "list.txt"), n3, o1);
    kml::PointRecord record;
    ASSERT_TRUE(point_list.next(record));
    EXPECT_EQ(record.number, 1);
    EXPECT_EQ(record.latitude, (42 + 30 / 60.0) + 36.7 / 3600);
    EXPECT_EQ(record.longitude, (-23 - 19 / 60.0) - 48.1 / 3600);
}

// A name is cut after 255 bytes, before a UTF-8 character that the cut
// would split; a Windows-1251 name has a character in every byte.
TEST(point_list, a_long_name_is_cut_at_a_whole_character) {
    const std::string x254(254, 'x');
    const auto repeated = [](std::string_view piece, int count) {
        std::string text;
        for (int i = 0; i < count; ++i) text += piece;
        return text;
    };
    const struct {
        const char* legend;
        std::string name;  // after the blank that precedes it
        std::string kept;
    } cases[] = {
        {"ASCII", std::string(300, 'x'), x254},
        {"UTF-8 letters of two bytes, the cut between them", repeated("Я", 150), repeated("Я", 127)},
        {"the cut inside the last one", "x" + repeated("Я", 150), "x" + repeated("Я", 126)},
        {"one of three bytes, two before the cut", x254.substr(2) + "№x", x254.substr(2)},
        {"one of them", x254.substr(1) + "№x", x254.substr(1)},
        {"one of four bytes", x254.substr(3) + "\xF0\x9F\x93\x8D", x254.substr(3)},
        {"exactly 255 bytes are kept whole", x254.substr(2) + "Я", x254.substr(2) + "Я"},
        {"Windows-1251 letters", std::string(300, '\xDF'), std::string(254, '\xDF')},
        {"Windows-1251: a letter like the start of UTF-8 at the cut", x254.substr(1) + "\xD0\xDF", x254.substr(1) + "\xD0"},
        {"Windows-1251 before a UTF-8 look-alike at the cut", "\xE0" + x254.substr(2) + "\xD0\x90",
         "\xE0" + x254.substr(2) + "\xD0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        const auto points = read_all("42 23 " + c.name + "\r\n1 2 next\r\n", n1, o3);
        ASSERT_EQ(points.size(), 2u);
        EXPECT_EQ(points[0].name, " " + c.kept);
        EXPECT_EQ(points[1].name, " next");
    }
}

TEST(point_list, a_bad_token_names_the_file_the_line_and_the_token) {
    const struct {
        const char* legend;
        AngleNotation notation;
        FieldOrder order;
        std::string list;
        std::string report;
    } cases[] = {
        {"a point number with a decimal point", n1, o1, "5.0 42.5 23.3\r\n", "\"5.0\" (list.txt, line 1)"},
        {"a decimal comma", n1, o1, "1 42 23\r\n5 42,5 23.3\r\n", "\"42,5\" (list.txt, line 2)"},
        {"a hemisphere letter", n2, o3, "42 30N 23 15E\r\n", "\"30N\" (list.txt, line 1)"},
        {"a heading line", n1, o3, "lat lon name\r\n42 23 a\r\n", "\"lat\" (list.txt, line 1)"},
        {"a point number beyond the signed 32-bit range", n1, o1, "2147483648 42 23\r\n",
         "\"2147483648\" (list.txt, line 1)"},
        {"below it", n1, o2, "-2147483649 42 23\r\n", "\"-2147483649\" (list.txt, line 1)"},
        {"beyond 32 bits, never wrapped", n1, o1, "1 42 23\r\n4294967297 42 23\r\n",
         "\"4294967297\" (list.txt, line 2)"},
        {"beyond 64 bits", n1, o1, "18446744073709551617 42 23\r\n", "\"18446744073709551617\" (list.txt, line 1)"},
        {"a record cut off by the end of the list", n1, o1, "1 42 23\r\n5 42.5\r\n", "at the end of the file (list.txt, line 3)"},
        {"cut off right after a number", n3, o4, "23 15 0 42 30", "at the end of the file (list.txt, line 1)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        try {
            read_all(c.list, c.notation, c.order);
            ADD_FAILURE() << "read without a report";
        } catch (const common::RunError& error) {
            EXPECT_EQ(error.code(), 106);
            EXPECT_EQ(error.report(), "Runtime error 106: invalid numeric format " + c.report);
        }
    }
}

}  // namespace
