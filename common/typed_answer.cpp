#include "common/typed_answer.h"

#include <algorithm>
#include <cstring>

#include "common/field_format.h"
#include "common/run_error.h"
#include "common/text_reader.h"

namespace common {

namespace {

// Where the last line was typed and what it was, so that a refused answer
// can be cleared from the screen.
struct TypedLine {
    int column = 1;
    int row = 1;
    std::string text;
};

class KeyboardSource : public TextSource {
public:
    KeyboardSource(Console& console, bool decimal_comma, TypedLine& typed)
        : console_(console), decimal_comma_(decimal_comma), typed_(typed) {}

    std::size_t read(char* buffer, std::size_t size) override {
        typed_.column = console_.screen().column();
        typed_.row = console_.screen().row();
        typed_.text = console_.read_line();
        std::string line = typed_.text;
        // One comma in the answer is its decimal point; more are no number.
        if (decimal_comma_ && std::count(line.begin(), line.end(), ',') == 1) {
            std::replace(line.begin(), line.end(), ',', '.');
        }
        const std::size_t n = std::min(line.size(), size - 1);
        std::memcpy(buffer, line.data(), n);
        buffer[n] = '\n';
        return n + 1;
    }
    bool typed() const override { return true; }

private:
    Console& console_;
    bool decimal_comma_;
    TypedLine& typed_;
};

constexpr int note_row = Screen::rows;

// The answer is blanked where it was typed, the note says why on the
// bottom row, and the cursor waits where the answer began.
void refuse(Console& console, const TypedLine& typed) {
    console.go_to(typed.column, typed.row);
    console.write(std::string(typed.text.size(), ' '));
    console.go_to(1, note_row);
    console.clear_to_end_of_line();
    std::string_view token = typed.text;
    token.remove_prefix(std::min(token.find_first_not_of(" \t"), token.size()));
    console.write_value("Not accepted: \"" + printable_token(token.substr(0, token.find_first_of(" \t")), 40) +
                        "\" - type it again");
    console.go_to(typed.column, typed.row);
}

void clear_note(Console& console) {
    const int column = console.screen().column();
    const int row = console.screen().row();
    console.go_to(1, note_row);
    console.clear_to_end_of_line();
    console.go_to(column, row);
}

template <typename Read>
auto answer(Console& console, std::string_view question, bool decimal_comma, Read read) {
    console.type_given(question);
    const bool by_hand = console.typed_by_hand();
    bool refused = false;
    for (;;) {
        TypedLine typed;
        TextReader reader(std::make_unique<KeyboardSource>(console, by_hand && decimal_comma, typed), "keyboard",
                          512);
        try {
            const auto value = read(reader);
            reader.skip_line();
            if (refused) clear_note(console);
            return value;
        } catch (const RunError& error) {
            if (!by_hand || error.code() != error_invalid_numeric_format) throw;
        }
        refuse(console, typed);
        refused = true;
    }
}

}  // namespace

double read_real_answer(Console& console, std::string_view question) {
    return answer(console, question, true, [](TextReader& reader) { return reader.read_real(); });
}

std::int64_t read_integer_answer(Console& console, std::string_view question, std::int64_t lowest) {
    return answer(console, question, false, [lowest](TextReader& reader) {
        const std::int64_t value = reader.read_integer();
        if (value < lowest) throw invalid_number(integer(value).view(), "keyboard", 0);
        return value;
    });
}

std::int32_t read_int32_answer(Console& console, std::string_view question) {
    return answer(console, question, false, [](TextReader& reader) { return reader.read_int32(); });
}

}  // namespace common
