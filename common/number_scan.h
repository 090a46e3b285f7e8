// The number grammar of the suite, coded once, and the values of its tokens.
//
//   real tokens:    [+-]digits[.digits][(E|e)[+-]digits]
//   integer tokens: [+-]digits
//   ("1.", ".5", "1e", "+-1", "1,5" and "0x10" are not numbers)
//
// A real's value is the correctly rounded one, as std::from_chars gives it;
// beyond the range of a double (1e400) a token is no number, below it
// (1e-400) it reads as zero. An integer's value is kept modulo 2^64: a number
// beyond the range of its field keeps its low-order bits.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "common/powers_of_ten.h"

namespace common {

// The value of a real token into `value`; false when the token is not one
// or its value is beyond the range of a double.
bool parse_real(std::string_view token, double& value);
// The value of an integer token, modulo 2^64; false when it is not one.
bool parse_integer(std::string_view token, std::int64_t& value);
// The same, but false when the value is outside the signed 32-bit range.
bool parse_int32(std::string_view token, std::int32_t& value);

// Conversion of a piece of text: the number when the whole piece (leading
// blanks allowed) is one, otherwise 0. Unsigned conversions also give 0 for
// a negative piece; narrower fields keep the low-order bits.
double to_real(std::string_view piece);
std::int64_t to_integer(std::string_view piece);
std::uint64_t to_unsigned(std::string_view piece);

// --- The scanner ------------------------------------------------------------
//
// One pass over a token as far as the grammar goes. The readers run it where
// a token stands in their buffer; the text it reads is either bounded, or
// ends in a stop byte (any byte that no number holds) with eight more bytes
// readable after it, so that digits are taken eight at a time without a
// bound to watch.

struct NumberScan {
    const char* end = nullptr;  // where the scan stopped
    std::uint64_t digits = 0;   // the digits before and after the point, modulo 2^64
    std::int32_t exponent = 0;  // the power of ten that `digits` are to be scaled by
    std::int32_t count = 0;     // how many digits (leading zeros too), at most about a line's worth
    bool negative = false;
    bool number = false;  // a real token ends at `end`
    bool whole = false;   // ... and an integer token: no point, no exponent
};

// A text that ends at `end`.
struct BoundedText {
    const char* end;
    bool more(const char* p) const { return p != end; }
    bool eight_more(const char* p) const { return end - p >= 8; }
};

// A text that ends in a stop byte, with eight readable bytes after it.
struct StoppedText {
    bool more(const char*) const { return true; }
    bool eight_more(const char*) const { return true; }
};

namespace scan_detail {

inline bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

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

[[gnu::always_inline]] inline DigitRun eight_byte_digits(const char* p) {
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

// Takes the digits at `p` into `digits` (Horner's rule, modulo 2^64); returns
// where they end. Eight bytes at a time while eight are there, then one at
// a time. The usual run is shorter than eight: one look takes it, and the
// loop for longer ones stays out of the way.
struct DigitsTaken {
    const char* end;
    std::uint64_t digits;
};

// Returned by value: the digits of the usual token stay in a register.
template <typename Text>
[[gnu::noinline]] DigitsTaken take_long_digits(const char* p, Text text, std::uint64_t digits) {
    if constexpr (std::endian::native == std::endian::little) {
        while (text.eight_more(p)) {
            const DigitRun run = eight_byte_digits(p);
            digits = digits * powers_of_ten[run.count] + run.value;
            p += run.count;
            if (run.count < 8) return {p, digits};
        }
    }
    while (text.more(p) && is_digit(*p)) digits = digits * 10 + static_cast<std::uint64_t>(*p++ - '0');
    return {p, digits};
}

template <typename Text>
[[gnu::always_inline]] inline const char* take_digits(const char* p, Text text, std::uint64_t& digits) {
    if constexpr (std::endian::native == std::endian::little) {
        if (text.eight_more(p)) {
            const DigitRun run = eight_byte_digits(p);
            digits = digits * powers_of_ten[run.count] + run.value;
            p += run.count;
            if (run.count < 8) return p;
            const DigitsTaken taken = take_long_digits(p, text, digits);
            digits = taken.digits;
            return taken.end;
        }
    }
    while (text.more(p) && is_digit(*p)) digits = digits * 10 + static_cast<std::uint64_t>(*p++ - '0');
    return p;
}

// A count of digits or an exponent beyond a line's worth tells no more.
constexpr std::int32_t scan_limit = 100000;

}  // namespace scan_detail

template <typename Text>
[[gnu::always_inline]] inline NumberScan scan_number(const char* p, Text text) {
    using namespace scan_detail;
    // Kept in locals, and put together once at the end: the usual token
    // never leaves the registers.
    const char* whole = p;
    std::uint64_t digits = 0;
    p = take_digits(p, text, digits);
    // The sign is looked for only where no digit came: most tokens have none.
    bool negative = false;
    if (p == whole && text.more(p) && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        whole = ++p;
        p = take_digits(p, text, digits);
    }
    std::ptrdiff_t count = p - whole;
    if (count == 0) return NumberScan{p, 0, 0, 0, negative, false, false};
    std::int32_t exponent = 0;
    bool integer = true;
    if (text.more(p) && *p == '.') {
        integer = false;
        const char* const fraction = ++p;
        p = take_digits(p, text, digits);
        if (p == fraction) return NumberScan{p, 0, 0, 0, negative, false, false};
        count += p - fraction;
        exponent = -static_cast<std::int32_t>(std::min<std::ptrdiff_t>(p - fraction, scan_limit));
    }
    if (text.more(p) && (*p | 0x20) == 'e') {
        integer = false;
        ++p;
        bool minus = false;
        if (text.more(p) && (*p == '+' || *p == '-')) minus = *p++ == '-';
        const char* const exponent_digits = p;
        std::int32_t power = 0;
        while (text.more(p) && is_digit(*p)) power = std::min(power * 10 + (*p++ - '0'), scan_limit);
        if (p == exponent_digits) return NumberScan{p, 0, 0, 0, negative, false, false};
        exponent += minus ? -power : power;
    }
    return NumberScan{
        p, digits, exponent, static_cast<std::int32_t>(std::min<std::ptrdiff_t>(count, scan_limit)), negative, true,
        integer};
}

// The value of a scanned real when its digits and its power of ten are both
// exact as doubles: one multiplication or division then rounds correctly,
// as from_chars would. False for the others, which take from_chars.
inline bool exact_real(const NumberScan& scan, double& value) {
    // Fifteen digits or fewer are always below 2^53.
    if ((scan.count > 15 && (scan.count > 19 || scan.digits > (std::uint64_t{1} << 53))) ||
        static_cast<std::uint32_t>(scan.exponent + 22) > 44) {
        return false;
    }
    // Below 2^53 here: a signed conversion, which takes one instruction.
    const auto digits = static_cast<double>(static_cast<std::int64_t>(scan.digits));
    const double magnitude =
        scan.exponent < 0 ? digits / exact_powers_of_ten[-scan.exponent] : digits * exact_powers_of_ten[scan.exponent];
    value = scan.negative ? -magnitude : magnitude;
    return true;
}

// The value of a scanned integer, modulo 2^64.
inline std::int64_t integer_value(const NumberScan& scan) {
    return static_cast<std::int64_t>(scan.negative ? ~scan.digits + 1 : scan.digits);
}

// The value of a scanned integer of at most ten digits, when it is within
// the signed 32-bit range. False otherwise (longer ones take parse_int32,
// which looks past leading zeros).
inline bool short_int32(const NumberScan& scan, std::int32_t& value) {
    if (scan.count > 10 || (scan.negative ? scan.digits > std::uint64_t{1} << 31 : scan.digits > INT32_MAX)) {
        return false;
    }
    value = static_cast<std::int32_t>(integer_value(scan));
    return true;
}

}  // namespace common
