#include "common/terminal.h"

#include <algorithm>
#include <sys/ioctl.h>

#include "common/cp1251.h"
#include "common/platform.h"

namespace common {

namespace {

// ANSI foreground codes of the 16 console colours (black background).
constexpr int ansi_colour[16] = {30, 34, 32, 36, 31, 35, 33, 37, 90, 94, 92, 96, 91, 95, 93, 97};

void move_to(std::string& out, int row, int column) {
    out += "\x1b[" + std::to_string(row) + ';' + std::to_string(column) + 'H';
}

}  // namespace

std::unique_ptr<Console> make_window_console() {
    return std::make_unique<TerminalConsole>();
}

TerminalConsole::TerminalConsole(int input, int output)
    : keys_(input, [this] { present(); }), output_(output) {
    platform::take_raw_keys(input, output);
    platform::write_all(output_, "\x1b[0m\x1b[40m\x1b[2J\x1b[H");
}

void TerminalConsole::present() {
    winsize size{};
    int width = Screen::columns;
    int height = Screen::rows;
    if (::ioctl(output_, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 0) {
        width = std::min<int>(size.ws_col, Screen::columns);
        height = std::min<int>(size.ws_row, Screen::rows);
    }
    const bool whole = renderer_.start_frame(width, height);
    platform::note_shown_rows(height);
    const Screen& model = screen();
    frame_.clear();
    if (whole) frame_ += "\x1b[0m\x1b[40m\x1b[2J";
    int colour = -1;
    renderer_.draw_changes(model, [&](const ScreenRenderer::Run& run) {
        move_to(frame_, run.row, run.first);
        for (int column = run.first; column <= run.last; ++column) {
            const Screen::Cell& cell = model.cell(column, run.row);
            if (cell.colour != colour) {
                colour = cell.colour;
                frame_ += "\x1b[";
                frame_ += std::to_string(ansi_colour[colour]);
                frame_ += 'm';
            }
            append_utf8(frame_, shown_character(cell.character));
        }
    });
    if (whole && renderer_.small()) {
        move_to(frame_, height, 1);
        frame_ += "\x1b[0;93;40m";
        frame_ += std::string("window too small: 80 x 25 needed").substr(0, static_cast<std::size_t>(width));
    }
    move_to(frame_, renderer_.cursor_row(model), renderer_.cursor_column(model));
    platform::write_all(output_, frame_);
    renderer_.end_frame();
}

int TerminalConsole::finish() {
    present();
    // The shell prompt comes below the final screen.
    std::string below = "\x1b[0m";
    move_to(below, std::max(renderer_.height(), 1), 1);
    platform::write_all(output_, below + "\r\n");
    give_back_keys();
    return 0;
}

bool TerminalConsole::next_key(Key& key, bool wait) {
    if (!wait && !frame_and_look_at_keys()) return false;
    return keys_.next(key, wait);
}

bool TerminalConsole::wait_for_input(std::chrono::microseconds length) {
    renderer_.input_came();
    return keys_.wait_for_input(length);
}

void TerminalConsole::wait_for_input_or(platform::Link& link, std::chrono::microseconds length) {
    renderer_.input_came();
    keys_.wait_for_input(length, &link);
}

}  // namespace common
