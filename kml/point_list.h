// Point lists: one geographic point per record, latitude and longitude in
// one of three angle notations, the items in one of four field orders.
//
//   order 1   N lat lon        5 42.5 23.3          (notation 1)
//   order 2   N lon lat        5 23 18 42 30        (notation 2)
//   order 3   lat lon name     42 30 0 23 18 0 Sofia centre   (notation 3)
//   order 4   lon lat name
//
// Numbers are separated by blanks, tabs or line ends, so a record may spread
// over several lines; after its last item the rest of that line is passed
// over (a height, a code, a second record). The name of orders 3 and 4 is
// the rest of the line right after the last number, its leading blanks
// included, at most 255 bytes of whole characters; orders 1 and 2 are named
// by the point number.
//
// A minus on the degrees is the sign of the whole angle: the minutes and
// seconds then go south or west too.
//
// Legal:   "7 42 30 36 23 19 48" (notation 3, order 1: 42.51, 23.33)
//          "-33 51 24.5" as an angle in notation 3 (-33.856806)
//          "-0 30" as an angle in notation 2 (-0.5), "0 30" (0.5)
// Illegal: "5.0 42.5 23.3" (a point number with a decimal point),
//          "5 42,5 23.3" (a decimal comma), "5 42.5N 23.3E",
//          "2147483648 42.5 23.3" (beyond the signed 32-bit range), and a
//          record cut off by the end of the list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/text_reader.h"

namespace kml {

// The key chosen in the notation menu.
enum class AngleNotation : char {
    decimal_degrees = '1',          // 42.5083333
    degrees_minutes = '2',          // 42 30.5
    degrees_minutes_seconds = '3',  // 42 30 30
};

// The key chosen in the field-order menu.
enum class FieldOrder : char {
    number_latitude_longitude = '1',
    number_longitude_latitude = '2',
    latitude_longitude_name = '3',
    longitude_latitude_name = '4',
};

struct PointRecord {
    static constexpr std::size_t max_name = common::TextReader::max_line;

    std::int32_t number = 0;  // orders 1 and 2
    double latitude = 0;      // decimal degrees
    double longitude = 0;

    std::string_view name() const { return {name_, name_size_}; }
    // Keeps at most max_name characters.
    void set_name(std::string_view name);
    // A name cut after max_name bytes, which goes on with `rest`: when it is
    // UTF-8, a character that the cut split is left out whole.
    void end_at_whole_character(std::string_view rest);

private:
    char name_[max_name]{};
    std::size_t name_size_ = 0;
};

class PointList {
public:
    PointList(common::TextReader reader, AngleNotation angle_notation, FieldOrder field_order);

    // The next record, or false at the end of the list. Blanks, tabs and
    // empty lines after the last record end the list as well. A bad token,
    // or a record that the end of the list cuts off, raises the
    // invalid-number report.
    bool next(PointRecord& point_record);

private:
    double read_angle();

    common::TextReader reader_;
    int numbers_per_angle_;
    bool numbered_;
    bool latitude_first_;
};

// A real number that is due: unlike the plain reading rule, the end of the
// file where a number is due is an invalid number, never a silent 0.
double read_due_real(common::TextReader& reader);

}  // namespace kml
