#include "common/console.h"

#include <algorithm>
#include <utility>

#include "common/cp1251.h"
#include "common/platform.h"
#include "common/run_error.h"
#include "common/stop_request.h"

namespace common {

// --- Screen -----------------------------------------------------------------

void Screen::clear() {
    cells_.fill(Cell{' ', colour_});
    column_ = row_ = 1;
    ++version_;
}

void Screen::clear_to_end_of_line() {
    const int start = index(column_, row_);
    std::fill(cells_.begin() + start, cells_.begin() + start + (columns - column_ + 1), Cell{' ', colour_});
    ++version_;
}

void Screen::next_row() {
    if (row_ < rows) {
        ++row_;
        return;
    }
    std::copy(cells_.begin() + columns, cells_.end(), cells_.begin());
    std::fill(cells_.end() - columns, cells_.end(), Cell{' ', colour_});
}

void Screen::put(char c) {
    if (c == 8) {
        if (column_ > 1) --column_;
        return;
    }
    if (c == 7) return;
    cells_[index(column_, row_)] = Cell{c, colour_};
    if (++column_ > columns) {
        column_ = 1;
        next_row();
    }
}

template <bool controls_move>
void Screen::write_bytes(std::string_view text) {
    // Runs of plain bytes go into the cells of the cursor's row at once; the
    // row end, and in a text a backspace and a bell, take the byte-by-byte
    // way.
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p != end) {
        const auto room = static_cast<std::size_t>(columns - column_ + 1);
        const std::size_t length = std::min(room, static_cast<std::size_t>(end - p));
        Cell* const cells = &cells_[static_cast<std::size_t>(index(column_, row_))];
        std::size_t n = 0;
        for (; n < length && !(controls_move && (p[n] == 7 || p[n] == 8)); ++n) cells[n] = Cell{p[n], colour_};
        p += n;
        column_ += static_cast<int>(n);
        if (column_ > columns) {
            column_ = 1;
            next_row();
        } else if (p != end) {
            put(*p++);
        }
    }
    ++version_;
}

void Screen::write(std::string_view text) {
    write_bytes<true>(text);
}

void Screen::write_value(std::string_view text) {
    write_bytes<false>(text);
}

void Screen::write_line_end() {
    column_ = 1;
    next_row();
    ++version_;
}

std::string Screen::row_text(int row) const {
    std::string text(columns, ' ');
    for (int column = 1; column <= columns; ++column) text[column - 1] = cell(column, row).character;
    return text;
}

std::string Screen::text() const {
    std::string out;
    for (int row = 1; row <= rows; ++row) {
        std::string line = row_text(row);
        line.erase(line.find_last_not_of(' ') + 1);
        for (const char c : line) append_utf8(out, shown_character(c));
        out += '\n';
    }
    return out;
}

// --- Console ----------------------------------------------------------------

void Console::clear_screen() {
    screen_.clear();
    after_output();
}

void Console::clear_to_end_of_line() {
    screen_.clear_to_end_of_line();
    after_output();
}

void Console::write_line_end() {
    screen_.write_line_end();
    after_output();
}

bool Console::key_pressed() {
    check_interrupted();
    if (pending_code_ || has_pending_key_ || !typed_ahead_.empty()) return true;
    Key key;
    if (!next_key(key, false)) return false;
    keyboard_used_ = true;
    // The key stays pending: give it back through the same path as a
    // second code.
    pending_key_ = key;
    has_pending_key_ = true;
    return true;
}

Key Console::wait_key() {
    if (has_pending_key_) {
        has_pending_key_ = false;
        return pending_key_;
    }
    if (!typed_ahead_.empty()) {
        const Key key{static_cast<unsigned char>(typed_ahead_.front())};
        typed_ahead_.erase(0, 1);
        return key;
    }
    present();
    Key key;
    if (!next_key(key, true)) {
        check_interrupted();
        throw keyboard_ended();
    }
    keyboard_used_ = true;
    return key;
}

