// The one-key menus of the KML programs: the angle notation and, in
// kmlmarks, the field order of the point list.
//
// A menu is written at the cursor from column 1: its header, an empty line,
// its options, an empty line and its question, every line 47 characters:
//
//     "  Варианти на запис на координати:             "
//     ""
//     "   - градуси с десетични части от градуса  (1) "
//     ...
//     ""
//     "                   Кой е вашият вариант ?  ( ) "
//
// The answer is one key, shown in the cell between the parentheses
// (column 45 of the question's row); other keys are shown there too, and
// refused, until one of the menu's keys comes.
#pragma once

#include <span>
#include <string_view>

#include "common/console.h"

namespace kml {

struct ChoiceMenu {
    std::string_view header;
    std::span<const std::string_view> options;  // keys "1", "2", ...
};

// Notations, as kmlmarks heads them and as kmlmarks_basic and kmlpath do.
extern const ChoiceMenu kmlmarks_notation_menu;
extern const ChoiceMenu notation_menu;
extern const ChoiceMenu field_order_menu;

// The rows from a menu's header down to its question.
int question_offset(const ChoiceMenu& menu);

// Writes the menu at the cursor; the cursor stays after the question.
void show_choice_menu(common::Console& console, const ChoiceMenu& menu);

// Waits in the answer cell of the question on `question_row` until one of
// the menu's keys is pressed, and returns it ('1', '2', ...). `question`
// names it for an answer given as an argument ("notation").
char answer_choice_menu(common::Console& console, const ChoiceMenu& menu, int question_row,
                        std::string_view question);

}  // namespace kml
