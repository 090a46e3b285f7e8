#include "kml/choice_menu.h"

#include <array>

#include "common/cp1251.h"

namespace kml {

namespace {

using common::Cp1251Text;

constexpr int answer_column = 45;

constexpr Cp1251Text kmlmarks_notation_header{"  Варианти на запис на координати:             "};
constexpr Cp1251Text notation_header{"  Варианти на записа на координатите:          "};
constexpr Cp1251Text field_order_header{"  Варианти на последователност в записа:       "};
constexpr Cp1251Text question{"                   Кой е вашият вариант ?  ( ) "};

constexpr Cp1251Text decimal_degrees{"   - градуси с десетични части от градуса  (1) "};
constexpr Cp1251Text degrees_minutes{"   - градуси, минути с десетични части     (2) "};
constexpr Cp1251Text degrees_minutes_seconds{"   - градуси, минути, секунди с дес. ч-ти  (3) "};

constexpr Cp1251Text number_latitude_longitude{"   - номер, геогр. ширина, геогр. дължина  (1) "};
constexpr Cp1251Text number_longitude_latitude{"   - номер, геогр. дължина, геогр. ширина  (2) "};
constexpr Cp1251Text latitude_longitude_name{"   - геогр. ширина, геогр. дължина, име    (3) "};
constexpr Cp1251Text longitude_latitude_name{"   - геогр. дължина, геогр. ширина, име    (4) "};

constexpr std::array<std::string_view, 3> notations{decimal_degrees, degrees_minutes, degrees_minutes_seconds};
constexpr std::array<std::string_view, 4> field_orders{number_latitude_longitude, number_longitude_latitude,
                                                       latitude_longitude_name, longitude_latitude_name};

constexpr bool all_47_wide() {
    for (const std::string_view line : {kmlmarks_notation_header.view(), notation_header.view(),
                                        field_order_header.view(), question.view()}) {
        if (line.size() != 47) return false;
    }
    for (const std::string_view line : notations) {
        if (line.size() != 47) return false;
    }
    for (const std::string_view line : field_orders) {
        if (line.size() != 47) return false;
    }
    return true;
}
static_assert(all_47_wide(), "every menu line is 47 characters wide");

}  // namespace

constexpr ChoiceMenu kmlmarks_notation_menu{kmlmarks_notation_header, notations};
constexpr ChoiceMenu notation_menu{notation_header, notations};
constexpr ChoiceMenu field_order_menu{field_order_header, field_orders};

int question_offset(const ChoiceMenu& menu) {
    return static_cast<int>(menu.options.size()) + 3;
}

void show_choice_menu(common::Console& console, const ChoiceMenu& menu) {
    console.write(menu.header);
    console.write_line_end();
    console.write_line_end();
    for (const std::string_view option : menu.options) {
        console.write(option);
        console.write_line_end();
    }
    console.write_line_end();
    console.write(question);
}

char answer_choice_menu(common::Console& console, const ChoiceMenu& menu, int question_row,
                        std::string_view question) {
    console.type_given(question);
    const char last = static_cast<char>('0' + menu.options.size());
    for (;;) {
        console.go_to(answer_column, question_row);
        const char key = console.read_key();
        console.go_to(answer_column, question_row);
        console.write_value(std::string_view(&key, 1));
        if (key >= '1' && key <= last) return key;
    }
}

}  // namespace kml
