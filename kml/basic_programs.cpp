// kmlmarks_basic and kmlpath: one dialogue over numbered lists (point
// number, latitude, longitude) in any notation, writing every point as a
// placemark, or every point as a vertex of one path.
//
//  3  Приема (id latitude longitude) от файл (*.txt) ? : points.txt
//  4  Записва *.KML script формат във файл   (*.kml) ? : points.kml
//  6  notation menu, question on row 12
// 14                 Брой точки: 3        (kmlpath: Брой върхове: 3)
// 16  Списъка - завършен ...
#include <utility>

#include "kml/choice_menu.h"
#include "kml/dialogue.h"
#include "kml/programs.h"

namespace kml {

namespace {

constexpr common::Cp1251Text list_prompt{"  Приема (id latitude longitude) от файл (*.txt) ? : "};
constexpr common::Cp1251Text document_prompt{"  Записва *.KML script формат във файл   (*.kml) ? : "};
constexpr common::Cp1251Text count_of_vertices{"Брой върхове: "};
constexpr common::Cp1251Text finished{"  Списъка - завършен ... "};
constexpr int count_column = 17;

int run_numbered_list(common::Console& console, const std::filesystem::path& folder, const DocumentKind& kind,
                      std::string_view count_label) {
    console.clear_screen();
    line_ends(console, 2);
    auto files = ask_files(console, folder, list_prompt, document_prompt);
    if (!files) return common::exit_input_missing;

    line_ends(console, 1);
    show_choice_menu(console, notation_menu);
    const int question_row = console.screen().row();
    const auto angle_notation = static_cast<AngleNotation>(answer_choice_menu(console, notation_menu, question_row, "notation"));
    // The count stands two rows below the question, wherever long names
    // pushed it.
    line_ends(console, 2);
    const int count_row = console.screen().row();

    PointDocument document(files->create_document(), kind);
    PointList point_list(std::move(files->point_list), angle_notation, FieldOrder::number_latitude_longitude);
    std::int64_t points_read = 0;
    // Shown at 0 first, so that an empty list is counted too.
    common::show_count(console, count_column, count_row, count_label, points_read);
    convert_list(point_list, document, [&](const PointRecord& point_record) {
        document.add(point_record);
        common::show_count(console, count_column, count_row, count_label, ++points_read);
    });

    line_ends(console, 2);
    console.write(finished);
    console.final_key();
    return 0;
}

}  // namespace

int run_kmlmarks_basic(common::Console& console, const std::filesystem::path& folder) {
    return run_numbered_list(console, folder, placemark_document, count_of_points);
}

int run_kmlpath(common::Console& console, const std::filesystem::path& folder) {
    return run_numbered_list(console, folder, path_document, count_of_vertices);
}

}  // namespace kml
