// The console in a Windows console window: keys from the console's input
// events, and the screen model shown through the console API by writing
// only the cells that changed, as UTF-16 text with the 16 colours as
// character attributes (black background). The console's code pages are
// left alone.
//
// As on a terminal, the model is presented at every wait (key, line input,
// delay), at most about every 15 ms while a program runs flat out, and at
// the end; the screen is drawn at the top of the window, the final screen
// stays and the prompt comes below it. The input mode is restored on every
// way out.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>

#include "common/console.h"

namespace common {

// The key of one console key event, or nothing for events that are no key
// press of their own (releases, Shift, Ctrl, Alt, Caps Lock ...). A
// character becomes its Windows-1251 byte ("?" when the code page lacks
// it); a key without one becomes its key code (key_left, key_f1 ...).
// Alt with digits on the keypad gives its character when Alt is released.
std::optional<Key> key_of_event(bool key_down, std::uint16_t virtual_key, wchar_t character);

class WindowsConsole : public Console {
public:
    static constexpr std::chrono::milliseconds frame_interval{15};

    WindowsConsole();
    ~WindowsConsole() override;

    void present() override;
    int finish() override;

    // Restores the console from the thread of a console control event.
    static void restore_from_handler();

protected:
    bool next_key(Key& key, bool wait) override;
    bool wait_for_input(std::chrono::microseconds length) override;
    void after_output() override;

private:
    void restore();
    // Takes one input event; queues its keys.
    bool take_event();

    void* input_;
    void* output_;
    bool restored_ = false;
    std::deque<Key> keys_;
    // The buffer row on which the screen's first row is drawn.
    int origin_row_ = 0;
    std::array<Screen::Cell, Screen::columns * Screen::rows> shown_{};
    bool shown_valid_ = false;
    std::uint64_t shown_version_ = ~0ull;
    int shown_width_ = 0;
    int shown_height_ = 0;
    std::chrono::steady_clock::time_point last_frame_{};
    unsigned output_calls_ = 0;
};

}  // namespace common
