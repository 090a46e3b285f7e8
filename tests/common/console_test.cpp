#include "common/console.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "common/run_error.h"
#include "common/screen_renderer.h"
#include "common/scripted_console.h"
#include "common/typed_answer.h"

using common::Screen;
using common::ScriptedConsole;

namespace {

TEST(screen, go_to_outside_the_screen_leaves_the_cursor) {
    Screen screen;
    screen.go_to(10, 5);
    screen.go_to(81, 1);
    screen.go_to(1, 26);
    screen.go_to(0, 3);
    EXPECT_EQ(screen.column(), 10);
    EXPECT_EQ(screen.row(), 5);
}

TEST(screen, writing_wraps_and_scrolls) {
    Screen screen;
    screen.write("top");
    screen.go_to(80, 25);
    screen.write("x");  // the 80th character of row 25 scrolls
    EXPECT_EQ(screen.row_text(1).substr(0, 3), "   ");
    EXPECT_EQ(screen.cell(80, 24).character, 'x');
    EXPECT_EQ(screen.column(), 1);
    EXPECT_EQ(screen.row(), 25);

    Screen other;
    other.write("top");
    other.go_to(5, 24);
    other.write_line_end();  // row 24: only moves
    EXPECT_EQ(other.row(), 25);
    EXPECT_EQ(other.row_text(1).substr(0, 3), "top");
    other.write_line_end();  // row 25: scrolls
    EXPECT_EQ(other.row_text(1).substr(0, 3), "   ");
}

TEST(screen, backspace_bell_colour_and_clearing) {
    Screen screen;
    screen.set_colour(12);
    screen.write("ab\b");
    EXPECT_EQ(screen.column(), 2);
    screen.write("\a");
    EXPECT_EQ(screen.column(), 2);
    screen.go_to(1, 1);
    screen.write("\b");
    EXPECT_EQ(screen.column(), 1);
    EXPECT_EQ(screen.cell(1, 1).colour, 12);
    screen.go_to(2, 1);
    screen.set_colour(3);
    screen.clear_to_end_of_line();
    EXPECT_EQ(screen.cell(1, 1).character, 'a');
    EXPECT_EQ(screen.cell(2, 1).character, ' ');
    EXPECT_EQ(screen.cell(80, 1).colour, 3);
    EXPECT_EQ(screen.column(), 2);
    screen.clear();
    EXPECT_EQ(screen.cell(1, 1).character, ' ');
    EXPECT_EQ(screen.column(), 1);

    // A value from a file moves nothing: each control byte takes a cell and
    // shows as "?", so that the frame around it stays.
    screen.write_value("a\b\a\x1b[2J\r\n\x7F\t");
    EXPECT_EQ(screen.column(), 12);
    EXPECT_EQ(screen.text().substr(0, 12), "a???[2J????\n");
}

TEST(screen, a_text_writes_as_its_bytes_one_by_one) {
    // Texts are written in runs; the cells, the cursor and the scrolling
    // must be those of writing each byte alone.
    std::mt19937_64 random(25);
    for (int i = 0; i < 2000; ++i) {
        std::string text;
        const std::size_t length = random() % 200;
        for (std::size_t n = 0; n < length; ++n) {
            const std::uint64_t r = random() % 40;
            text += r == 0 ? '\a' : r == 1 ? '\b' : static_cast<char>('A' + r);
        }
        Screen runs;
        Screen bytes;
        const int column = 1 + static_cast<int>(random() % 80);
        const int row = 1 + static_cast<int>(random() % 25);
        for (Screen* screen : {&runs, &bytes}) {
            screen->write("row one");
            screen->set_colour(static_cast<int>(i % 16));
            screen->go_to(column, row);
        }
        runs.write(text);
        for (const char c : text) bytes.write(c);
        ASSERT_EQ(runs.column(), bytes.column()) << text;
        ASSERT_EQ(runs.row(), bytes.row()) << text;
        for (int r = 1; r <= Screen::rows; ++r) {
            for (int c = 1; c <= Screen::columns; ++c) ASSERT_TRUE(runs.cell(c, r) == bytes.cell(c, r)) << text;
        }
    }
}

TEST(screen, text_is_utf8_without_trailing_blanks) {
    Screen screen;
    screen.write("\xC4\xE0 ");  // "Да " in Windows-1251
    const std::string text = screen.text();
    EXPECT_EQ(text.substr(0, text.find('\n')), "\xD0\x94\xD0\xB0");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 25);
}

