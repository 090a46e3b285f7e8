#include "common/terminal.h"

#include <csignal>
#include <cstdio>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "common/cp1251.h"
#include "common/run_error.h"
#include "common/stream_console.h"

namespace common {

namespace {

// The terminal's settings before the program started and the program's
// own, kept where a signal handler can reach them, with the last row of the
// screen as it is shown.
termios saved_settings{};
termios raw_settings{};
volatile std::sig_atomic_t saved_valid = 0;
volatile std::sig_atomic_t bottom_row = Screen::rows;
int saved_input = 0;
int saved_output = 1;

constexpr char reset_sequence[] = "\x1b[0m\x1b[?25h";

// "ESC [ row ; 1 H" and a line end: the cursor to the bottom row and on to
// the next, so that what the shell writes comes below the screen. Made
// without the library, which a signal handler must not call.
std::size_t below_screen_sequence(char (&out)[24], int row) {
    std::size_t n = 0;
    out[n++] = '\x1b';
    out[n++] = '[';
    char digits[8];
    int count = 0;
    for (int value = row < 1 ? 1 : row; value > 0 && count < 8; value /= 10) {
        digits[count++] = static_cast<char>('0' + value % 10);
    }
    while (count > 0) out[n++] = digits[--count];
    for (const char c : {';', '1', 'H', '\r', '\n'}) out[n++] = c;
    return n;
}

// ANSI foreground codes of the 16 console colours (black background).
constexpr int ansi_colour[16] = {30, 34, 32, 36, 31, 35, 33, 37, 90, 94, 92, 96, 91, 95, 93, 97};

}  // namespace

TerminalConsole::TerminalConsole(int input, int output) : keys_(input), output_(output) {
    if (::tcgetattr(input, &saved_settings) == 0) {
        saved_input = input;
        saved_output = output;
        termios raw = saved_settings;
        // Keys one by one, no echo, Enter as CR; Ctrl-C still interrupts.
        raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO | IEXTEN));
        raw.c_iflag &= static_cast<tcflag_t>(~(ICRNL | IXON));
        raw.c_cc[VMIN] = 1;
        raw.c_cc[VTIME] = 0;
        raw_settings = raw;
        saved_valid = 1;
        ::tcsetattr(input, TCSAFLUSH, &raw);
    }
    write_all(output_, "\x1b[0m\x1b[40m\x1b[2J\x1b[H");
    set_blocking_read_hook(this);
}

TerminalConsole::~TerminalConsole() {
    set_blocking_read_hook(nullptr);
    restore();
}

void TerminalConsole::restore_from_signal() {
    if (saved_valid == 0) return;
    ::write(saved_output, reset_sequence, sizeof reset_sequence - 1);
    ::write(saved_output, "\r\n", 2);
    ::tcsetattr(saved_input, TCSAFLUSH, &saved_settings);
}

void TerminalConsole::suspend_from_signal() {
    if (saved_valid == 0) return;
    char below[24];
    const std::size_t length = below_screen_sequence(below, bottom_row);
    ::write(saved_output, reset_sequence, sizeof reset_sequence - 1);
    ::write(saved_output, below, length);
    ::tcsetattr(saved_input, TCSANOW, &saved_settings);
}

void TerminalConsole::resume_from_signal() {
    if (saved_valid == 0) return;
    ::tcsetattr(saved_input, TCSANOW, &raw_settings);
    // The shell wrote over the screen while the job was stopped.
    note_screen_lost();
}

void TerminalConsole::restore() {
    if (restored_) return;
    restored_ = true;
    write_all(output_, reset_sequence);
    if (saved_valid != 0) {
        // A key left pending (the stop key of a replay) must not reach the
        // shell.
        ::tcsetattr(saved_input, TCSAFLUSH, &saved_settings);
        saved_valid = 0;
    }
}

