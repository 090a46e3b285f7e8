// The coordinate register: the plain text list of surveyed points that the
// surveying programs pass to one another. One point per line, numbers only,
// separated by blanks or tabs; no header, names or comments. Blank lines
// between the points are passed over.
//
// Eight column layouts (1..8) say which numbers a line holds and in which
// order; the fixed layout is number, north, east and an optional elevation.
// A record is read from its own line only: a line never lends numbers to
// the one before it, and numbers beyond the record's columns are ignored.
// Point numbers are whole signed 32-bit numbers; one beyond that range is
// an invalid number (runtime error 106), never wrapped. Records are written
// as east, north, elevation (layout 7), three decimals each.
//
// Legal and illegal registers (the number check):
//   "1 471.120 512.678 61.30\r\n"   passes
//   "\r\n\r\n"                       passes (blank lines only)
//   "1 2 3 4\r\n\r\n\r\n"            passes (blank lines after the last line)
//   ""                               fails at ordinal 1, line 1 (nothing at all)
//   "1 2 3 4\r\n5 61,30"             fails at ordinal 6, line 2 (decimal comma)
//   "1 2 3 4\r\n5 N12"               fails at ordinal 6, line 2 (letters)
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "common/run_error.h"
#include "common/text_reader.h"
#include "common/text_writer.h"

namespace survey {

// The elevation of a point read in the fixed layout without one.
constexpr double no_elevation = -999;

// The `register_point`. `number` is 0 in layouts without a number column;
// east is the drawing's X, north its Y, elevation its Z.
struct RegisterPoint {
    std::int32_t number = 0;
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

// Where the number check stopped: the ordinal (from 1) of the first token
// that is not a number, counted across the whole file, and its line.
struct BadToken {
    std::int64_t ordinal;
    long line;
};

// `register_check`: reads the whole register once, a number token at a time
// across lines. Nothing when every token is a number. The reader is left at
// the end, or just after the bad token; open the file again before reading
// records.
std::optional<BadToken> register_check(common::TextReader& reader);

// A record as read from its line. Every read but the one that finds the end
// leaves the reader at the start of the next line.
struct RegisterRecord {
    enum class Kind {
        point,
        // Every column of the layout but its elevation, the last: a plane
        // point, elevation 0.
        plane_point,
        // Too few numbers, or a token that is not a number of the needed
        // kind (a point number 12.0 or 1e3): nothing of the line is used.
        left_out,
        // Only blanks and line ends were left: no record.
        end,
    };
    Kind kind = Kind::end;
    RegisterPoint point;
    long line = 0;  // the line of the record
};

// Reads a record in a layout: the layout's columns in order, then discards
// the rest of the line.
RegisterRecord read_in_layout(common::TextReader& reader, const RegisterLayout& layout);

// Reads a record in the fixed layout with its optional elevation: point
// number, north, east and, when the line holds a fourth number, that number
// as the elevation; numbers after it are ignored. A line without a fourth
// number gives `no_elevation`, and so does an elevation of exactly -999.
// Never a plane point: the elevation tells.
RegisterRecord read_fixed_with_elevation(common::TextReader& reader);

// Reads a record in the fixed layout without elevation: point number, north
// and east; the rest of the line is discarded. A token that is not a number
// of the needed kind, or a line that ends before east, raises runtime error
// 106.
RegisterPoint read_fixed_without_elevation(common::TextReader& reader);

// Runtime error 106 for a line that lacks a number where one is due:
// "invalid numeric format: east missing (reg.txt, line 2)".
common::RunError invalid_line(std::string_view file_name, long line, std::string_view what);

// --- Writing ----------------------------------------------------------------

// One register line: east, north and elevation as x:0:3, one blank between,
// CR LF ("512.678 471.120 61.300").
void write_register_point(common::TextWriter& writer, const RegisterPoint& point);

}  // namespace survey