// The runs of changed cells, as both window backends draw them.
std::string runs_of(common::ScreenRenderer& renderer, const Screen& screen, int width, int height) {
    std::string runs = renderer.start_frame(width, height) ? "whole" : "";
    renderer.draw_changes(screen, [&](const common::ScreenRenderer::Run& run) {
        runs += " " + std::to_string(run.row) + ":" + std::to_string(run.first) + "-" + std::to_string(run.last);
    });
    return runs;
}

TEST(screen_renderer, draws_the_runs_of_changed_cells) {
    common::ScreenRenderer renderer;
    Screen screen;
    std::string whole = "whole";
    for (int row = 1; row <= Screen::rows; ++row) whole += " " + std::to_string(row) + ":1-80";
    EXPECT_EQ(runs_of(renderer, screen, 80, 25), whole);
    EXPECT_EQ(runs_of(renderer, screen, 80, 25), "");  // nothing changed
    screen.go_to(10, 3);
    screen.write("ab");
    screen.go_to(14, 3);
    screen.write("c");
    screen.set_colour(12);
    screen.go_to(80, 25);
    // A colour alone is a change; the screen scrolls, and its new row takes
    // the colour.
    screen.write_value(" ");
    EXPECT_EQ(runs_of(renderer, screen, 80, 25), " 2:10-11 2:14-14 24:80-80 25:1-80");
    EXPECT_EQ(runs_of(renderer, screen, 80, 25), "");
    screen.set_colour(7);
    screen.go_to(10, 2);
    screen.write("a");  // a cell written again with what it shows
    EXPECT_EQ(runs_of(renderer, screen, 80, 25), "");
    screen.go_to(1, 1);
    screen.write("\x01");
    EXPECT_EQ(runs_of(renderer, screen, 80, 25), " 1:1-1");
    // A window too small: what fits, its last row kept for the message,
    // every cell drawn anew; the cursor stays inside.
    EXPECT_EQ(runs_of(renderer, screen, 30, 3), "whole 1:1-30 2:1-30");
    EXPECT_EQ(renderer.cursor_column(screen), 2);
    screen.go_to(50, 20);
    EXPECT_EQ(renderer.cursor_column(screen), 30);
    EXPECT_EQ(renderer.cursor_row(screen), 2);
    renderer.lose();
    EXPECT_EQ(runs_of(renderer, screen, 30, 3), "whole 1:1-30 2:1-30");
}

TEST(keyboard_line_input, editing_keys) {
    ScriptedConsole console;
    console.type("abc\b\bX");
    console.press(common::key_left);
    console.type("Y");
    console.press(common::key_right);
    console.type("Z\n");
    console.go_to(5, 3);
    EXPECT_EQ(console.read_line(), "aYXZ");
    EXPECT_EQ(console.screen().row_text(3).substr(4, 6), "aYXZ  ");
    EXPECT_EQ(console.screen().column(), 1);
    EXPECT_EQ(console.screen().row(), 4);

    ScriptedConsole escape("abc\x1b" "de\n");
    EXPECT_EQ(escape.read_line(), "de");
}

TEST(keyboard_line_input, at_most_254_characters) {
    ScriptedConsole console(std::string(300, 'a') + "\n");
    EXPECT_EQ(console.read_line().size(), 254u);
}

TEST(keys, a_key_without_a_character_is_a_zero_and_its_code) {
    ScriptedConsole console;
    console.press(common::key_f1);
    EXPECT_TRUE(console.key_pressed());
    EXPECT_EQ(console.read_key(), 0);
    EXPECT_TRUE(console.key_pressed());  // the code is still pending
    EXPECT_EQ(console.read_key(), static_cast<char>(common::key_f1));
    EXPECT_FALSE(console.key_pressed());
}

