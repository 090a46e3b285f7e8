// The console in a Windows console window: keys from the console's input
// events, and the screen model shown through the console API by writing
// only the cells that changed, as UTF-16 text with the 16 colours as
// character attributes (black background). The console's code pages are
// left alone.
//
// The screen is drawn at the top of the window, the final screen stays and
// the prompt comes below it. The input mode is restored on every way out.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>

#include "common/console.h"
#include "common/screen_renderer.h"

namespace common {

// The key of one console key event, or nothing for events that are no key
// press of their own (releases, Shift, Ctrl, Alt, Caps Lock ...). A
// character becomes its Windows-1251 byte ("?" when the code page lacks
// it); a key without one becomes its key code (key_left, key_f1 ...).
// Alt with digits on the keypad gives its character when Alt is released.
std::optional<Key> key_of_event(bool key_down, std::uint16_t virtual_key, wchar_t character);

class WindowsConsole : public WindowConsole {
public:
    WindowsConsole();

    void present() override;
    int finish() override;

protected:
    bool next_key(Key& key, bool wait) override;
    bool wait_for_input(std::chrono::microseconds length) override;
    void wait_for_input_or(platform::Link& link, std::chrono::microseconds length) override;

private:
    // Takes one input event; queues its keys.
    bool take_event();

    void* input_;
    void* output_;
    std::deque<Key> keys_;
    // The buffer row on which the screen's first row is drawn.
    int origin_row_ = 0;
};

}  // namespace common
