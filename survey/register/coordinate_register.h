// The coordinate register: the plain text list of surveyed points that the
// surveying programs pass to one another. One point per line, numbers only,
// separated by blanks, tabs or line ends; no header, names or comments.
//
// Eight column layouts (1..8) say which numbers a line holds and in which
// order; the fixed layout is number, north, east and an optional elevation as
// the last field of the line. Records are written as east, north, elevation
// (layout 7), three decimals each.
//
// Legal and illegal registers (the number check):
//   "1 471.120 512.678 61.30\r\n"   passes
//   "\r\n\r\n"                       passes (blank lines only)
//   "1 2 3 4\r\n\r\n\r\n"            passes (blank lines after the last line)
//   ""                               fails at ordinal 1 (nothing at all)
//   "1 2 3 4\r\n5 61,30"             fails at ordinal 6 (decimal comma)
//   "1 2 3 4\r\n5 N12"               fails at ordinal 6 (letters)
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "common/text_reader.h"
#include "common/text_writer.h"

namespace survey {

// The elevation of a point read in the fixed layout without one.
constexpr double no_elevation = -999;

// The `register_point`. `number` is 0 in layouts without a number column;
// east is the drawing's X, north its Y, elevation its Z.
struct RegisterPoint {
    std::int64_t number = 0;
    double north = 0, east = 0, elevation = 0;
};

// --- The eight column layouts ------------------------------------------------

enum class Column : unsigned char { number, north, east, elevation };

struct RegisterLayout {
    int number;  // 1..8, as offered in the menu
    std::array<Column, 4> columns;
    std::size_t column_count;
    // The 41-character menu line, Windows-1251.
    std::string_view menu_text;

    bool has_number() const { return columns[0] == Column::number; }
    bool has_elevation() const { return columns[column_count - 1] == Column::elevation; }
};

constexpr int layout_count = 8;

// The layout with the given menu number (1..8).
const RegisterLayout& register_layout(int number);

// --- Reading ----------------------------------------------------------------

// `register_check`: reads the whole register once, a number token at a time
// across lines. Nothing when every token is a number; otherwise the ordinal
// (from 1) of the first token that is not. The reader is left at the end, or
// just after the bad token; open the file again before reading records.
std::optional<std::int64_t> register_check(common::TextReader& reader);

// Reads a record in a layout: the layout's columns in order, each skipping
// blanks, tabs and line ends first (a short line takes its missing values
// from the next one), then discards the rest of the line. The point number
// keeps its low-order 32 bits. Nothing when a column fails (a point number
// written with a decimal point, or the end of the file before a coordinate):
// the rest of the line then stays, and the next record starts right after
// the token that failed.
std::optional<RegisterPoint> read_in_layout(common::TextReader& reader, const RegisterLayout& layout);

// Reads a record in the fixed layout with its optional elevation: point
// number (low-order 32 bits kept), north, east, then the rest of the line
// without its leading and trailing blanks, when any, converted as a whole
// into the elevation ("45.5" gives 45.5; "45.5 7" or a tab before it gives
// 0). A line without more gives `no_elevation`; so does an elevation of
// exactly -999. Nothing when the number, north or east fails; the reader
// then stands right after the token that failed.
std::optional<RegisterPoint> read_fixed_with_elevation(common::TextReader& reader);

// Reads a record in the fixed layout without elevation: the point number as
// an unsigned whole number of which the low 16 bits count (0..65535), then
// north and east; the rest of the line is discarded. A bad token raises
// runtime error 106.
RegisterPoint read_fixed_without_elevation(common::TextReader& reader);

// --- Writing ----------------------------------------------------------------

// One register line: east, north and elevation as x:0:3, one blank between,
// CR LF ("512.678 471.120 61.300").
void write_register_point(common::TextWriter& writer, const RegisterPoint& point);

}  // namespace survey
