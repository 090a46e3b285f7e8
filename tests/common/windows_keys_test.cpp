// The keys of the Windows console's key events (Windows builds only).
#include <gtest/gtest.h>

#include <string>

#include "common/platform_windows.h"
#include "common/windows_console.h"

namespace {

std::string shown(std::optional<common::Key> key) {
    if (!key) return "none";
    if (key->extended) return "0," + std::to_string(key->code);
    return std::to_string(key->code);
}

TEST(windows_keys, characters_become_windows_1251_bytes) {
    const struct {
        const char* legend;
        WORD virtual_key;
        wchar_t character;
        const char* key;
    } rows[] = {
        {"a letter", 'A', L'a', "97"},
        {"a Cyrillic letter", 'Q', L'\u044f', "255"},  // я
        {"the numero sign", '3', L'\u2116', "185"},    // №
        {"a character the code page lacks", 'A', L'\u00e9', "63"},
        {"the first half of a pair beyond the plane", 'A', 0xD83D, "63"},
        {"its second half", 'A', 0xDE00, "none"},
        {"Enter", VK_RETURN, L'\r', "13"},
        {"Ctrl-Enter", VK_RETURN, L'\n', "13"},
        {"Backspace", VK_BACK, 8, "8"},
        {"Ctrl-Backspace", VK_BACK, 0x7F, "8"},
        {"Esc", VK_ESCAPE, 27, "27"},
        {"Esc without its character", VK_ESCAPE, 0, "27"},
        {"Enter without its character", VK_RETURN, 0, "13"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.legend);
        EXPECT_EQ(shown(common::key_of_event(true, row.virtual_key, row.character)), row.key);
    }
}

TEST(windows_keys, keys_without_a_character_give_their_key_codes) {
    const struct {
        WORD virtual_key;
        const char* key;
    } rows[] = {
        {VK_LEFT, "0,75"},  {VK_RIGHT, "0,77"}, {VK_UP, "0,72"},     {VK_DOWN, "0,80"},  {VK_HOME, "0,71"},
        {VK_END, "0,79"},   {VK_DELETE, "0,83"}, {VK_INSERT, "0,82"}, {VK_PRIOR, "0,73"}, {VK_NEXT, "0,81"},
        {VK_F1, "0,59"},    {VK_F10, "0,68"},   {VK_F11, "0,133"},   {VK_F12, "0,134"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.key);
        EXPECT_EQ(shown(common::key_of_event(true, row.virtual_key, 0)), row.key);
    }
}

TEST(windows_keys, modifiers_alone_and_releases_are_no_key_press) {
    for (const WORD modifier : {VK_SHIFT, VK_CONTROL, VK_MENU, VK_CAPITAL, VK_NUMLOCK, VK_SCROLL, VK_LWIN}) {
        EXPECT_EQ(shown(common::key_of_event(true, modifier, 0)), "none") << modifier;
    }
    EXPECT_EQ(shown(common::key_of_event(false, 'A', L'a')), "none");
    EXPECT_EQ(shown(common::key_of_event(false, VK_LEFT, 0)), "none");
}

TEST(windows_keys, alt_and_keypad_digits_type_on_the_release_of_alt) {
    EXPECT_EQ(shown(common::key_of_event(false, VK_MENU, L'\u0411')), "193");  // Б
    EXPECT_EQ(shown(common::key_of_event(false, VK_MENU, 0)), "none");
}

}  // namespace