char Console::read_key() {
    check_interrupted();
    if (pending_code_) {
        pending_code_ = false;
        return static_cast<char>(code_);
    }
    const Key key = wait_key();
    if (key.extended) {
        pending_code_ = true;
        code_ = key.code;
        return 0;
    }
    return static_cast<char>(key.code);
}

std::string Console::read_line() {
    constexpr std::size_t limit = 254;
    const int start_column = screen_.column();
    const int start_row = screen_.row();
    std::string text;
    std::size_t cursor = 0;
    std::size_t shown = 0;  // characters echoed so far

    // Rewrites the typed text from its first cell and blanks what an
    // earlier, longer text left.
    auto redraw = [&] {
        screen_.go_to(start_column, start_row);
        std::string echo = text;
        if (shown > text.size()) echo.append(shown - text.size(), ' ');
        screen_.write(echo);
        shown = text.size();
        // Place the cursor over the edit position, following any wrap.
        const int offset = start_column - 1 + static_cast<int>(cursor);
        screen_.go_to(offset % Screen::columns + 1, std::min(start_row + offset / Screen::columns, Screen::rows));
        after_output();
    };

    for (;;) {
        const char c = read_key();
        if (c == 0) {
            const char code = read_key();
            if (code == static_cast<char>(key_left) && cursor > 0) --cursor;
            if (code == static_cast<char>(key_right) && cursor < text.size()) ++cursor;
            if (code == static_cast<char>(key_home)) cursor = 0;
            if (code == static_cast<char>(key_end)) cursor = text.size();
            if (code == static_cast<char>(key_delete) && cursor < text.size()) text.erase(cursor, 1);
            redraw();
            continue;
        }
        if (c == key_enter) break;
        if (c == key_backspace) {
            if (cursor > 0) text.erase(--cursor, 1);
        } else if (c == key_escape) {
            text.clear();
            cursor = 0;
        } else if (static_cast<unsigned char>(c) >= 32 && text.size() < limit) {
            text.insert(cursor++, 1, c);
        } else {
            continue;
        }
        redraw();
    }
    // The cursor goes to the end of the text before the line end, as the
    // text was typed.
    cursor = text.size();
    redraw();
    write_line_end();
    return text;
}

void Console::give(GivenAnswers answers) {
    answers_given_ = !answers.empty();
    given_ = std::move(answers);
}

bool Console::type_given(std::string_view question) {
    const auto keys = given_.take_keys(question);
    if (keys) typed_ahead_ += *keys;
    return keys.has_value();
}

bool Console::asked_nothing() const {
    return answers_given_ && !keyboard_used_;
}

void Console::final_key() {
    if (asked_nothing()) return;
    try {
        read_key();
    } catch (const RunError& error) {
        if (error.code() != error_keyboard_ended) throw;
    }
}

void Console::final_line() {
    if (asked_nothing()) return;
    try {
        read_line();
    } catch (const RunError& error) {
        if (error.code() != error_keyboard_ended) throw;
    }
}

bool Console::delay(std::chrono::microseconds length) {
    using std::chrono::steady_clock;
    check_interrupted();
    present();
    const auto deadline = steady_clock::now() + length;
    // The whole length goes to the backend's wait (a scripted console's
    // clock is its own); input that was no key (the rest of an unknown
    // sequence) waits on for what is left.
    auto left = length;
    while (!key_pressed()) {
        if (left.count() <= 0 || !wait_for_input(left)) return false;
        left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - steady_clock::now());
    }
    return true;
}

void Console::wait_for_keys_or(platform::Link& link, std::chrono::microseconds length) {
    check_interrupted();
    present();
    if (!key_pressed()) wait_for_input_or(link, length);
}

void Console::wait_for_input_or(platform::Link& link, std::chrono::microseconds length) {
    const auto milliseconds = std::chrono::ceil<std::chrono::milliseconds>(length).count();
    if (platform::wait_readable(-1, link, static_cast<int>(std::clamp<long long>(milliseconds, 0, 1 << 30))) < 0) {
        check_interrupted();
    }
}

}  // namespace common
