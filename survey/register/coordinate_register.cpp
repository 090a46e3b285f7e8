#include "survey/register/coordinate_register.h"

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

// The point number field of the script programs is signed 32-bit: a number
// beyond it keeps its low-order bits.
std::int64_t low_32_bits(std::int64_t value) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// Reads one column into the point; false when its token fails.
bool read_column(common::TextReader& reader, Column column, RegisterPoint& point) {
    if (column == Column::number) {
        const auto value = reader.try_read_integer();
        if (!value) return false;
        point.number = low_32_bits(*value);
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

std::string_view without_blanks_around(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

const RegisterLayout& register_layout(int number) {
    return layouts.at(static_cast<std::size_t>(number - 1));
}

std::optional<std::int64_t> register_check(common::TextReader& reader) {
    // Tokens are counted across the whole file, not per line. Blanks and
    // line ends after the last token read as 0 and leave the file at its end.
    std::int64_t ordinal = 0;
    do {
        ++ordinal;
        if (!reader.try_read_real()) return ordinal;
    } while (!reader.eof());
    return std::nullopt;
}

std::optional<RegisterPoint> read_in_layout(common::TextReader& reader, const RegisterLayout& layout) {
    RegisterPoint point;
    for (std::size_t i = 0; i < layout.column_count; ++i) {
        if (!read_column(reader, layout.columns[i], point)) return std::nullopt;
    }
    reader.skip_line();
    return point;
}

std::optional<RegisterPoint> read_fixed_with_elevation(common::TextReader& reader) {
    RegisterPoint point;
    point.elevation = no_elevation;
    for (const Column column : {Column::number, Column::north, Column::east}) {
        if (!read_column(reader, column, point)) return std::nullopt;
    }
    if (reader.eoln()) {
        reader.skip_line();
        return point;
    }
    // Only blanks (not tabs) are trimmed: an elevation set off by a tab is
    // not one number and reads as 0.
    const std::string_view rest = without_blanks_around(reader.read_line());
    if (!rest.empty()) point.elevation = common::to_real(rest);
    return point;
}

RegisterPoint read_fixed_without_elevation(common::TextReader& reader) {
    RegisterPoint point;
    point.number = static_cast<std::uint16_t>(static_cast<std::uint64_t>(reader.read_integer()));
    point.north = reader.read_real();
    point.east = reader.read_real();
    reader.skip_line();
    return point;
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
