#include "common/text_reader.h"

#include <bit>
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

namespace {

// The powers of ten that a double holds exactly.
constexpr double exact_powers_of_ten[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                          1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// What one pass over a real token found: whether it is one, and, for the
// usual tokens, its digits as a whole number and the power of ten they
// are to be scaled by.
// Sixteen bytes, so that it comes back from the scan in two registers.
struct RealScan {
    std::uint64_t digits = 0;
    std::int32_t exponent = 0;
    bool valid = false;
    bool negative = false;
    bool exact = false;  // at most 19 digits: all of them are in `digits`
};

// The leading digits of the eight bytes at `p`: how many (0..8) and their
// value. In the word the first byte is the lowest. A byte is a digit when
// neither b - '0' nor b + 0x46 sets its top bit; borrows and carries only
// run upwards, so the lowest flagged byte is the first that is not a digit.
// The digits, shifted to the top with zeros below, are then combined side
// by side in the lanes of the word: into pairs, and the pairs into one value.
struct DigitRun {
    int count;
    std::uint32_t value;
};

DigitRun eight_byte_digits(const char* p) {
    std::uint64_t word = 0;
    std::memcpy(&word, p, 8);
    const std::uint64_t flags = ((word + 0x4646464646464646u) | (word - 0x3030303030303030u)) & 0x8080808080808080u;
    const int count = flags == 0 ? 8 : std::countr_zero(flags) / 8;
    if (count == 0) return {0, 0};
    std::uint64_t lanes = (word - 0x3030303030303030u) << (8 * (8 - count));
    lanes = lanes * 10 + (lanes >> 8);  // bytes 0, 2, 4, 6: the four pairs
    constexpr std::uint64_t first_and_third = 0x000000FF000000FFu;
    lanes = ((lanes & first_and_third) * (100 + (std::uint64_t{1'000'000} << 32)) +
             ((lanes >> 16) & first_and_third) * (1 + (std::uint64_t{10'000} << 32))) >>
            32;
    return {count, static_cast<std::uint32_t>(lanes)};
}

constexpr std::uint64_t digit_scales[] = {1, 10, 100, 1'000, 10'000, 100'000, 1'000'000, 10'000'000, 100'000'000};

// Takes the digits at `p` into `digits`; returns where they end. Eight
// bytes at a time while eight are left, then one at a time.
const char* take_digits(const char* p, const char* const end, std::uint64_t& digits) {
    if constexpr (std::endian::native == std::endian::little) {
        while (end - p >= 8) {
            const DigitRun run = eight_byte_digits(p);
            digits = digits * digit_scales[run.count] + run.value;
            p += run.count;
            if (run.count < 8) return p;
        }
    }
    while (p != end && is_digit(*p)) digits = digits * 10 + static_cast<std::uint64_t>(*p++ - '0');
    return p;
}

// Scans a real number from `p` as far as the grammar goes, leaving `p`
// where it stopped; `valid` tells whether a whole number ends there.
RealScan scan_real(const char*& p, const char* const end) {
    RealScan scan;
    if (p != end && (*p == '+' || *p == '-')) scan.negative = *p++ == '-';
    // The digits before and after the point go into one whole number; one
    // of more than 19 digits wraps around and is not used.
    std::uint64_t digits = 0;
    const char* const whole = p;
    p = take_digits(p, end, digits);
    auto count = p - whole;
    if (count == 0) return scan;
    if (p != end && *p == '.') {
        const char* const fraction = ++p;
        p = take_digits(p, end, digits);
        if (p == fraction) return scan;
        // A fraction longer than a line is never part of a number.
        scan.exponent = -static_cast<std::int32_t>(std::min<std::ptrdiff_t>(p - fraction, 100000));
        count += p - fraction;
    }
    if (p != end && (*p == 'e' || *p == 'E')) {
        ++p;
        bool minus = false;
        if (p != end && (*p == '+' || *p == '-')) minus = *p++ == '-';
        const char* const exponent_digits = p;
        std::int32_t exponent = 0;
        while (p != end && is_digit(*p)) exponent = std::min(exponent * 10 + (*p++ - '0'), 100000);
        if (p == exponent_digits) return scan;
        scan.exponent += minus ? -exponent : exponent;
    }
    scan.valid = true;
    scan.exact = count <= 19;
    scan.digits = digits;
    return scan;
}

// Digits and power of ten both exact as doubles: one multiplication or
// division rounds correctly, as from_chars would. False for the others.
bool exact_value(const RealScan& scan, double& value) {
    if (!scan.exact || scan.digits > (std::uint64_t{1} << 53) || scan.exponent < -22 || scan.exponent > 22) {
        return false;
    }
    const auto digits = static_cast<double>(scan.digits);
    value =
        scan.exponent < 0 ? digits / exact_powers_of_ten[-scan.exponent] : digits * exact_powers_of_ten[scan.exponent];
    if (scan.negative) value = -value;
    return true;
}

// The value of a token that the grammar accepts, by from_chars: for those
// with too many digits or too large an exponent for the quick way.
bool parse_real_slowly(std::string_view token, double& result_value) {
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
        if (magnitude + exponent > 0) return false;
        value = 0;
    } else if (result.ec != std::errc()) {
        return false;
    }
    result_value = negative ? -value : value;
    return true;
}

// An integer token's [+-]digits at `p`, its value kept modulo 2^64; where
// they end, or nothing when there is no digit.
const char* scan_integer(const char* p, const char* const end, std::int64_t& value) {
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    const char* const first_digit = p;
    std::uint64_t magnitude = 0;
    p = take_digits(p, end, magnitude);
    if (p == first_digit) return nullptr;
    value = static_cast<std::int64_t>(negative ? ~magnitude + 1 : magnitude);
    return p;
}

}  // namespace

bool parse_real(std::string_view token, double& value) {
    const char* p = token.data();
    const char* const end = p + token.size();
    const RealScan scan = scan_real(p, end);
    if (!scan.valid || p != end) return false;
    if (exact_value(scan, value)) return true;
    return parse_real_slowly(token, value);
}

bool parse_integer(std::string_view token, std::int64_t& value) {
    const char* const end = token.data() + token.size();
    return scan_integer(token.data(), end, value) == end;
}

bool parse_int32(std::string_view token, std::int32_t& value) {
    const char* p = token.data();
    const char* const end = p + token.size();
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    if (p == end) return false;
    // Leading zeros aside, more than ten digits are beyond the range.
    std::uint64_t magnitude = 0;
    int significant = 0;
    for (; p != end; ++p) {
        if (!is_digit(*p)) return false;
        if (magnitude == 0 && *p == '0') continue;
        if (++significant > 10) return false;
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(*p - '0');
    }
    if (negative ? magnitude > std::uint64_t{1} << 31 : magnitude > INT32_MAX) return false;
    value = static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(magnitude)
                                               : static_cast<std::int64_t>(magnitude));
    return true;
}

double to_real(std::string_view piece) {
    double value = 0;
    return parse_real(without_leading_blanks(piece), value) ? value : 0.0;
}

std::int64_t to_integer(std::string_view piece) {
    std::int64_t value = 0;
    return parse_integer(without_leading_blanks(piece), value) ? value : 0;
}

std::uint64_t to_unsigned(std::string_view piece) {
    piece = without_leading_blanks(piece);
    if (!piece.empty() && piece.front() == '-') {
        return 0;
    }
    std::int64_t value = 0;
    return parse_integer(piece, value) ? static_cast<std::uint64_t>(value) : 0;
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
        if (descriptor >= 0) {
            // The source gets its copy of the name before the reader takes it.
            auto source = std::make_unique<FileSource>(descriptor, name);
            return TextReader(std::move(source), std::move(name));
        }
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

// Ctrl-Z ends the file, wherever it stands.
int TextReader::end_at_ctrl_z() {
    at_end_ = true;
    position_ = end_ = 0;
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

// The bytes that the short readings below may look at from the start of a
// token: a sign, two runs of eight and a point, with room to spare.
constexpr std::size_t short_token_room = 24;

// The shortest way, for the usual token of a register or a point list: an
// optional minus, one to seven digits, optionally a point and one to seven
// digits, then a blank, tab or line end. At most fourteen digits: the value
// is one exact division. False leaves `p` alone, for the general reading.
bool short_real(const char*& p, double& value) {
    const char* q = p;
    const bool negative = *q == '-';
    q += negative ? 1 : 0;
    const DigitRun whole = eight_byte_digits(q);
    if (whole.count == 0 || whole.count == 8) return false;
    q += whole.count;
    std::uint64_t digits = whole.value;
    int decimals = 0;
    if (*q == '.') {
        const DigitRun fraction = eight_byte_digits(q + 1);
        if (fraction.count == 0 || fraction.count == 8) return false;
        digits = digits * digit_scales[fraction.count] + fraction.value;
        decimals = fraction.count;
        q += 1 + fraction.count;
    }
    if (!ends_token(*q)) return false;
    double result = static_cast<double>(digits);
    if (decimals > 0) result /= exact_powers_of_ten[decimals];
    value = negative ? -result : result;
    p = q;
    return true;
}

// The same for an integer token of one to seven digits.
bool short_integer(const char*& p, std::int64_t& value) {
    const char* q = p;
    const bool negative = *q == '-';
    q += negative ? 1 : 0;
    const DigitRun run = eight_byte_digits(q);
    if (run.count == 0 || run.count == 8 || !ends_token(q[run.count])) return false;
    value = negative ? -std::int64_t{run.value} : std::int64_t{run.value};
    p = q + run.count;
    return true;
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

void TextReader::fail(const Token& token) {
    throw invalid_number(token.text, name_, name_ == "keyboard" ? 0 : token.line);
}

bool TextReader::real_of(const Token& token, double& value) const {
    return !token.too_long && parse_real(token.text, value);
}

bool TextReader::integer_of(const Token& token, std::int64_t& value) const {
    return !token.too_long && parse_integer(token.text, value);
}

// The first byte after the blanks at the read position, when a short token
// may stand there: the blanks (at most seven) and the room of the token
// are buffered. Nothing otherwise, for the general reading.
const char* TextReader::after_blanks() const {
    if (std::endian::native != std::endian::little || end_ - position_ < 8 + short_token_room) {
        return nullptr;
    }
    const char* const p = buffer_.data() + position_;
    std::uint64_t word = 0;
    std::memcpy(&word, p, 8);
    const std::uint64_t not_blank = word ^ 0x2020202020202020u;
    if (not_blank == 0) return nullptr;
    return p + std::countr_zero(not_blank) / 8;
}

// The usual real token, after a few blanks, read in one go: a tab or a
// line end before it, or any other token, is left to the general reading.
bool TextReader::short_real_here(double& value) {
    const char* p = after_blanks();
    if (p == nullptr || !short_real(p, value)) return false;
    position_ = static_cast<std::size_t>(p - buffer_.data());
    after_cr_ = false;
    return true;
}

bool TextReader::short_integer_here(std::int64_t& value) {
    const char* p = after_blanks();
    if (p == nullptr || !short_integer(p, value)) return false;
    position_ = static_cast<std::size_t>(p - buffer_.data());
    after_cr_ = false;
    return true;
}

// The usual number token lies whole in the buffer, with the byte after it:
// it is read where it stands, in one pass. Any other token (running over
// the end of the buffer, too long, or not a number) is taken the long way.
bool TextReader::quick_real(double& value) {
    const char* const start = buffer_.data() + position_;
    const char* const stop = buffer_.data() + end_;
    const char* p = start;
    const RealScan scan = scan_real(p, stop);
    if (!scan.valid || p == stop || !ends_token(*p) || p - start > static_cast<std::ptrdiff_t>(max_line) ||
        !exact_value(scan, value)) {
        return false;
    }
    position_ = static_cast<std::size_t>(p - buffer_.data());
    after_cr_ = false;
    return true;
}

bool TextReader::quick_integer_token(std::string_view& token) {
    const char* const start = buffer_.data() + position_;
    const char* const stop = buffer_.data() + end_;
    const char* p = start;
    if (p != stop && (*p == '+' || *p == '-')) ++p;
    while (p != stop && is_digit(*p)) ++p;
    if (p == stop || !ends_token(*p) || p - start > static_cast<std::ptrdiff_t>(max_line)) return false;
    token = std::string_view(start, static_cast<std::size_t>(p - start));
    return true;
}

// The usual integer token, read where it stands in one pass; the value is
// kept modulo 2^64 as parse_integer keeps it.
bool TextReader::quick_integer(std::int64_t& value) {
    const char* const start = buffer_.data() + position_;
    const char* const stop = buffer_.data() + end_;
    std::int64_t scanned = 0;
    const char* const p = scan_integer(start, stop, scanned);
    if (p == nullptr || p == stop || !ends_token(*p) || p - start > static_cast<std::ptrdiff_t>(max_line)) {
        return false;
    }
    value = scanned;
    position_ = static_cast<std::size_t>(p - buffer_.data());
    after_cr_ = false;
    return true;
}

void TextReader::consume(std::string_view token) {
    position_ += token.size();
    after_cr_ = false;
}

bool TextReader::next_real(double& value) {
    if (short_real_here(value)) return true;
    const bool skipped = skip_separators();
    if (quick_real(value)) return true;
    const Token token = take_token(skipped);
    if (!token.found) {
        value = 0;
        return token.skipped;
    }
    return real_of(token, value);
}

bool TextReader::next_integer(std::int64_t& value) {
    if (short_integer_here(value)) return true;
    const bool skipped = skip_separators();
    if (quick_integer(value)) return true;
    const Token token = take_token(skipped);
    if (!token.found) {
        value = 0;
        return true;
    }
    return integer_of(token, value);
}

double TextReader::read_real() {
    double value = 0;
    if (short_real_here(value)) return value;
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
    if (!real_of(token, value)) fail(token);
    return value;
}

std::int64_t TextReader::read_integer() {
    std::int64_t value = 0;
    if (short_integer_here(value)) return value;
    return read_integer_slowly();
}

std::int64_t TextReader::read_integer_slowly() {
    const bool skipped = skip_separators();
    std::int64_t value = 0;
    if (quick_integer(value)) return value;
    const Token token = take_token(skipped);
    if (!token.found) return 0;
    if (!integer_of(token, value)) fail(token);
    return value;
}

std::optional<std::int32_t> TextReader::try_read_int32() {
    std::int64_t short_value = 0;
    if (short_integer_here(short_value)) return static_cast<std::int32_t>(short_value);
    const Token token = take_token(skip_separators());
    if (!token.found) return 0;
    if (token.too_long || !is_integer_token(token.text)) return std::nullopt;
    std::int32_t value = 0;
    if (!parse_int32(token.text, value)) fail(token);
    return value;
}

std::int32_t TextReader::read_int32() {
    // Up to seven digits are always within the range.
    std::int64_t short_value = 0;
    if (short_integer_here(short_value)) return static_cast<std::int32_t>(short_value);
    const bool skipped = skip_separators();
    std::int32_t value = 0;
    std::string_view text;
    if (quick_integer_token(text) && parse_int32(text, value)) {
        consume(text);
        return value;
    }
    const Token token = take_token(skipped);
    if (!token.found) return 0;
    if (token.too_long || !parse_int32(token.text, value)) fail(token);
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
