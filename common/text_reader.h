// Reading numbers, tokens and lines from text files and from the keyboard.
//
// One reader implements the reading rules for both:
// - a number token is the run of characters up to the next blank, tab or
//   line end, after skipping blanks, tabs and line ends;
// - real tokens:    [+-]digits[.digits][(E|e)[+-]digits]
//   integer tokens: [+-]digits
//   ("1.", ".5", "1e", "+-1", "1,5" and "0x10" are not numbers);
// - a line ends at LF, CR LF or a lone CR; a line is read up to 255
//   characters and moving on to the next line discards the rest;
// - byte 26 (Ctrl-Z) ends a file.
// At the end of a file a number reads as 0 when only blanks, tabs and line
// ends stood before the end; when nothing at all is left an integer reads as
// 0 and a real is an invalid number.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace common {

class Console;

// --- Token grammar and the conversion rule for pieces cut out of a line ----

bool is_real_token(std::string_view token);
bool is_integer_token(std::string_view token);

// The value of a real token; nothing when the token is not one or its value
// is beyond the range of a double (1e400). Values too small for a double
// (1e-400) read as zero.
std::optional<double> parse_real(std::string_view token);
// The value of an integer token, kept modulo 2^64: a number beyond the range
// of its field keeps its low-order bits.
std::optional<std::int64_t> parse_integer(std::string_view token);
// The same, but nothing when the value is outside the signed 32-bit range.
std::optional<std::int32_t> parse_int32(std::string_view token);

// The same three with the value into `value`, false for nothing: the form
// for the hot loops, where a returned optional takes a trip through memory.
bool parse_real(std::string_view token, double& value);
bool parse_integer(std::string_view token, std::int64_t& value);
bool parse_int32(std::string_view token, std::int32_t& value);

inline std::optional<double> parse_real(std::string_view token) {
    double value = 0;
    if (!parse_real(token, value)) return std::nullopt;
    return value;
}
inline std::optional<std::int64_t> parse_integer(std::string_view token) {
    std::int64_t value = 0;
    if (!parse_integer(token, value)) return std::nullopt;
    return value;
}
inline std::optional<std::int32_t> parse_int32(std::string_view token) {
    std::int32_t value = 0;
    if (!parse_int32(token, value)) return std::nullopt;
    return value;
}

// Conversion of a piece of text: the number when the whole piece (leading
// blanks allowed) is one, otherwise 0. Unsigned conversions also give 0 for
// a negative piece; narrower fields keep the low-order bits.
double to_real(std::string_view piece);
std::int64_t to_integer(std::string_view piece);
std::uint64_t to_unsigned(std::string_view piece);

// --- Byte sources -----------------------------------------------------------

class TextSource {
public:
    virtual ~TextSource() = default;
    // Fills `buffer` with up to `size` bytes; 0 means the end.
    virtual std::size_t read(char* buffer, std::size_t size) = 0;
};

// --- The reader -------------------------------------------------------------

class TextReader {
public:
    static constexpr std::size_t max_line = 255;

    // `name` is shown in error reports ("points.txt, line 5").
    TextReader(std::unique_ptr<TextSource> source, std::string name, std::size_t buffer_size = 1 << 16);

    // Opens a file for reading. Nothing when it cannot be opened (missing,
    // unreadable, a folder, or an empty name); `error` then holds errno.
    static std::optional<TextReader> open(const std::filesystem::path& path, std::string name, int* error = nullptr);
    // The same, raising the system's error report when it cannot be opened.
    static TextReader open_or_fail(const std::filesystem::path& path, std::string name);
    // Reads what is typed on the console, line by line (keyboard line input).
    static TextReader keyboard(Console& console);