TEST(keys, running_out_of_keys_is_reported) {
    ScriptedConsole console("1");
    EXPECT_EQ(console.read_key(), '1');
    try {
        console.read_key();
        FAIL() << "no error";
    } catch (const common::RunError& error) {
        EXPECT_EQ(error.code(), common::error_keyboard_ended);
    }
    console.final_key();  // the last wait of a run counts as answered
}

TEST(keys, numbers_typed_as_answers) {
    // By hand, a bad answer is refused in place and asked again, and one
    // comma is a real's decimal point; piped, it ends the run with 106.
    enum Kind { real, integer, decimals };
    const struct {
        const char* legend;
        const char* keys;
        bool by_hand;
        Kind kind;
        double value;  // or the error's code
        int error = 0;
    } cases[] = {
        {"the first token; the rest of the line is passed over", "  0.5 rest\n", false, real, 0.5},
        {"an empty line waits for the next", "\n 12\n", false, integer, 12},
        {"piped, a decimal comma is no number", "1,5\n", false, real, 0, 106},
        {"piped, letters are no number", "abc\n2\n", false, real, 0, 106},
        {"by hand, a decimal comma is a point", "2,5\n", true, real, 2.5},
        {"by hand, letters are asked again", "abc\n2\n", true, real, 2},
        {"by hand, two commas are asked again", "1,2,3\n4\n", true, real, 4},
        {"by hand, a comma is no whole number", "1,5\n7\n", true, integer, 7},
        {"by hand, a value below the lowest is asked again", "-1\n3\n", true, decimals, 3},
        {"by hand, the keys then run out", "abc\n", true, real, 0, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        ScriptedConsole console(c.keys);
        console.by_hand = c.by_hand;
        console.go_to(40, 3);
        auto read = [&]() -> double {
            if (c.kind == real) return common::read_real_answer(console, "height");
            return static_cast<double>(common::read_integer_answer(console, "decimals", c.kind == decimals ? 0 : -9));
        };
        if (c.error != 0) {
            try {
                read();
                ADD_FAILURE() << "no error";
            } catch (const common::RunError& error) {
                EXPECT_EQ(error.code(), c.error);
            }
            continue;
        }
        EXPECT_DOUBLE_EQ(read(), c.value);
        // A note on a refused answer is gone once one is taken.
        EXPECT_EQ(console.screen().row_text(Screen::rows), std::string(Screen::columns, ' '));
    }
}

TEST(keys, a_refused_answer_is_noted_on_the_bottom_row) {
    ScriptedConsole console("abc rest\n");
    console.by_hand = true;
    EXPECT_THROW(common::read_real_answer(console, "height"), common::RunError);
    EXPECT_EQ(console.screen().row_text(Screen::rows).substr(0, 36), "Not accepted: \"abc\" - type it again ");
    EXPECT_EQ(console.screen().row_text(1), std::string(Screen::columns, ' '));
}

TEST(keys, given_answers_are_typed_as_the_question_comes) {
    common::GivenAnswers answers;
    answers.add("height", "7.5", "7.5\r");
    answers.add("station", "12", "12\r", true);
    answers.add("station", "13", "13\r", true);
    ScriptedConsole console;
    console.give(std::move(answers));
    EXPECT_DOUBLE_EQ(common::read_real_answer(console, "height"), 7.5);
    EXPECT_EQ(console.screen().row_text(1).substr(0, 4), "7.5 ");
    // Given once, it answers every asking; repeated ones go one by one.
    EXPECT_DOUBLE_EQ(common::read_real_answer(console, "height"), 7.5);
    EXPECT_EQ(common::read_int32_answer(console, "station"), 12);
    EXPECT_EQ(common::read_int32_answer(console, "station"), 13);
    EXPECT_FALSE(console.given().has("station"));
    // Nothing was asked of the keyboard: the last wait is no wait.
    console.final_key();
    EXPECT_THROW(common::read_int32_answer(console, "station"), common::RunError);
}

}  // namespace
