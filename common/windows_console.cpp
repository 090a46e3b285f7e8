#include "common/windows_console.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "common/cp1251.h"
#include "common/platform.h"
#include "common/platform_windows.h"
#include "common/stop_request.h"

namespace common {

namespace {

constexpr WORD blank_colour = 7;
constexpr std::wstring_view too_small = L"window too small: 80 x 25 needed";
constexpr WORD too_small_colour = 14;

// Keys without a character and the key codes that read_key gives after 0.
struct NamedKey {
    WORD virtual_key;
    unsigned char code;
};
constexpr NamedKey named_keys[] = {
    {VK_LEFT, key_left},   {VK_RIGHT, key_right},   {VK_UP, key_up},         {VK_DOWN, key_down},
    {VK_HOME, key_home},   {VK_END, key_end},       {VK_PRIOR, key_page_up}, {VK_NEXT, key_page_down},
    {VK_INSERT, key_insert}, {VK_DELETE, key_delete}, {VK_F11, key_f11},     {VK_F12, key_f12},
};

COORD at(int column, int row) {
    return COORD{static_cast<SHORT>(column), static_cast<SHORT>(row)};
}

}  // namespace

std::optional<Key> key_of_event(bool key_down, std::uint16_t virtual_key, wchar_t character) {
    if (!key_down) {
        // Alt and digits on the keypad type a character when Alt is let go.
        if (virtual_key != VK_MENU || character == 0) return std::nullopt;
    } else if (character == 0) {
        // Some consoles (wine's on a terminal) give these without their
        // character.
        if (virtual_key == VK_ESCAPE) return Key{static_cast<unsigned char>(key_escape), false};
        if (virtual_key == VK_RETURN) return Key{static_cast<unsigned char>(key_enter), false};
        if (virtual_key == VK_BACK) return Key{static_cast<unsigned char>(key_backspace), false};
        if (virtual_key >= VK_F1 && virtual_key <= VK_F10) {
            return Key{static_cast<unsigned char>(key_f1 + (virtual_key - VK_F1)), true};
        }
        for (const NamedKey& named : named_keys) {
            if (named.virtual_key == virtual_key) return Key{named.code, true};
        }
        // Shift, Ctrl, Alt, the locks and keys this system has no code for.
        return std::nullopt;
    }
    // The second half of a character beyond the Basic Multilingual Plane;
    // its first half already gave "?".
    if (character >= 0xDC00 && character <= 0xDFFF) return std::nullopt;
    // Ctrl-Enter and Ctrl-Backspace, as a terminal gives them.
    if (character == L'\n') return Key{static_cast<unsigned char>(key_enter), false};
    if (character == 0x7F) return Key{static_cast<unsigned char>(key_backspace), false};
    const int byte = unicode_to_cp1251(static_cast<char32_t>(character));
    return Key{static_cast<unsigned char>(byte < 0 ? '?' : byte), false};
}

std::unique_ptr<Console> make_window_console() {
    return std::make_unique<WindowsConsole>();
}

WindowsConsole::WindowsConsole()
    : input_(::GetStdHandle(STD_INPUT_HANDLE)), output_(::GetStdHandle(STD_OUTPUT_HANDLE)) {
    platform::take_raw_keys(0, 1);
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (::GetConsoleScreenBufferInfo(output_, &info)) {
        // The screen takes the rows of the window as it stands, cleared in
        // the full width of the buffer.
        origin_row_ = info.srWindow.Top;
        const int rows = info.srWindow.Bottom - info.srWindow.Top + 1;
        const DWORD count = static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(rows);
        DWORD written = 0;
        ::FillConsoleOutputCharacterW(output_, L' ', count, at(0, origin_row_), &written);
        ::FillConsoleOutputAttribute(output_, blank_colour, count, at(0, origin_row_), &written);
        ::SetConsoleCursorPosition(output_, at(0, origin_row_));
    }
}

void WindowsConsole::present() {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!::GetConsoleScreenBufferInfo(output_, &info)) return;
    // The screen stays where it started unless the buffer shrank under it;
    // moved, it is drawn anew.
    const int buffer_rows = info.dwSize.Y;
    if (origin_row_ + Screen::rows > buffer_rows && origin_row_ > 0) {
        origin_row_ = std::max(0, buffer_rows - Screen::rows);
        renderer_.lose();
    }
    const int window_columns = info.srWindow.Right - info.srWindow.Left + 1;
    const int window_rows = info.srWindow.Bottom - info.srWindow.Top + 1;
    const int width = std::max(1, std::min({Screen::columns, static_cast<int>(info.dwSize.X), window_columns}));
    const int height = std::max(1, std::min({Screen::rows, buffer_rows - origin_row_, window_rows}));
    const bool whole = renderer_.start_frame(width, height);
    const Screen& model = screen();
    // One rectangle around every changed cell, written in one call.
    int left = width + 1, right = 0, top = 0, bottom = 0;
    renderer_.draw_changes(model, [&](const ScreenRenderer::Run& run) {
        if (top == 0) top = run.row;
        bottom = run.row;
        left = std::min(left, run.first);
        right = std::max(right, run.last);
    });
    if (right > 0) {
        const int span = right - left + 1;
        std::vector<CHAR_INFO> cells(static_cast<std::size_t>(span * (bottom - top + 1)));
        for (int row = top; row <= bottom; ++row) {
            for (int column = left; column <= right; ++column) {
                const Screen::Cell& cell = model.cell(column, row);
                CHAR_INFO& out = cells[static_cast<std::size_t>((row - top) * span + column - left)];
                out.Char.UnicodeChar = static_cast<WCHAR>(shown_character(cell.character));
                out.Attributes = cell.colour;  // 1 blue, 2 green, 4 red, 8 bright: the console's own bits
            }
        }
        SMALL_RECT region{static_cast<SHORT>(left - 1), static_cast<SHORT>(origin_row_ + top - 1),
                          static_cast<SHORT>(right - 1), static_cast<SHORT>(origin_row_ + bottom - 1)};
        ::WriteConsoleOutputW(output_, cells.data(), at(span, bottom - top + 1), at(0, 0), &region);
    }
    if (whole && renderer_.small()) {
        // A window too small shows what fits, and its last line says so.
        const std::wstring_view text = too_small.substr(0, static_cast<std::size_t>(width));
        std::vector<CHAR_INFO> cells(text.size());
        for (std::size_t i = 0; i < text.size(); ++i) {
            cells[i].Char.UnicodeChar = text[i];
            cells[i].Attributes = too_small_colour;
        }
        SMALL_RECT region{0, static_cast<SHORT>(origin_row_ + height - 1), static_cast<SHORT>(text.size() - 1),
                          static_cast<SHORT>(origin_row_ + height - 1)};
        ::WriteConsoleOutputW(output_, cells.data(), at(static_cast<int>(text.size()), 1), at(0, 0), &region);
    }
    ::SetConsoleCursorPosition(output_,
                               at(renderer_.cursor_column(model) - 1, origin_row_ + renderer_.cursor_row(model) - 1));
    renderer_.end_frame();
}

