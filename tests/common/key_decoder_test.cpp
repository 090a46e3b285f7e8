#include "common/key_decoder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Bytes from a string, as a pipe would give them.
class StringKeys : public common::KeyDecoder {
public:
    explicit StringKeys(std::string bytes) : bytes_(std::move(bytes)) {}

protected:
    int read_byte(int) override {
        if (next_ == bytes_.size()) return end_of_input;
        return static_cast<unsigned char>(bytes_[next_++]);
    }

private:
    std::string bytes_;
    std::size_t next_ = 0;
};

std::string decode(std::string bytes) {
    StringKeys keys(std::move(bytes));
    std::string out;
    common::Key key;
    while (keys.next(key, true)) {
        if (key.extended) out += "<" + std::to_string(key.code) + ">";
        else out += static_cast<char>(key.code);
    }
    return out;
}

TEST(key_decoder, bytes_become_keys) {
    struct Case {
        const char* legend;
        std::string bytes;
        std::string keys;
    } cases[] = {
        {"LF, CR LF and CR are each one Enter", "a\nb\r\nc\rd", "a\rb\rc\rd"},
        {"DEL is Backspace", "x\x7f", "x\b"},
        {"cursor keys", "\x1b[D\x1b[C\x1bOA", "<75><77><72>"},
        {"Home, End and Delete", "\x1b[H\x1b[4~\x1b[3~", "<71><79><83>"},
        {"function keys", "\x1bOP\x1b[15~\x1b[24~", "<59><63><134>"},
        {"modifiers are ignored", "\x1b[1;5C", "<77>"},
        {"a lone Esc at the end", "ab\x1b", "ab\x1b"},
        {"Esc followed by a letter", "\x1bx", "\x1bx"},
        {"unknown sequences are swallowed", "\x1b[99~z", "z"},
        {"UTF-8 Cyrillic becomes Windows-1251", "\xD0\x94\xD0\xB0", "\xC4\xE0"},
        {"a character the code page lacks", "\xE4\xB8\xAD", "?"},
        {"bytes that are not UTF-8 pass as they are", "\xC4\xE0", "\xC4\xE0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        EXPECT_EQ(decode(c.bytes), c.keys);
    }
}

}  // namespace
