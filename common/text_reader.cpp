#include "common/text_reader.h"

#include <bit>
#include <cerrno>
#include <cstring>

#include "common/console.h"
#include "common/platform.h"
#include "common/run_error.h"
#include "common/stop_request.h"

namespace common {

namespace {

// Room after the buffered bytes: the stop byte, and the eight bytes that a
// look at the last of them may take.
constexpr std::size_t stop_room = 16;

class FileSource : public TextSource {
public:
    FileSource(int descriptor, std::string name, Console* console)
        : descriptor_(descriptor), name_(std::move(name)), console_(console) {}
    ~FileSource() override { platform::close(descriptor_); }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    std::size_t read(char* buffer, std::size_t size) override {
        for (;;) {
            check_interrupted();
            if (console_ != nullptr && platform::wait_readable(descriptor_, 0) == 0) console_->present();
            const std::ptrdiff_t n = platform::read(descriptor_, buffer, size);
            if (n >= 0) return static_cast<std::size_t>(n);
            if (errno != EINTR) throw file_error(errno, "cannot read", name_);
        }
    }

private:
    int descriptor_;
    std::string name_;
    Console* console_;
};

std::optional<TextReader> open_file(Console* console, const std::filesystem::path& path, std::string name,
                                    int* error) {
    int code = ENOENT;
    if (!path.empty() && !name.empty()) {
        const int descriptor = platform::open_for_reading(path);
        if (descriptor >= 0) {
            // The source gets its copy of the name before the reader takes it.
            auto source = std::make_unique<FileSource>(descriptor, name, console);
            return TextReader(std::move(source), std::move(name));
        }
        code = errno;
    }
    if (error != nullptr) *error = code;
    return std::nullopt;
}

TextReader open_file_or_fail(Console* console, const std::filesystem::path& path, std::string name) {
    int error = 0;
    auto reader = open_file(console, path, name, &error);
    if (!reader) throw file_error(error, "cannot open", name);
    return std::move(*reader);
}

}  // namespace

// --- Reader -----------------------------------------------------------------

TextReader::TextReader(std::unique_ptr<TextSource> source, std::string name, std::size_t buffer_size)
    : source_(std::move(source)),
      name_(std::move(name)),
      typed_(source_->typed()),
      capacity_(buffer_size),
      buffer_(buffer_size + stop_room) {}

std::optional<TextReader> TextReader::open(const std::filesystem::path& path, std::string name, int* error) {
    return open_file(nullptr, path, std::move(name), error);
}

TextReader TextReader::open_or_fail(const std::filesystem::path& path, std::string name) {
    return open_file_or_fail(nullptr, path, std::move(name));
}

std::optional<TextReader> TextReader::open(Console& console, const std::filesystem::path& path, std::string name,
                                           int* error) {
    return open_file(&console, path, std::move(name), error);
}

TextReader TextReader::open_or_fail(Console& console, const std::filesystem::path& path, std::string name) {
    return open_file_or_fail(&console, path, std::move(name));
}

// The stop byte: no number holds it, and it neither ends a token nor a line.
void TextReader::set_end(std::size_t end) {
    end_ = end;
    buffer_[end] = '\0';
}

bool TextReader::fill() {
    if (at_end_) return false;
    position_ = 0;
    set_end(source_->read(buffer_.data(), capacity_));
    if (end_ == 0) {
        at_end_ = true;
        return false;
    }
    return true;
}

// Ctrl-Z ends the file, wherever it stands. Only its own byte takes the stop
// byte: a line read before it stays as it was.
int TextReader::end_at_ctrl_z() {
    at_end_ = true;
    set_end(position_);
    return -1;
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

bool TextReader::eoln() {
    const int c = peek();
    return c < 0 || c == '\r' || c == '\n';
}

bool TextReader::seek_eof() {
    skip_separators();
    return eof();
}

bool TextReader::seek_eoln_slowly() {
    for (int c = peek();; c = peek()) {
        if (c != ' ' && c != '\t') return c < 0 || c == '\r' || c == '\n';
        ++position_;
        after_cr_ = false;
    }
}

namespace {

// Byte classes of the scanners: what ends a token (blanks, tabs, line ends
// and Ctrl-Z) and what ends a line (LF, CR and Ctrl-Z).
struct ByteClasses {
    bool ends_token[256] = {};
    bool ends_line[256] = {};
    constexpr ByteClasses() {
        for (const unsigned char c : {' ', '\t', '\r', '\n', '\x1a'}) ends_token[c] = true;
        for (const unsigned char c : {'\r', '\n', '\x1a'}) ends_line[c] = true;
    }
};
constexpr ByteClasses byte_classes;

bool ends_token(char c) {
    return byte_classes.ends_token[static_cast<unsigned char>(c)];
}

bool ends_line(char c) {
    return byte_classes.ends_line[static_cast<unsigned char>(c)];
}

// The first LF, CR or Ctrl-Z in [p, stop), or stop. Lines are long enough
// to look at eight bytes at a time: the three are below 27, and the bytes
// below 27 are flagged by (x - 27 in each byte) & ~x & 0x80.. . A flagged byte
// may be a tab or another control byte, and a borrow may flag bytes above
// it falsely, but every byte below 27 is flagged: the flags are checked in
// order until one is a line end.
const char* find_line_end(const char* p, const char* const stop) {
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t ones = 0x0101010101010101u;
        constexpr std::uint64_t highs = 0x8080808080808080u;
        while (stop - p >= 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, p, 8);
            for (std::uint64_t flags = (word - ones * 27) & ~word & highs; flags != 0; flags &= flags - 1) {
                const char* const candidate = p + std::countr_zero(flags) / 8;
                if (ends_line(*candidate)) return candidate;
            }
            p += 8;
        }
    }
    while (p != stop && !ends_line(*p)) ++p;
    return p;
}

}  // namespace