int WindowsConsole::finish() {
    present();
    // The prompt comes below the final screen.
    ::SetConsoleCursorPosition(output_, at(0, origin_row_ + std::max(renderer_.height(), 1) - 1));
    DWORD written = 0;
    ::WriteConsoleW(output_, L"\r\n", 2, &written, nullptr);
    give_back_keys();
    return 0;
}

bool WindowsConsole::take_event() {
    INPUT_RECORD record{};
    DWORD count = 0;
    if (!::ReadConsoleInputW(input_, &record, 1, &count) || count == 0) return false;
    if (record.EventType == WINDOW_BUFFER_SIZE_EVENT) {
        renderer_.lose();
        present();
        return true;
    }
    if (record.EventType != KEY_EVENT) return true;
    const KEY_EVENT_RECORD& event = record.Event.KeyEvent;
    if (const auto key = key_of_event(event.bKeyDown, event.wVirtualKeyCode, event.uChar.UnicodeChar)) {
        // A held key repeats; each repetition is a key press.
        keys_.insert(keys_.end(), std::max<WORD>(event.wRepeatCount, 1), *key);
    }
    return true;
}

bool WindowsConsole::next_key(Key& key, bool wait) {
    if (!wait && !frame_and_look_at_keys()) return false;
    while (keys_.empty()) {
        if (wait) {
            // A stop request ends the wait; the caller raises it.
            if (platform::wait_for(input_, INFINITE) != platform::WaitResult::ready) return false;
        } else {
            DWORD events = 0;
            if (!::GetNumberOfConsoleInputEvents(input_, &events) || events == 0) return false;
        }
        if (!take_event()) return false;
    }
    key = keys_.front();
    keys_.pop_front();
    return true;
}

bool WindowsConsole::wait_for_input(std::chrono::microseconds length) {
    renderer_.input_came();
    if (!keys_.empty()) return true;
    // The console waits in whole milliseconds: a part of one counts whole.
    const auto milliseconds = (std::max<std::int64_t>(length.count(), 0) + 999) / 1000;
    switch (platform::wait_for(input_, static_cast<DWORD>(std::min<std::int64_t>(milliseconds, INFINITE - 1)))) {
        case platform::WaitResult::ready: return true;
        case platform::WaitResult::stopped: check_interrupted(); return false;
        case platform::WaitResult::timed_out: return false;
        case platform::WaitResult::failed: break;
    }
    // A console that cannot be waited on: the pause is slept.
    sleep_for(length);
    return false;
}

void WindowsConsole::wait_for_input_or(platform::Link& link, std::chrono::microseconds length) {
    renderer_.input_came();
    if (!keys_.empty()) return;
    const auto milliseconds = (std::max<std::int64_t>(length.count(), 0) + 999) / 1000;
    const auto timeout = static_cast<DWORD>(std::min<std::int64_t>(milliseconds, INFINITE - 1));
    if (platform::wait_for(input_, &link, timeout) == platform::WaitResult::stopped) check_interrupted();
}

}  // namespace common