void TerminalConsole::draw_cell(std::string& out, int column, int row, const Screen::Cell& cell, int& colour) {
    (void)column;
    (void)row;
    if (cell.colour != colour) {
        colour = cell.colour;
        out += "\x1b[";
        out += std::to_string(ansi_colour[colour]);
        out += 'm';
    }
    append_utf8(out, shown_character(cell.character));
}

void TerminalConsole::present() {
    winsize size{};
    int width = Screen::columns;
    int height = Screen::rows;
    if (::ioctl(output_, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 0) {
        width = std::min<int>(size.ws_col, Screen::columns);
        height = std::min<int>(size.ws_row, Screen::rows);
    }
    const bool small = width < Screen::columns || height < Screen::rows;
    if (take_screen_lost()) shown_valid_ = false;
    if (width != shown_width_ || height != shown_height_) {
        shown_valid_ = false;
        shown_width_ = width;
        shown_height_ = height;
        bottom_row = height;
    }
    const Screen& model = screen();
    frame_.clear();
    int colour = -1;
    if (!shown_valid_) frame_ += "\x1b[0m\x1b[40m\x1b[2J";
    if (model.version() != shown_version_ || !shown_valid_) {
        // A window too small shows what fits, and its last line says so.
        const int model_rows = small ? height - 1 : height;
        for (int row = 1; row <= model_rows; ++row) {
            int next_column = -1;  // where the terminal cursor stands
            for (int column = 1; column <= width; ++column) {
                const Screen::Cell& cell = model.cell(column, row);
                Screen::Cell& old = shown_[static_cast<std::size_t>((row - 1) * Screen::columns + column - 1)];
                if (shown_valid_ && cell == old) continue;
                if (column != next_column) {
                    frame_ += "\x1b[" + std::to_string(row) + ';' + std::to_string(column) + 'H';
                }
                draw_cell(frame_, column, row, cell, colour);
                old = cell;
                next_column = column + 1;
            }
        }
        if (small && !shown_valid_) {
            frame_ += "\x1b[" + std::to_string(height) + ";1H\x1b[0;93;40m";
            frame_ += std::string("window too small: 80 x 25 needed").substr(0, static_cast<std::size_t>(width));
            colour = -1;
        }
        shown_valid_ = true;
        shown_version_ = model.version();
    }
    const int cursor_row = std::min(model.row(), small ? height - 1 : height);
    frame_ += "\x1b[" + std::to_string(std::max(cursor_row, 1)) + ';' + std::to_string(std::min(model.column(), width)) + 'H';
    write_all(output_, frame_);
    last_frame_ = std::chrono::steady_clock::now();
}

void TerminalConsole::after_output() {
    // Drawing must never be what limits a replay: look at the clock only
    // every few operations and draw at most once a frame.
    if (++output_calls_ % 16 != 0) return;
    if (std::chrono::steady_clock::now() - last_frame_ >= frame_interval) present();
}

int TerminalConsole::finish() {
    present();
    // The shell prompt comes below the final screen.
    char below[24];
    write_all(output_, "\x1b[0m");
    write_all(output_, std::string_view(below, below_screen_sequence(below, shown_height_)));
    restore();
    return 0;
}

bool TerminalConsole::next_key(Key& key, bool wait) {
    // A replay looks at the keyboard once a line: the place to keep the
    // screen current without drawing more often than once a frame.
    if (!wait) {
        const auto now = std::chrono::steady_clock::now();
        if (now - last_frame_ >= frame_interval) present();
        // A look at the keyboard costs a system call; a replay asks once a
        // line, so a look that found nothing stands for a millisecond.
        if (now - last_key_check_ < key_check_interval) return false;
        last_key_check_ = now;
    }
    return keys_.next(key, wait);
}

bool TerminalConsole::wait_for_input(std::chrono::microseconds length) {
    // What comes is looked at at once, not a millisecond later.
    last_key_check_ = {};
    return keys_.wait_for_input(length);
}

}  // namespace common