// The usual run before a token: a few blanks and no line end, all in the
// buffer; the first byte that is not a blank is found in one word. The
// rest, and the end of the buffer, go the long way.
bool TextReader::skip_separators() {
    if (std::endian::native == std::endian::little && end_ - position_ >= 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, buffer_.data() + position_, 8);
        const std::uint64_t not_blank = word ^ 0x2020202020202020u;
        if (not_blank != 0) {
            const auto blanks = static_cast<std::size_t>(std::countr_zero(not_blank) / 8);
            const char next = buffer_[position_ + blanks];
            if (next != '\t' && next != '\r' && next != '\n') {
                position_ += blanks;
                if (blanks == 0) return false;
                after_cr_ = false;
                return true;
            }
        }
    }
    return skip_separators_slowly();
}

bool TextReader::skip_separators_slowly() {
    bool skipped = false;
    // Blanks, tabs and line ends, a buffer load at a time.
    while (position_ != end_ || fill()) {
        const char* p = buffer_.data() + position_;
        const char* const stop = buffer_.data() + end_;
        for (; p != stop; ++p) {
            const char c = *p;
            if (c == ' ' || c == '\t') {
                after_cr_ = false;
            } else if (c == '\n') {
                if (!after_cr_) ++line_;
                after_cr_ = false;
            } else if (c == '\r') {
                ++line_;
                after_cr_ = true;
            } else {
                break;
            }
            skipped = true;
        }
        position_ = static_cast<std::size_t>(p - buffer_.data());
        if (p != stop) break;
    }
    return skipped;
}

TextReader::Token TextReader::take_token(bool skipped) {
    Token token;
    token.skipped = skipped;
    token.line = line_;
    // The token runs to the next separator. As a rule it lies whole in the
    // buffer and is taken where it stands; one that runs over the end of the
    // buffer is collected in `token_` from as many loads as it takes.
    std::size_t size = 0;
    bool collected = false;
    while (peek() >= 0) {
        const char* const start = buffer_.data() + position_;
        const char* const stop = buffer_.data() + end_;
        const char* p = start;
        while (p != stop && !ends_token(*p)) ++p;
        const auto run = static_cast<std::size_t>(p - start);
        position_ += run;
        if (p != stop && !collected) {
            size = run;
            token.text = std::string_view(start, std::min(run, max_line));
            break;
        }
        // A token longer than a line is never a number; keep its start for
        // the report and read past the rest without storing it.
        const std::size_t kept = std::min(run, max_line - std::min(size, max_line));
        std::memcpy(token_ + std::min(size, max_line), start, kept);
        size += run;
        collected = true;
        if (p != stop) break;
    }
    if (collected) token.text = std::string_view(token_, std::min(size, max_line));
    if (size > 0) after_cr_ = false;
    token.found = size > 0;
    token.too_long = size > max_line;
    return token;
}


inline NumberScan TextReader::scan_here() const {
    const char* p = buffer_.data() + position_;
    // Up to seven blanks are found in one word; the stop byte after the
    // buffered bytes ends the run.
    if constexpr (std::endian::native == std::endian::little) {
        std::uint64_t word = 0;
        std::memcpy(&word, p, 8);
        const std::uint64_t not_blank = word ^ 0x2020202020202020u;
        p += not_blank == 0 ? 8 : std::countr_zero(not_blank) / 8;
    }
    NumberScan scan = scan_number(p, StoppedText{});
    if (!ends_token(*scan.end) || scan.end - p > static_cast<std::ptrdiff_t>(max_line)) scan.number = scan.whole = false;
    return scan;
}

inline void TextReader::consume(const NumberScan& scan) {
    position_ = static_cast<std::size_t>(scan.end - buffer_.data());
    after_cr_ = false;
}

inline bool TextReader::quick_real(double& value) {
    const NumberScan scan = scan_here();
    if (!scan.number || !exact_real(scan, value)) return false;
    consume(scan);
    return true;
}

inline bool TextReader::quick_integer(std::int64_t& value) {
    const NumberScan scan = scan_here();
    if (!scan.whole) return false;
    value = integer_value(scan);
    consume(scan);
    return true;
}

void TextReader::fail(const Token& token) {
    throw invalid_number(token.text, name_, typed_ ? 0 : token.line);
}

