// The number-token rules and the field formats, each against an independent
// reference:
// - a token is a real or an integer exactly when the grammar says so, and
//   its value is the C library's correctly rounded one (strtod, strtoll):
//   beyond the range of a double it is no number, below it 0;
// - a reader splits the input into the same tokens and lines as a plain
//   split at blanks, tabs and line ends (LF, CR LF, lone CR), up to a byte
//   26, whatever its buffer;
// - x:w:d, n:w and x:w write what printf writes.
#include <bit>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "common/field_format.h"
#include "common/run_error.h"
#include "fuzz/fuzz_support.h"
#include "tests/support/conversions.h"

namespace {

using fuzzing::finding;

bool same(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

using testing_support::parse_int32;
using testing_support::parse_integer;
using testing_support::parse_real;

std::string shown(std::string_view token) {
    return "\"" + common::printable_token(token, 300) + "\"";
}

// The grammar, written out once more: [+-]digits[.digits][(E|e)[+-]digits].
bool grammar(std::string_view t, bool integer) {
    std::size_t i = 0;
    auto digits = [&] {
        const std::size_t start = i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
        return i > start;
    };
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    if (!digits()) return false;
    if (integer) return i == t.size();
    if (i < t.size() && t[i] == '.') {
        ++i;
        if (!digits()) return false;
    }
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        if (!digits()) return false;
    }
    return i == t.size();
}

void check_token(std::string_view token) {
    const std::string text(token);
    const bool real = grammar(token, false);
    const bool integer = grammar(token, true);
    const auto value = parse_real(token);
    if (!real) {
        if (value) finding("parse_real takes " + shown(token));
    } else {
        errno = 0;
        const double reference = std::strtod(text.c_str(), nullptr);
        const bool overflow = errno == ERANGE && std::isinf(reference);
        if (overflow != !value) finding("parse_real overflow wrong for " + shown(token));
        if (value && !same(*value, reference)) finding("parse_real value wrong for " + shown(token));
        if (value && common::to_real(token) != *value) finding("to_real differs for " + shown(token));
    }

    const auto whole = parse_integer(token);
    const auto int32 = parse_int32(token);
    if (whole.has_value() != integer || int32.has_value() > integer) finding("integer parse wrong for " + shown(token));
    if (integer) {
        errno = 0;
        const long long reference = std::strtoll(text.c_str(), nullptr, 10);
        const bool in_range = errno != ERANGE && reference >= INT32_MIN && reference <= INT32_MAX;
        if (errno != ERANGE && *whole != reference) finding("parse_integer value wrong for " + shown(token));
        if (int32.has_value() != in_range) finding("parse_int32 range wrong for " + shown(token));
        if (int32 && *int32 != reference) finding("parse_int32 value wrong for " + shown(token));
        const std::uint64_t unsigned_value = common::to_unsigned(token);
        if (token.front() == '-' ? unsigned_value != 0 : unsigned_value != static_cast<std::uint64_t>(*whole)) {
            finding("to_unsigned wrong for " + shown(token));
        }
    } else if (!token.empty() && token.front() != ' ' &&
               (common::to_integer(token) != 0 || common::to_unsigned(token) != 0)) {
        finding("a piece that is no whole number converts to a number: " + shown(token));
    }
}

// x:w:d, n:w and x:w against printf.
void check_formats(double value, int width, int decimals) {
    char reference[1024];
    std::snprintf(reference, sizeof reference, "%*.*f", width, decimals, value);
    if (common::fixed(value, width, decimals).view() != reference) {
        finding("x:" + std::to_string(width) + ":" + std::to_string(decimals) + " differs from printf: " + reference);
    }
    const auto whole = static_cast<long long>(std::fmod(value, 9e18));
    std::snprintf(reference, sizeof reference, "%*lld", width, whole);
    if (common::integer(whole, width).view() != reference)
        finding(std::string("n:w differs from printf: ") + reference);

    // x:w: sign or blank, the digits, E, the exponent's sign and three digits.
    const int digits = std::max(2, std::min(17, width - 7));
    char printed[64];
    std::snprintf(printed, sizeof printed, "%.*E", digits - 1, value);
    std::string text(printed);
    const std::size_t e = text.find('E');
    std::string exponent = text.substr(e + 2);
    while (exponent.size() < 3) exponent.insert(0, 1, '0');
    text = text.substr(0, e + 2) + exponent;
    if (text.front() != '-') text.insert(0, 1, ' ');
    if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    if (common::scientific(value, width).view() != text) finding("x:w differs from its definition: " + text);
}

bool separator(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// What the reader must make of the input, by a plain split.
struct Split {
    std::vector<std::string_view> tokens;
    std::vector<std::string_view> lines;
};

Split split(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\x1a'));
    Split out;
    for (std::size_t i = 0; i < bytes.size();) {
        if (separator(bytes[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < bytes.size() && !separator(bytes[end])) ++end;
        out.tokens.push_back(bytes.substr(i, end - i));
        i = end;
    }
    for (std::size_t i = 0; i < bytes.size();) {
        std::size_t end = bytes.find_first_of("\r\n", i);
        if (end == std::string_view::npos) end = bytes.size();
        out.lines.push_back(bytes.substr(i, std::min<std::size_t>(end - i, common::TextReader::max_line)));
        i = end;
        if (i < bytes.size()) i += bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n' ? 2 : 1;
    }
    return out;
}

void check_reader(std::string_view bytes, const Split& expected, fuzzing::Buffering buffering) {
    {
        common::TextReader reader = fuzzing::reader_of(bytes, buffering);
        std::size_t n = 0;
        while (!reader.seek_eof()) {
            if (n == expected.tokens.size()) finding("the reader finds more tokens than there are");
            const std::string_view token = expected.tokens[n++];
            const auto want = token.size() > common::TextReader::max_line ? std::nullopt : parse_real(token);
            const auto got = reader.try_read_real();
            if (got.has_value() != want.has_value() || (got && !same(*got, *want))) {
                finding("the reader reads token " + std::to_string(n) + " " + shown(token) + " wrongly");
            }
        }
        if (n != expected.tokens.size()) finding("the reader misses tokens");
    }
    {
        common::TextReader reader = fuzzing::reader_of(bytes, buffering);
        std::size_t n = 0;
        while (!reader.eof()) {
            if (n == expected.lines.size()) finding("the reader finds more lines than there are");
            const std::string_view line = reader.read_line();
            if (line != expected.lines[n]) finding("line " + std::to_string(n + 1) + " read wrongly: " + shown(line));
            ++n;
            if (reader.line_number() != static_cast<long>(n) + 1 && !reader.eof()) {
                finding("the line number is " + std::to_string(reader.line_number()) + " on line " +
                        std::to_string(n + 1));
            }
        }
        if (n != expected.lines.size()) finding("the reader misses lines");
        if (!reader.read_line().empty()) finding("a line read at the end is not empty");
    }
    {
        // Whole numbers, as the register and the point lists read them: a
        // bad token stops with error 106 and nothing else.
        common::TextReader reader = fuzzing::reader_of(bytes, buffering);
        try {
            while (!reader.seek_eof()) (void)reader.read_int32();
        } catch (const common::RunError& error) {
            if (error.code() != common::error_invalid_numeric_format) finding("unexpected " + error.report());
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzzing::bytes_of(data, size);
    // The whole input as one piece, and every token of it.
    if (size <= 400) check_token(bytes);
    const Split expected = split(bytes);
    for (const std::string_view token : expected.tokens) {
        if (token.size() > 400) continue;
        check_token(token);
        if (const auto value = parse_real(token)) {
            const int width = static_cast<int>(token.size() % 24);
            check_formats(*value, width, static_cast<int>(token.size() % 41));
        }
    }
    check_reader(bytes, expected, fuzzing::Buffering::whole);
    check_reader(bytes, expected, fuzzing::Buffering::tiny);
    return 0;
}
