#include "common/text_reader.h"

#include <cerrno>
#include <charconv>
#include <cstring>

#include "common/console.h"
#include "common/platform.h"
#include "common/run_error.h"

namespace common {

// --- Grammar ----------------------------------------------------------------

namespace {

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// Consumes a run of digits; false when there is none.
bool digits(std::string_view& text) {
    std::size_t n = 0;
    while (n < text.size() && is_digit(text[n])) ++n;
    text.remove_prefix(n);
    return n > 0;
}

void sign(std::string_view& text) {
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
}

std::string_view without_leading_blanks(std::string_view piece) {
    while (!piece.empty() && piece.front() == ' ') piece.remove_prefix(1);
    return piece;
}

}  // namespace

bool is_integer_token(std::string_view token) {
    sign(token);
    return digits(token) && token.empty();
}

bool is_real_token(std::string_view token) {
    sign(token);
    if (!digits(token)) return false;
    if (!token.empty() && token.front() == '.') {
        token.remove_prefix(1);
        if (!digits(token)) return false;
    }
    if (!token.empty() && (token.front() == 'e' || token.front() == 'E')) {
        token.remove_prefix(1);
        sign(token);
        if (!digits(token)) return false;
    }
    return token.empty();
}

std::optional<double> parse_real(std::string_view token) {
    if (!is_real_token(token)) return std::nullopt;
    const bool negative = token.front() == '-';
    if (token.front() == '+' || token.front() == '-') token.remove_prefix(1);
    double value = 0;
    const auto result = std::from_chars(token.data(), token.data() + token.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Out of range either way: tell underflow (a tiny number, read as 0)
        // from overflow by the decimal exponent of the first digit.
        long exponent = 0;
        const std::size_t e = token.find_first_of("eE");
        if (e != std::string_view::npos) {
            std::string_view part = token.substr(e + 1);
            const bool minus = part.front() == '-';
            if (part.front() == '+' || part.front() == '-') part.remove_prefix(1);
            for (const char c : part) exponent = std::min(exponent * 10 + (c - '0'), 100000L);
            if (minus) exponent = -exponent;
        }
        const std::string_view mantissa = token.substr(0, e);
        const std::size_t point = mantissa.find('.');
        const std::string_view whole = mantissa.substr(0, point);
        const std::size_t first = whole.find_first_not_of('0');
        long magnitude = 0;
        if (first != std::string_view::npos) {
            magnitude = static_cast<long>(whole.size() - first);
        } else if (point != std::string_view::npos) {
            const std::string_view fraction = mantissa.substr(point + 1);
            const std::size_t nonzero = fraction.find_first_not_of('0');
            magnitude = nonzero == std::string_view::npos ? -100000L : -static_cast<long>(nonzero);
        } else {
            magnitude = -100000L;
        }
        if (magnitude + exponent > 0) return std::nullopt;
        value = 0;
    } else if (result.ec != std::errc()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::optional<std::int64_t> parse_integer(std::string_view token) {
    if (!is_integer_token(token)) return std::nullopt;
    const bool negative = token.front() == '-';
    if (token.front() == '+' || token.front() == '-') token.remove_prefix(1);
    std::uint64_t value = 0;
    for (const char c : token) value = value * 10 + static_cast<std::uint64_t>(c - '0');
    return static_cast<std::int64_t>(negative ? ~value + 1 : value);
}

std::optional<std::int32_t> parse_int32(std::string_view token) {
    if (!is_integer_token(token)) return std::nullopt;
    std::string_view magnitude = token;
    if (magnitude.front() == '+' || magnitude.front() == '-') magnitude.remove_prefix(1);
    while (magnitude.size() > 1 && magnitude.front() == '0') magnitude.remove_prefix(1);
    if (magnitude.size() > 10) return std::nullopt;
    const std::int64_t value = *parse_integer(token);
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

double to_real(std::string_view piece) {
    return parse_real(without_leading_blanks(piece)).value_or(0.0);
}

std::int64_t to_integer(std::string_view piece) {
    return parse_integer(without_leading_blanks(piece)).value_or(0);
}

std::uint64_t to_unsigned(std::string_view piece) {
    piece = without_leading_blanks(piece);
    if (!piece.empty() && piece.front() == '-') {
        return 0;
    }
    return static_cast<std::uint64_t>(parse_integer(piece).value_or(0));
}

// --- Sources ----------------------------------------------------------------

namespace {

class FileSource : public TextSource {
public:
    FileSource(int descriptor, std::string name) : descriptor_(descriptor), name_(std::move(name)) {}
    ~FileSource() override { platform::close(descriptor_); }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    std::size_t read(char* buffer, std::size_t size) override {
        for (;;) {
            check_interrupted();
            if (platform::wait_readable(descriptor_, 0) == 0) before_blocking_read();
            const std::ptrdiff_t n = platform::read(descriptor_, buffer, size);
            if (n >= 0) return static_cast<std::size_t>(n);
            if (errno != EINTR) throw file_error(errno, "cannot read", name_);
        }
    }

private:
    int descriptor_;
    std::string name_;
};

class KeyboardSource : public TextSource {
public:
    explicit KeyboardSource(Console& console) : console_(console) {}

    std::size_t read(char* buffer, std::size_t size) override {
        const std::string line = console_.read_line();
        const std::size_t n = std::min(line.size(), size - 1);
        std::memcpy(buffer, line.data(), n);
        buffer[n] = '\n';
        return n + 1;
    }

private:
    Console& console_;
};

}  // namespace

// --- Reader -----------------------------------------------------------------

TextReader::TextReader(std::unique_ptr<TextSource> source, std::string name, std::size_t buffer_size)
    : source_(std::move(source)), name_(std::move(name)), buffer_(buffer_size) {}

std::optional<TextReader> TextReader::open(const std::filesystem::path& path, std::string name, int* error) {
    int code = ENOENT;
    if (!path.empty() && !name.empty()) {
        const int descriptor = platform::open_for_reading(path);
        if (descriptor >= 0) return TextReader(std::make_unique<FileSource>(descriptor, name), std::move(name));
        code = errno;
    }
    if (error != nullptr) *error = code;
    return std::nullopt;
}

TextReader TextReader::open_or_fail(const std::filesystem::path& path, std::string name) {
    int error = 0;
    auto reader = open(path, name, &error);
    if (!reader) throw file_error(error, "cannot open", name);
    return std::move(*reader);
}

TextReader TextReader::keyboard(Console& console) {
    return TextReader(std::make_unique<KeyboardSource>(console), "keyboard", 512);
}

bool TextReader::fill() {
    if (at_end_) return false;
    position_ = 0;
    end_ = source_->read(buffer_.data(), buffer_.size());
    if (end_ == 0) {
        at_end_ = true;
        return false;
    }
    return true;
}

int TextReader::peek() {
    if (position_ == end_ && !fill()) return -1;
    const auto byte = static_cast<unsigned char>(buffer_[position_]);
    if (byte == 26) {
        // Ctrl-Z ends the file, wherever it stands.
        at_end_ = true;
        position_ = end_ = 0;
        return -1;
    }
    return byte;
}

void TextReader::advance() {
    const char byte = buffer_[position_++];
    if (byte == '\r') {
        ++line_;
        after_cr_ = true;
        return;
    }
    if (byte == '\n' && !after_cr_) ++line_;
    after_cr_ = false;
}

bool TextReader::eof() {
    return peek() < 0;
}

bool TextReader::eoln() {
    const int c = peek();
    return c < 0 || c == '\r' || c == '\n';
}

bool TextReader::seek_eof() {
    for (int c = peek(); c == ' ' || c == '\t' || c == '\r' || c == '\n'; c = peek()) advance();
    return eof();
}

namespace {

bool is_separator(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

TextReader::Token TextReader::next_token() {
    Token token;
    for (int c = peek(); c >= 0 && is_separator(static_cast<char>(c)); c = peek()) {
        token.skipped = true;
        advance();
    }
    token.line = line_;
    std::size_t size = 0;
    // The token runs to the next separator, in as many buffer loads as it
    // takes; it is copied in whole runs, not byte by byte.
    while (peek() >= 0) {
        const char* start = buffer_.data() + position_;
        const char* stop = buffer_.data() + end_;
        const char* p = start;
        while (p != stop && !is_separator(*p) && *p != 26) ++p;
        const auto run = static_cast<std::size_t>(p - start);
        // A token longer than a line is never a number; keep its start for
        // the report and read past the rest without storing it.
        const std::size_t kept = std::min(run, max_line - std::min(size, max_line));
        std::memcpy(token_ + std::min(size, max_line), start, kept);
        size += run;
        position_ += run;
        if (p != stop) break;
    }
    if (size > 0) after_cr_ = false;
    token.found = size > 0;
    token.too_long = size > max_line;
    token.text = std::string_view(token_, std::min(size, max_line));
    return token;
}

void TextReader::fail(const Token& token) {
    throw invalid_number(token.text, name_, name_ == "keyboard" ? 0 : token.line);
}

std::optional<double> TextReader::real_of(const Token& token) const {
    if (token.too_long) return std::nullopt;
    return parse_real(token.text);
}

std::optional<std::int64_t> TextReader::integer_of(const Token& token) const {
    if (token.too_long) return std::nullopt;
    return parse_integer(token.text);
}

std::optional<double> TextReader::try_read_real() {
    const Token token = next_token();
    if (!token.found) {
        if (token.skipped) return 0.0;
        return std::nullopt;
    }
    return real_of(token);
}

std::optional<std::int64_t> TextReader::try_read_integer() {
    const Token token = next_token();
    if (!token.found) return 0;
    return integer_of(token);
}

double TextReader::read_real() {
    const Token token = next_token();
    if (!token.found) {
        if (token.skipped) return 0.0;
        fail(token);
    }
    const auto value = real_of(token);
    if (!value) fail(token);
    return *value;
}

std::int64_t TextReader::read_integer() {
    const Token token = next_token();
    if (!token.found) return 0;
    const auto value = integer_of(token);
    if (!value) fail(token);
    return *value;
}

std::int32_t TextReader::read_int32() {
    const Token token = next_token();
    if (!token.found) return 0;
    const auto value = token.too_long ? std::nullopt : parse_int32(token.text);
    if (!value) fail(token);
    return *value;
}

std::string_view TextReader::read_line_text() {
    std::size_t size = 0;
    while (size < max_line && peek() >= 0) {
        const char* start = buffer_.data() + position_;
        const char* stop = buffer_.data() + std::min(end_, position_ + (max_line - size));
        const char* p = start;
        while (p != stop && *p != '\n' && *p != '\r' && *p != 26) ++p;
        const auto run = static_cast<std::size_t>(p - start);
        std::memcpy(line_text_ + size, start, run);
        size += run;
        position_ += run;
        if (run > 0) after_cr_ = false;
        if (p != stop) break;
    }
    return {line_text_, size};
}

void TextReader::skip_line() {
    for (;;) {
        if (position_ == end_ && peek() < 0) return;
        // Look for the line end in what is buffered, without a call per byte.
        const char* start = buffer_.data() + position_;
        const char* stop = buffer_.data() + end_;
        const char* p = start;
        while (p != stop && *p != '\n' && *p != '\r' && *p != 26) ++p;
        position_ += static_cast<std::size_t>(p - start);
        if (p != start) after_cr_ = false;
        if (p == stop) continue;
        const int c = peek();
        if (c < 0) return;
        advance();
        if (c == '\r' && peek() == '\n') advance();
        return;
    }
}

std::string_view TextReader::read_line() {
    const std::string_view text = read_line_text();
    skip_line();
    return text;
}

}  // namespace common
