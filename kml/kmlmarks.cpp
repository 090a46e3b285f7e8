// kmlmarks: the points of a list that lie inside the selection window, as
// a placemark document.
//
//  3        Приема точки от файл    (*.txt) ? : points.txt
//  4        Записва скрипт във файл (*.kml) ? : points.kml
//  7  notation menu, question on row 13
// 15  field-order menu, question on row 22
// 24                     Брой точки: 3   / 2   Списъка - завършен ...
#include <utility>

#include "common/field_format.h"
#include "kml/choice_menu.h"
#include "kml/dialogue.h"
#include "kml/programs.h"
#include "kml/selection_window.h"

namespace kml {

namespace {

constexpr common::Cp1251Text list_prompt{"        Приема точки от файл    (*.txt) ? : "};
constexpr common::Cp1251Text document_prompt{"        Записва скрипт във файл (*.kml) ? : "};
constexpr common::Cp1251Text finished{"   Списъка - завършен ... "};
constexpr int count_column = 20;

}  // namespace

int run_kmlmarks(common::Console& console, const std::filesystem::path& folder) {
    console.clear_screen();
    line_ends(console, 2);
    const SelectionWindow selection_window = read_selection_window(folder);

    auto files = ask_files(console, folder, list_prompt, document_prompt);
    if (!files) return common::exit_input_missing;

    line_ends(console, 2);
    show_choice_menu(console, kmlmarks_notation_menu);
    line_ends(console, 2);
    show_choice_menu(console, field_order_menu);
    // The questions are found back from the cursor, so that names long
    // enough to wrap, or to scroll the screen, cannot move the answer cells
    // out of their parentheses; the line ends below the menus follow the
    // answers, so that a scroll they cause comes after them too.
    const int order_row = console.screen().row();
    const int notation_row = order_row - 2 - question_offset(field_order_menu);
    const auto angle_notation =
        static_cast<AngleNotation>(answer_choice_menu(console, kmlmarks_notation_menu, notation_row, "notation"));
    const auto field_order = static_cast<FieldOrder>(answer_choice_menu(console, field_order_menu, order_row, "order"));
    line_ends(console, 2);
    const int count_row = console.screen().row();

    PointDocument document(files->create_document(), placemark_document);
    PointList point_list(std::move(files->point_list), angle_notation, field_order);
    std::int64_t points_read = 0;
    std::int64_t points_written = 0;
    // Shown at 0 first, so that an empty list is counted too.
    common::show_count(console, count_column, count_row, count_of_points, points_read);
    convert_list(point_list, document, [&](const PointRecord& point_record) {
        if (selection_window.contains(point_record)) {
            ++points_written;
            document.add(point_record);
        }
        common::show_count(console, count_column, count_row, count_of_points, ++points_read);
    });

    console.write("   / ");
    console.write(common::integer(points_written));
    console.write(finished);
    console.final_key();
    return 0;
}

}  // namespace kml
