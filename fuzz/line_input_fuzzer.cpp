// Keyboard line input with its editing keys, from the bytes a terminal or a
// pipe delivers (escape sequences for the cursor keys, UTF-8, CR LF, DEL),
// decoded by the console's own key decoder. Lines, real answers and whole
// answers are asked in turn until the keys run out. A line is checked
// against a plain model of the editing rules: Backspace, Esc, Left, Right,
// Home, End and Delete; at most 254 characters; Enter ends it. The same
// bytes also go through the conversions that typed names take on their way
// to file names and KML documents: UTF-8 is recognised exactly as RFC 3629
// defines it, and Windows-1251 text comes back from UTF-8 unchanged.
#include <string>

#include "common/cp1251.h"
#include "common/run_error.h"
#include "common/typed_answer.h"
#include "fuzz/fuzz_support.h"

namespace {

using fuzzing::finding;

// A console whose keys come from bytes and that remembers the characters
// read_key delivered: a key without a character as 0 and its code.
class RecordingConsole : public common::Console {
public:
    explicit RecordingConsole(std::string_view bytes) : keys_(bytes) {}
    std::string delivered;
    // Typed by hand, a bad number is asked again until the keys run out.
    bool by_hand = false;
    bool typed_by_hand() const override { return by_hand; }

protected:
    bool next_key(common::Key& key, bool wait) override {
        if (!keys_.next(key, wait)) return false;
        if (key.extended) delivered += '\0';
        delivered += static_cast<char>(key.code);
        return true;
    }
    bool wait_for_input(std::chrono::microseconds) override { return false; }

private:
    fuzzing::MemoryKeys keys_;
};

// The editing rules over the characters read_key gives.
std::string model_line(std::string_view keys) {
    std::string text;
    std::size_t cursor = 0;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const auto c = static_cast<unsigned char>(keys[i]);
        if (c == 0) {
            if (++i == keys.size()) break;
            switch (static_cast<unsigned char>(keys[i])) {
                case common::key_left: cursor -= cursor > 0; break;
                case common::key_right: cursor += cursor < text.size(); break;
                case common::key_home: cursor = 0; break;
                case common::key_end: cursor = text.size(); break;
                case common::key_delete:
                    if (cursor < text.size()) text.erase(cursor, 1);
                    break;
                default: break;
            }
        } else if (c == common::key_enter) {
            break;
        } else if (c == common::key_backspace) {
            if (cursor > 0) text.erase(--cursor, 1);
        } else if (c == common::key_escape) {
            text.clear();
            cursor = 0;
        } else if (c >= 32 && text.size() < 254) {
            text.insert(cursor++, 1, static_cast<char>(c));
        }
    }
    return text;
}

// One UTF-8 sequence at the front of `text`, by RFC 3629: its length, or 0.
std::size_t reference_utf8(std::string_view text, char32_t& character) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    if (text.empty()) return 0;
    std::size_t size = 0;
    char32_t value = 0;
    if (byte(0) < 0x80) {
        character = byte(0);
        return 1;
    } else if (byte(0) >= 0xC2 && byte(0) <= 0xDF) {
        size = 2, value = byte(0) & 0x1Fu;
    } else if (byte(0) >= 0xE0 && byte(0) <= 0xEF) {
        size = 3, value = byte(0) & 0x0Fu;
    } else if (byte(0) >= 0xF0 && byte(0) <= 0xF4) {
        size = 4, value = byte(0) & 0x07u;
    } else {
        return 0;
    }
    if (text.size() < size) return 0;
    for (std::size_t i = 1; i < size; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        value = value << 6 | (byte(i) & 0x3Fu);
    }
    const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < least[size] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    character = value;
    return size;
}

void check_encodings(std::string_view bytes) {
    bool valid = true;
    for (std::string_view rest = bytes; !rest.empty();) {
        char32_t want = 0;
        char32_t got = 0;
        const std::size_t size = reference_utf8(rest, want);
        if (common::decode_utf8(rest, got) != size || (size > 0 && got != want)) finding("decode_utf8 differs");
        if (size == 0) {
            valid = false;
            break;
        }
        rest.remove_prefix(size);
    }
    if (common::is_valid_utf8(bytes) != valid) finding("is_valid_utf8 differs");
    // Windows-1251 to UTF-8 and back: every byte but the unused 0x98.
    const std::string utf8 = common::cp1251_to_utf8(bytes);
    if (!common::is_valid_utf8(utf8)) finding("cp1251_to_utf8 gives no UTF-8");
    std::string expected(bytes);
    for (char& c : expected) {
        if (static_cast<unsigned char>(c) == 0x98) c = '?';
    }
    if (common::utf8_to_cp1251(utf8) != expected) finding("Windows-1251 does not come back from UTF-8");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    check_encodings(fuzzing::bytes_of(data, size));
    RecordingConsole console(fuzzing::bytes_of(data, size));
    console.by_hand = size % 2 == 1;
    for (int question = 0;; ++question) {
        console.delivered.clear();
        try {
            switch (question % 3) {
                case 0: {
                    const int row = console.screen().row();
                    const int column = console.screen().column();
                    const std::string line = console.read_line();
                    if (line != model_line(console.delivered)) finding("the line differs from the editing rules");
                    if (console.screen().column() != 1) finding("the cursor is not at column 1 after Enter");
                    const bool one_row = column - 1 + static_cast<int>(line.size()) < common::Screen::columns;
                    if (one_row && row < common::Screen::rows && console.screen().row() != row + 1) {
                        finding("the cursor is not on the row below a short answer");
                    }
                    break;
                }
                case 1: (void)common::read_real_answer(console, "real"); break;
                default: (void)common::read_integer_answer(console, "whole"); break;
            }
        } catch (const common::RunError& error) {
            if (error.code() == common::error_keyboard_ended) break;
            if (error.code() != common::error_invalid_numeric_format) finding("unexpected " + error.report());
        }
    }
    return 0;
}
