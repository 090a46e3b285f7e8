// Reading numbers, tokens and lines from text files and from the keyboard.
//
// One reader implements the reading rules for both:
// - a number token is the run of characters up to the next blank, tab or
//   line end, after skipping blanks, tabs and line ends; its grammar and
//   value are those of number_scan.h;
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

#include "common/number_scan.h"

namespace common {

class Console;

// --- Byte sources -----------------------------------------------------------

class TextSource {
public:
    virtual ~TextSource() = default;
    // Fills `buffer` with up to `size` bytes; 0 means the end.
    virtual std::size_t read(char* buffer, std::size_t size) = 0;
    // Lines typed on the keyboard: a report names no line number for them.
    virtual bool typed() const { return false; }
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
    // The same for a program on a console: a read that would wait (a pipe
    // whose writer has not written yet) is a wait like any other, before
    // which the console shows its latest screen.
    static std::optional<TextReader> open(Console& console, const std::filesystem::path& path, std::string name,
                                          int* error = nullptr);
    static TextReader open_or_fail(Console& console, const std::filesystem::path& path, std::string name);

    bool eof() { return peek() < 0; }
    bool eoln();
    // Skips blanks, tabs and line ends; then tells whether the end is reached.
    bool seek_eof();
    // Skips blanks and tabs only; then tells whether the line ends there (or
    // the file): whether the line holds another token.
    bool seek_eoln() {
        // As a rule one blank stands before the next token: bytes above the
        // blank are never separators (the stop byte after the buffered ones
        // is none of them).
        if (buffer_[position_] == ' ' && static_cast<unsigned char>(buffer_[position_ + 1]) > ' ') {
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
    // As read_real, but a token that is not a number is reported back
    // (nothing) instead of stopping the program.
    std::optional<double> try_read_real() {
        double value = 0;
        if (!next_real(value)) return std::nullopt;
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
    // The end of what is buffered, and the stop byte after it.
    void set_end(std::size_t end);
    // Skips blanks, tabs and line ends; true when there were any.
    bool skip_separators();
    // The long ways, kept out of the quick ones so that those stay small.
    [[gnu::noinline]] bool skip_separators_slowly();
    [[gnu::noinline]] double read_real_slowly();
    [[gnu::noinline]] std::int64_t read_integer_slowly();
    [[gnu::noinline]] std::optional<std::int32_t> read_int32_slowly(bool must);
    [[gnu::noinline]] void skip_line_slowly();
    [[gnu::noinline]] bool seek_eoln_slowly();
    // The usual token, after a few blanks (no tab, no line end), lies whole
    // in the buffer with the byte after it: it is scanned where it stands.
    // Nothing when any other token, or anything else, stands there; the
    // reader then stays where it stands, for the long way.
    [[gnu::always_inline]] NumberScan scan_here() const;
    void consume(const NumberScan& scan);
    [[gnu::always_inline]] bool quick_real(double& value);
    [[gnu::always_inline]] bool quick_integer(std::int64_t& value);
    [[gnu::always_inline]] bool quick_int32(std::int32_t& value);
    // The token at the read position, after the separators.
    Token take_token(bool skipped);
    void pass_line_end(const char* text, const char* line_end);
    [[noreturn]] void fail(const Token& token);
    // try_read_real.
    bool next_real(double& value);

    std::unique_ptr<TextSource> source_;
    std::string name_;
    bool typed_ = false;
    std::size_t capacity_;
    // The buffered bytes, a stop byte and room after it: the scanner
    // takes digits eight at a time without a bound to watch.
    std::vector<char> buffer_;
    std::size_t position_ = 0;
    std::size_t end_ = 0;
    bool at_end_ = false;
    bool after_cr_ = false;
    long line_ = 1;
    char token_[max_line];
    char line_text_[max_line];
};

}  // namespace common
