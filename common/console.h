// The console: an 80 x 25 screen model and the keyboard.
//
// Every console operation acts on the model (`Screen`) only; a backend shows
// the model (terminal), prints it at the end (stream) or lets a test inspect
// it (scripted). Cells hold one Windows-1251 byte and one colour.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/cp1251.h"
#include "common/field_format.h"
#include "common/given_answers.h"

namespace common {

namespace platform {
class Link;
}

class Screen {
public:
    static constexpr int columns = 80;
    static constexpr int rows = 25;

    struct Cell {
        char character = ' ';
        std::uint8_t colour = 7;
        friend bool operator==(const Cell&, const Cell&) = default;
    };

    Screen() { clear(); }

    // Fills every cell with a blank in the current colour; cursor to (1,1).
    void clear();
    // Blanks from the cursor to column 80 of its row; the cursor stays.
    void clear_to_end_of_line();
    // Positions are (column, row) from 1; a position outside the screen
    // leaves the cursor where it is.
    void go_to(int column, int row) {
        if (column < 1 || column > columns || row < 1 || row > rows) return;
        column_ = column;
        row_ = row;
    }
    void set_colour(int colour) { colour_ = static_cast<std::uint8_t>(colour & 15); }
    // Puts each byte at the cursor and moves right, wrapping after column 80
    // and scrolling below row 25. Backspace (8) moves left unless in column
    // 1; the bell (7) writes nothing.
    void write(std::string_view text);
    void write(char c) {
        put(c);
        ++version_;
    }
    // The same for a value read from a file or typed: every byte takes a
    // cell, backspace and bell included, so that nothing in a value moves
    // the cursor.
    void write_value(std::string_view text);
    // Column 1 of the next row, scrolling on row 25.
    void write_line_end();

    int column() const { return column_; }
    int row() const { return row_; }
    int colour() const { return colour_; }
    const Cell& cell(int column, int row) const { return cells_[index(column, row)]; }

    // One row as 80 Windows-1251 bytes.
    std::string row_text(int row) const;
    // The whole screen as 25 lines of UTF-8, trailing blanks cut, each line
    // ended by "\n".
    std::string text() const;
    // Grows with every change of a cell, so a presenter can tell whether
    // anything is new.
    std::uint64_t version() const { return version_; }

private:
    static int index(int column, int row) { return (row - 1) * columns + (column - 1); }
    void next_row();
    // One byte of write(), without a new version.
    void put(char c);
    template <bool controls_move>
    void write_bytes(std::string_view text);

    std::array<Cell, columns * rows> cells_{};
    int column_ = 1;
    int row_ = 1;
    std::uint8_t colour_ = 7;
    std::uint64_t version_ = 0;
};

// What a cell shows: the character of its Windows-1251 byte, and "?" for a
// control byte (0 to 31 and 127), which only a damaged file or value can
// put there: it must never reach a terminal, where it would move the cursor
// or change the terminal's state. Every backend shows cells through this.
inline char32_t shown_character(char cell_character);

// Key codes of keys without a character, delivered after a 0 by read_key.
enum KeyCode : unsigned char {
    key_f1 = 59,
    key_f10 = 68,
    key_home = 71,
    key_up = 72,
    key_page_up = 73,
    key_left = 75,
    key_right = 77,
    key_end = 79,
    key_down = 80,
    key_page_down = 81,
    key_insert = 82,
    key_delete = 83,
    key_f11 = 133,
    key_f12 = 134,
};

constexpr char key_enter = 13;
constexpr char key_backspace = 8;
constexpr char key_escape = 27;

// A decoded key press: a character, or a key without one (`extended`).
struct Key {
    unsigned char code = 0;
    bool extended = false;
};

class Console {
public:
    Console() = default;
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;
    virtual ~Console() = default;

    Screen& screen() { return screen_; }
    const Screen& screen() const { return screen_; }

