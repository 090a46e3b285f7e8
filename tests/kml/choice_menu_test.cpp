#include "kml/choice_menu.h"

#include <gtest/gtest.h>

#include "common/cp1251.h"
#include "common/run_error.h"
#include "common/scripted_console.h"

using common::ScriptedConsole;

namespace {

// The menu with its header on row 7, as kmlmarks places its first one.
void show_on_row_7(ScriptedConsole& console, const kml::ChoiceMenu& menu) {
    console.go_to(1, 7);
    kml::show_choice_menu(console, menu);
}

std::string row_utf8(const ScriptedConsole& console, int row) {
    std::string text = common::cp1251_to_utf8(console.screen().row_text(row));
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

TEST(choice_menu, layout_of_three_and_four_options) {
    const struct {
        const char* legend;
        const kml::ChoiceMenu& menu;
        int question_row;
        const char* first_option;
    } cases[] = {
        {"notations: question on row r+6", kml::kmlmarks_notation_menu, 13,
         "   - градуси с десетични части от градуса  (1)"},
        {"field orders: question on row r+7", kml::field_order_menu, 14,
         "   - номер, геогр. ширина, геогр. дължина  (1)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        ScriptedConsole console;
        show_on_row_7(console, c.menu);
        EXPECT_EQ(console.screen().row(), c.question_row);
        EXPECT_EQ(console.screen().column(), 48);
        EXPECT_EQ(7 + kml::question_offset(c.menu), c.question_row);
        EXPECT_EQ(row_utf8(console, 8), "");
        EXPECT_EQ(row_utf8(console, 9), c.first_option);
        EXPECT_EQ(row_utf8(console, c.question_row - 1), "");
        EXPECT_EQ(row_utf8(console, c.question_row), "                   Кой е вашият вариант ?  ( )");
    }
}

TEST(choice_menu, the_two_notation_headers) {
    ScriptedConsole console;
    show_on_row_7(console, kml::notation_menu);
    EXPECT_EQ(row_utf8(console, 7), "  Варианти на записа на координатите:");
    show_on_row_7(console, kml::kmlmarks_notation_menu);
    EXPECT_EQ(row_utf8(console, 7), "  Варианти на запис на координати:");
}

TEST(choice_menu, keys_outside_the_menu_are_refused) {
    const struct {
        const char* legend;
        const kml::ChoiceMenu& menu;
        const char* keys;
        char answer;
    } cases[] = {
        {"7 then 2", kml::kmlmarks_notation_menu, "72", '2'},
        {"4 is no notation", kml::notation_menu, "403", '3'},
        {"4 is a field order", kml::field_order_menu, "4", '4'},
        {"Enter and blanks are refused", kml::field_order_menu, "\n 51", '1'},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        ScriptedConsole console(c.keys);
        show_on_row_7(console, c.menu);
        const int row = console.screen().row();
        EXPECT_EQ(kml::answer_choice_menu(console, c.menu, row, "notation"), c.answer);
        EXPECT_EQ(console.screen().cell(45, row).character, c.answer);
        EXPECT_EQ(console.screen().row_text(row).substr(43, 3), std::string("(") + c.answer + ")");
        EXPECT_EQ(console.keys_left(), 0u);
    }
}

TEST(choice_menu, a_refused_key_stays_in_the_cell_until_the_next_key) {
    ScriptedConsole console("7");
    show_on_row_7(console, kml::kmlmarks_notation_menu);
    try {
        kml::answer_choice_menu(console, kml::kmlmarks_notation_menu, 13, "notation");
        ADD_FAILURE() << "answered without a menu key";
    } catch (const common::RunError& error) {
        EXPECT_EQ(error.code(), common::error_keyboard_ended);
    }
    EXPECT_EQ(console.screen().cell(45, 13).character, '7');
}

TEST(choice_menu, a_cursor_key_is_refused_as_its_two_codes) {
    ScriptedConsole console;
    console.press(common::key_left);
    console.type("2");
    show_on_row_7(console, kml::notation_menu);
    EXPECT_EQ(kml::answer_choice_menu(console, kml::notation_menu, 13, "notation"), '2');
}

}  // namespace