// Each reading tries the quick way at the read position, and again after
// the separators (a line end before the token); the long way takes the
// rest.
bool TextReader::next_real(double& value) {
    if (quick_real(value)) return true;
    const bool skipped = skip_separators();
    if (quick_real(value)) return true;
    const Token token = take_token(skipped);
    if (!token.found) {
        value = 0;
        return token.skipped;
    }
    return !token.too_long && parse_real(token.text, value);
}

double TextReader::read_real() {
    double value = 0;
    if (quick_real(value)) return value;
    return read_real_slowly();
}

double TextReader::read_real_slowly() {
    const bool skipped = skip_separators();
    double value = 0;
    if (quick_real(value)) return value;
    const Token token = take_token(skipped);
    if (!token.found) {
        if (token.skipped) return 0.0;
        fail(token);
    }
    if (token.too_long || !parse_real(token.text, value)) fail(token);
    return value;
}

std::int64_t TextReader::read_integer() {
    std::int64_t value = 0;
    if (quick_integer(value)) return value;
    return read_integer_slowly();
}

std::int64_t TextReader::read_integer_slowly() {
    const bool skipped = skip_separators();
    std::int64_t value = 0;
    if (quick_integer(value)) return value;
    const Token token = take_token(skipped);
    if (!token.found) return 0;
    if (token.too_long || !parse_integer(token.text, value)) fail(token);
    return value;
}

inline bool TextReader::quick_int32(std::int32_t& value) {
    const NumberScan scan = scan_here();
    if (!scan.whole || !short_int32(scan, value)) return false;
    consume(scan);
    return true;
}

std::int32_t TextReader::read_int32() {
    std::int32_t value = 0;
    if (quick_int32(value)) return value;
    return *read_int32_slowly(true);
}

std::optional<std::int32_t> TextReader::try_read_int32() {
    std::int32_t value = 0;
    if (quick_int32(value)) return value;
    return read_int32_slowly(false);
}

// A token that is not an integer fails when `must`, and is reported back
// otherwise; an integer beyond the field always fails.
std::optional<std::int32_t> TextReader::read_int32_slowly(bool must) {
    const bool skipped = skip_separators();
    std::int32_t value = 0;
    if (quick_int32(value)) return value;
    const Token token = take_token(skipped);
    if (!token.found) return 0;
    std::int64_t any = 0;
    if (token.too_long || !parse_integer(token.text, any)) {
        if (must) fail(token);
        return std::nullopt;
    }
    if (!parse_int32(token.text, value)) fail(token);
    return value;
}

std::string_view TextReader::read_line_text() {
    std::size_t size = 0;
    while (size < max_line && peek() >= 0) {
        const char* start = buffer_.data() + position_;
        const char* stop = buffer_.data() + std::min(end_, position_ + (max_line - size));
        const char* const p = find_line_end(start, stop);
        const auto run = static_cast<std::size_t>(p - start);
        std::memcpy(line_text_ + size, start, run);
        size += run;
        position_ += run;
        if (run > 0) after_cr_ = false;
        if (p != stop) break;
    }
    return {line_text_, size};
}

// Moves past the line end at `line_end` (LF or CR, with at least one more
// byte buffered after it) of the text from `text`.
void TextReader::pass_line_end(const char* text, const char* line_end) {
    if (line_end != text) after_cr_ = false;
    const char* next = line_end + 1;
    if (*line_end == '\r') {
        ++line_;
        after_cr_ = *next != '\n';
        if (*next == '\n') ++next;
    } else {
        if (!after_cr_) ++line_;
        after_cr_ = false;
    }
    position_ = static_cast<std::size_t>(next - buffer_.data());
}

void TextReader::skip_line() {
    // The usual line end, LF or CR LF, lies in what is buffered.
    const char* const start = buffer_.data() + position_;
    const char* const stop = buffer_.data() + end_;
    const char* p = find_line_end(start, stop);
    if (p != stop && *p != 26 && p + 1 != stop) {
        pass_line_end(start, p);
        return;
    }
    skip_line_slowly();
}

void TextReader::skip_line_slowly() {
    for (;;) {
        if (position_ == end_ && peek() < 0) return;
        // Look for the line end in what is buffered, without a call per byte.
        const char* start = buffer_.data() + position_;
        const char* stop = buffer_.data() + end_;
        const char* const p = find_line_end(start, stop);
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
    // The usual line lies whole in the buffer, its line end too, with more
    // after it: it is taken where it stands, in one scan. Any other line
    // (near the end of the buffer, longer than a line, or ended by Ctrl-Z)
    // is read the long way.
    if (end_ - position_ > 1) {
        const char* const start = buffer_.data() + position_;
        const char* const stop = buffer_.data() + end_;
        const char* const limit = start + std::min(end_ - position_, max_line);
        const char* const p = find_line_end(start, limit);
        if (p != limit && *p != 26 && p + 2 < stop) {
            pass_line_end(start, p);
            return {start, static_cast<std::size_t>(p - start)};
        }
    }
    const std::string_view text = read_line_text();
    skip_line();
    return text;
}

}  // namespace common