    // Output: these act on the screen model.
    void clear_screen();
    void clear_to_end_of_line();
    // The dashboard writes some twenty values a line: these stay inline.
    void go_to(int column, int row) { screen_.go_to(column, row); }
    void set_colour(int colour) { screen_.set_colour(colour); }
    void write(std::string_view text) {
        screen_.write(text);
        after_output();
    }
    void write(const FieldText& field) { write(field.view()); }
    void write_line_end();
    // A value read from a file or typed (Screen::write_value).
    void write_value(std::string_view text) {
        screen_.write_value(text);
        after_output();
    }

    // Tells without waiting whether a key press is pending.
    bool key_pressed();
    // Waits for a key and returns its character, without echo. A key without
    // a character gives 0 on one call and its key code on the next.
    char read_key();
    // Keyboard line input at the cursor, echoed: Backspace, Esc (erase all),
    // Left and Right edit; Enter ends it with a line end. At most 254
    // characters are kept; further ones are ignored until Enter.
    std::string read_line();
    // The wait for a key at the very end of a run: when the piped keys have
    // run out it counts as answered.
    void final_key();
    // The same for a final Enter (keyboard line input).
    void final_line();
    // Pauses for `length`, or until a key is pressed: true then, and the
    // key stays pending for key_pressed and read_key.
    bool delay(std::chrono::microseconds length);
    // Waits at most `length` until a key is pending or `link` has something
    // (bytes, its end, a connection made): the one wait of a live run,
    // which sleeps until then. Shows the screen first.
    void wait_for_keys_or(platform::Link& link, std::chrono::microseconds length);

    // The answers given as arguments. A run that has some and took no key
    // from the keyboard waits for no final key: a script that gave every
    // answer gets its end at once.
    void give(GivenAnswers answers);
    const GivenAnswers& given() const { return given_; }
    // Before a question: its given answer, when it has one, is typed ahead
    // of the keyboard and read by the question as if typed. True then.
    bool type_given(std::string_view question);
    // Whether a person types the keys as the questions come (a terminal, a
    // console window), not a script that piped them: a typo is then asked
    // again instead of ending the run.
    virtual bool typed_by_hand() const { return false; }

    // Backends show the model; called at every wait and at the end.
    virtual void present() {}
    // At the end of a run: show the final screen, restore the terminal.
    // Returns 0, or the system's error code when the screen could not be
    // written.
    virtual int finish() { return 0; }

protected:
    // The next key press; `wait` false returns nothing when none is pending.
    // At the end of piped input it returns nothing even when waiting.
    virtual bool next_key(Key& key, bool wait) = 0;
    // Waits at most `length` until a key may be pending (input came); false
    // when the time ran out. At the end of piped input it waits the whole
    // time.
    virtual bool wait_for_input(std::chrono::microseconds length) = 0;
    // The same, ended also by `link`; a console without a keyboard of its
    // own waits on the link alone.
    virtual void wait_for_input_or(platform::Link& link, std::chrono::microseconds length);
    // Called after output operations, so that a backend may present at a
    // limited rate while a program runs flat out.
    virtual void after_output() {}

private:
    Key wait_key();
    // Answers were given and the keyboard gave no key: nothing was asked.
    bool asked_nothing() const;

    Screen screen_;
    // A key seen by key_pressed and not yet read.
    bool has_pending_key_ = false;
    Key pending_key_;
    // The key code still due after a 0.
    bool pending_code_ = false;
    unsigned char code_ = 0;
    GivenAnswers given_;
    bool answers_given_ = false;
    // The keys of a given answer, read before the keyboard.
    std::string typed_ahead_;
    bool keyboard_used_ = false;
};

inline char32_t shown_character(char cell_character) {
    const auto byte = static_cast<unsigned char>(cell_character);
    return byte < 0x20 || byte == 0x7F ? U'?' : cp1251_to_unicode(byte);
}

}  // namespace common