    bool eof() { return peek() < 0; }
    bool eoln();
    // Skips blanks, tabs and line ends; then tells whether the end is reached.
    bool seek_eof();
    // Skips blanks and tabs only; then tells whether the line ends there (or
    // the file): whether the line holds another token.
    bool seek_eoln() {
        // As a rule one blank stands before the next token: bytes above the
        // blank are never separators.
        if (end_ - position_ >= 2 && buffer_[position_] == ' ' &&
            static_cast<unsigned char>(buffer_[position_ + 1]) > ' ') {
            ++position_;
            after_cr_ = false;
            return false;
        }
        return seek_eoln_slowly();
    }

    // Number tokens. An invalid token raises runtime error 106.
    double read_real();
    std::int64_t read_integer();
    std::int32_t read_int32();  // also 106 beyond the signed 32-bit range
    // As read_real / read_integer, but a token that is not a number is
    // reported back (nothing) instead of stopping the program.
    std::optional<double> try_read_real() {
        double value = 0;
        if (!next_real(value)) return std::nullopt;
        return value;
    }
    std::optional<std::int64_t> try_read_integer() {
        std::int64_t value = 0;
        if (!next_integer(value)) return std::nullopt;
        return value;
    }
    // The same for a signed 32-bit field: a token that is not an integer is
    // reported back, but an integer beyond the field raises runtime error
    // 106 as read_int32 does; it is never wrapped.
    std::optional<std::int32_t> try_read_int32();

    // The characters up to the line end, at most 255; the rest stays.
    std::string_view read_line_text();
    // Discards the rest of the line and its line end.
    void skip_line();
    // read_line_text, then skip_line. The text stays valid until the next
    // line or number is read (eof and eoln keep it).
    std::string_view read_line();

    // The line the reader stands on, from 1.
    long line_number() const { return line_; }
    const std::string& name() const { return name_; }

private:
    struct Token {
        // The token where it stands in the buffer, or collected in
        // `token_`; only the start of a token longer than a line.
        std::string_view text;
        bool found = false;     // false: the end came first
        bool skipped = false;   // blanks or line ends stood before it
        bool too_long = false;  // longer than a line: never a number
        long line = 0;
    };

    // The byte at the read position, or -1 at the end (Ctrl-Z included).
    int peek() {
        if (position_ == end_ && !fill()) return -1;
        const auto byte = static_cast<unsigned char>(buffer_[position_]);
        return byte == 26 ? end_at_ctrl_z() : byte;
    }
    int end_at_ctrl_z();
    void advance();
    bool fill();
    // Skips blanks, tabs and line ends; true when there were any.
    bool skip_separators();
    // The long ways, kept out of the quick ones so that those stay small.
    [[gnu::noinline]] bool skip_separators_slowly();
    [[gnu::noinline]] double read_real_slowly();
    [[gnu::noinline]] std::int64_t read_integer_slowly();
    [[gnu::noinline]] void skip_line_slowly();
    [[gnu::noinline]] bool seek_eoln_slowly();
    // The token at the read position, after the separators.
    Token take_token(bool skipped);
    // The shortest reading, of a short token after a few blanks, with room
    // to spare in the buffer; false leaves the reader where it stands.
    const char* after_blanks() const;
    bool short_real_here(double& value);
    bool short_integer_here(std::int64_t& value);
    // The quick reading of the usual token, whole in the buffer: false, or
    // nothing, leaves the reader where it stands.
    bool quick_real(double& value);
    bool quick_integer_token(std::string_view& token);
    bool quick_integer(std::int64_t& value);
    void consume(std::string_view token);
    void pass_line_end(const char* text, const char* line_end);
    [[noreturn]] void fail(const Token& token);
    bool real_of(const Token& token, double& value) const;
    bool integer_of(const Token& token, std::int64_t& value) const;
    // try_read_real and try_read_integer.
    bool next_real(double& value);
    bool next_integer(std::int64_t& value);

    std::unique_ptr<TextSource> source_;
    std::string name_;
    std::vector<char> buffer_;
    std::size_t position_ = 0;
    std::size_t end_ = 0;
    bool at_end_ = false;
    bool after_cr_ = false;
    long line_ = 1;
    char token_[max_line + 1];
    char line_text_[max_line];
};

}  // namespace common
