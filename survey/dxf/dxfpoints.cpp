#include "survey/dxf/dxfpoints.h"

#include <array>

#include "common/cp1251.h"
#include "common/text_writer.h"
#include "survey/register/dialogue.h"

namespace survey {

namespace {

constexpr common::Cp1251Text title{"           От AutoCAD *.DXF формат - към координатен регистър"};
constexpr common::Cp1251Text input_prompt{"                       Чете от  *.DXF  файл ? :"};
constexpr common::Cp1251Text output_prompt{"                       Пише  в  *.TXT  Файл ? :"};
constexpr common::Cp1251Text point_mark{"т. "};
constexpr common::Cp1251Text skipped_points{"Пропуснати точки без X или Y :"};
constexpr common::Cp1251Text finished{"Регистъра е завършен.  "};

constexpr std::array<PlacedText, 3> screen_texts{{
    {10, 6, title},
    {5, 9, input_prompt},
    {5, 11, output_prompt},
}};

constexpr int answer_column = 54;

// Reads the value after a group code line and discards the rest of its
// line; false when the drawing ends first.
bool read_value(common::TextReader& drawing, double& value) {
    if (drawing.seek_eof()) return false;
    value = drawing.read_real();
    drawing.skip_line();
    return true;
}

}  // namespace

std::optional<RegisterPoint> read_point_entity(common::TextReader& drawing) {
    RegisterPoint point;
    bool has_east = false;
    bool has_north = false;
    bool has_elevation = false;
    // Without the end at the next entity a 2D point (no " 30") would take
    // its elevation, and a point missing a coordinate its coordinates, from
    // the points after it.
    while (!(has_east && has_north && has_elevation) && !drawing.eof()) {
        const std::string_view line = drawing.read_line();
        if (line == "  0") break;
        if (line == " 10" && !has_east) {
            has_east = read_value(drawing, point.east);
        } else if (line == " 20" && !has_north) {
            has_north = read_value(drawing, point.north);
        } else if (line == " 30" && !has_elevation) {
            has_elevation = read_value(drawing, point.elevation);
        }
    }
    if (!has_east || !has_north) return std::nullopt;
    return point;
}

int run_dxfpoints(common::Console& console, const std::filesystem::path& folder) {
    show_first_screen(console, screen_texts);

    const NamedFile input = ask_file_name(console, folder, answer_column, 9);
    auto drawing = open_input(console, input, 23);
    if (!drawing) return 0;
    const NamedFile output = ask_file_name(console, folder, answer_column, 11);
    common::TextWriter file = create_output(output, input);

    std::int64_t point_count = 0;
    std::int64_t skipped = 0;
    while (!drawing->eof()) {
        if (drawing->read_line() != "POINT") continue;
        if (const auto point = read_point_entity(*drawing)) {
            write_register_point(file, *point);
            show_count(console, 64, 11, point_mark, ++point_count, 8);
        } else {
            show_count(console, 33, 13, skipped_points, ++skipped, 12);
        }
    }
    drawing.reset();
    file.close();

    show_end(console, 18, finished);
    return 0;
}

}  // namespace survey
