// The console on a real terminal: raw keys through termios, and the screen
// model shown by sending only the cells that changed (ANSI cursor moves,
// 16 foreground colours on black, UTF-8 text).
//
// The model is presented at every wait (key, line input, delay), at most
// about every 15 ms while a program runs flat out, and at the end. No
// alternate screen: the final screen stays and the shell prompt comes below
// it. The terminal is restored on every way out, and while the job is
// stopped (Ctrl-Z); a signal handler that must end the process at once
// restores it itself.
#pragma once

#include <array>
#include <chrono>
#include <string>

#include "common/console.h"
#include "common/key_decoder.h"

namespace common {

class TerminalConsole : public Console {
public:
    static constexpr std::chrono::milliseconds frame_interval{15};
    static constexpr std::chrono::milliseconds key_check_interval{1};

    TerminalConsole(int input = 0, int output = 1);
    ~TerminalConsole() override;

    void present() override;
    int finish() override;

    // From signal handlers, with only async-signal-safe calls: restore the
    // terminal before the process ends at once; give it back to the shell
    // as it was (colours reset, cursor shown below the screen) before the
    // job stops; and take the raw keys back when it goes on, asking for the
    // whole screen to be drawn anew.
    static void restore_from_signal();
    static void suspend_from_signal();
    static void resume_from_signal();

protected:
    bool next_key(Key& key, bool wait) override;
    bool wait_for_input(std::chrono::microseconds length) override;
    void after_output() override;

private:
    void restore();
    void draw_cell(std::string& out, int column, int row, const Screen::Cell& cell, int& colour);

    DescriptorKeys keys_;
    int output_;
    bool restored_ = false;
    std::array<Screen::Cell, Screen::columns * Screen::rows> shown_{};
    bool shown_valid_ = false;
    std::uint64_t shown_version_ = ~0ull;
    int shown_width_ = 0;
    int shown_height_ = 0;
    std::chrono::steady_clock::time_point last_frame_{};
    std::chrono::steady_clock::time_point last_key_check_{};
    unsigned output_calls_ = 0;
    std::string frame_;
};

}  // namespace common
