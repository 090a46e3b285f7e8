#include "survey/register/coordinate_register.h"

#include <span>
#include <string>

#include "common/cp1251.h"
#include "common/field_format.h"

namespace survey {

namespace {

constexpr common::Cp1251Text menu_1{"       номер  север  изток надм.вис.  - 1"};
constexpr common::Cp1251Text menu_2{"       номер  север  изток            - 2"};
constexpr common::Cp1251Text menu_3{"              север  изток надм.вис.  - 3"};
constexpr common::Cp1251Text menu_4{"              север  изток            - 4"};
constexpr common::Cp1251Text menu_5{"       номер  изток  север надм.вис.  - 5"};
constexpr common::Cp1251Text menu_6{"       номер  изток  север            - 6"};
constexpr common::Cp1251Text menu_7{"              изток  север надм.вис.  - 7"};
constexpr common::Cp1251Text menu_8{"              изток  север            - 8"};

using enum Column;

constexpr std::array<RegisterLayout, layout_count> layouts{{
    {1, {number, north, east, elevation}, 4, menu_1.view()},
    {2, {number, north, east}, 3, menu_2.view()},
    {3, {north, east, elevation}, 3, menu_3.view()},
    {4, {north, east}, 2, menu_4.view()},
    {5, {number, east, north, elevation}, 4, menu_5.view()},
    {6, {number, east, north}, 3, menu_6.view()},
    {7, {east, north, elevation}, 3, menu_7.view()},
    {8, {east, north}, 2, menu_8.view()},
}};

// Reads one column into the point; false when its token is not a number of
// the needed kind. A point number beyond 32 bits raises runtime error 106.
bool read_column(common::TextReader& reader, Column column, RegisterPoint& point) {
    if (column == Column::number) {
        const auto value = reader.try_read_int32();
        if (!value) return false;
        point.number = *value;
        return true;
    }
    const auto value = reader.try_read_real();
    if (!value) return false;
    switch (column) {
        case Column::north: point.north = *value; break;
        case Column::east: point.east = *value; break;
        default: point.elevation = *value; break;
    }
    return true;
}

// Reads the columns in order from the line the reader stands on: how many
// were read before the line ended; nothing when a token fails.
std::optional<std::size_t> read_columns(common::TextReader& reader, std::span<const Column> columns,
                                        RegisterPoint& point) {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i > 0 && reader.seek_eoln()) return i;
        if (!read_column(reader, columns[i], point)) return std::nullopt;
    }
    return columns.size();
}

// A real column that must stand on the record's line: a line that ends
// before it raises runtime error 106.
double real_on_the_line(common::TextReader& reader, std::string_view column) {
    if (reader.seek_eoln()) {
        throw invalid_line(reader.name(), reader.line_number(), std::string(column) + " missing");
    }
    return reader.read_real();
}

// A record starts at the next token, blank lines passed over.
bool record_starts(common::TextReader& reader, RegisterRecord& record) {
    if (reader.seek_eof()) return false;
    record.line = reader.line_number();
    return true;
}

}  // namespace

const RegisterLayout& register_layout(int number) {
    return layouts.at(static_cast<std::size_t>(number - 1));
}

std::optional<BadToken> register_check(common::TextReader& reader) {
    // Tokens are counted across the whole file, not per line. Blanks and
    // line ends after the last token read as 0 and leave the file at its end.
    std::int64_t ordinal = 0;
    do {
        ++ordinal;
        if (!reader.try_read_real()) return BadToken{ordinal, reader.line_number()};
    } while (!reader.eof());
    return std::nullopt;
}

RegisterRecord read_in_layout(common::TextReader& reader, const RegisterLayout& layout) {
    RegisterRecord record;
    if (!record_starts(reader, record)) return record;
    using enum RegisterRecord::Kind;
    const auto read = read_columns(reader, {layout.columns.data(), layout.column_count}, record.point);
    if (read == layout.column_count) {
        record.kind = point;
    } else if (read == layout.column_count - 1 && layout.has_elevation()) {
        record.kind = plane_point;
    } else {
        record.kind = left_out;
    }
    reader.skip_line();
    return record;
}

RegisterRecord read_fixed_with_elevation(common::TextReader& reader) {
    RegisterRecord record;
    if (!record_starts(reader, record)) return record;
    using enum Column;
    constexpr std::array<Column, 4> columns{number, north, east, elevation};
    record.point.elevation = no_elevation;
    const auto read = read_columns(reader, columns, record.point);
    record.kind = read >= columns.size() - 1 ? RegisterRecord::Kind::point : RegisterRecord::Kind::left_out;
    reader.skip_line();
    return record;
}

RegisterPoint read_fixed_without_elevation(common::TextReader& reader) {
    RegisterPoint point;
    point.number = reader.read_int32();
    point.north = real_on_the_line(reader, "north");
    point.east = real_on_the_line(reader, "east");
    reader.skip_line();
    return point;
}

common::RunError invalid_line(std::string_view file_name, long line, std::string_view what) {
    return common::RunError(common::error_invalid_numeric_format, "invalid numeric format: " + std::string(what) +
                                                                      " (" + std::string(file_name) + ", line " +
                                                                      std::to_string(line) + ")");
}

void write_register_point(common::TextWriter& writer, const RegisterPoint& point) {
    writer.write(common::fixed(point.east, 0, 3));
    writer.write(' ');
    writer.write(common::fixed(point.north, 0, 3));
    writer.write(' ');
    writer.write(common::fixed(point.elevation, 0, 3));
    writer.line_end();
}

}  // namespace survey
