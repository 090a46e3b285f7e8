#include "common/field_format.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>

#include "common/powers_of_ten.h"

namespace common {

void FieldText::append(std::string_view text) {
    const std::size_t n = std::min(text.size(), capacity - size_);
    std::memcpy(data_ + size_, text.data(), n);
    size_ += n;
}

void FieldText::append(char c, std::size_t count) {
    const std::size_t n = std::min(count, capacity - size_);
    std::memset(data_ + size_, c, n);
    size_ += n;
}

char* FieldText::resize_for_overwrite(std::size_t size) {
    size_ = std::min(size, capacity);
    return data_;
}

namespace {

void align_right(FieldText& field, std::string_view text, int width) {
    if (width > 0 && static_cast<std::size_t>(width) > text.size()) field.append(' ', width - text.size());
    field.append(text);
}

// Infinities and NaN cannot come from a valid number token, but arithmetic on
// huge ones can make them; they are shown, not hidden.
bool is_special(double value, std::string_view& text) {
    if (std::isnan(value)) {
        text = "NaN";
    } else if (std::isinf(value)) {
        text = value < 0 ? "-Inf" : "Inf";
    } else {
        return false;
    }
    return true;
}

constexpr char digit_pairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

int digit_count(std::uint64_t value) {
    // bit_width * 1233 / 4096 is log10 rounded down or one below it.
    const auto guess = static_cast<int>((std::bit_width(value) * 1233) >> 12);
    return std::max(1, guess + (value >= powers_of_ten[guess] ? 1 : 0));
}

// Writes two digits of `value` (0..99) just before `p`; returns where they start.
char* put_pair(char* p, std::uint64_t value) {
    p -= 2;
    p[0] = digit_pairs[value * 2];
    p[1] = digit_pairs[value * 2 + 1];
    return p;
}

// Sizes the field for `padding` blanks and `length` characters after them,
// and writes the blanks; the characters are for the caller. Sixteen blanks
// in one store cover the usual padding (the characters then overwrite what
// is not padding): the field has room for them.
inline char* blanks_before(FieldText& field, std::size_t padding, std::size_t length) {
    char* const text = field.resize_for_overwrite(padding + length);
    constexpr char blanks[16] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
    if (padding <= sizeof blanks) {
        std::memcpy(text, blanks, sizeof blanks);
    } else {
        std::memset(text, ' ', padding);
    }
    return text;
}

// The field of a number given by its digits `units`, a point before the last
// `decimals` (0..22) of them and its sign, right-aligned in `width`; written
// straight into the field, without a copy. Nothing when it would not fit.
bool number_field(std::uint64_t units, int decimals, bool negative, int width, FieldText& field) {
    const int whole_digits = std::max(1, digit_count(units) - decimals);
    const auto length =
        static_cast<std::size_t>((negative ? 1 : 0) + whole_digits + (decimals > 0 ? decimals + 1 : 0));
    const std::size_t padding = width > 0 && static_cast<std::size_t>(width) > length ? width - length : 0;
    if (padding + length > FieldText::capacity) return false;
    char* const text = blanks_before(field, padding, length);
    // From the last digit back: the decimals, the point, the whole part.
    char* p = text + padding + length;
    int fraction_digits = decimals;
    for (; fraction_digits >= 2; fraction_digits -= 2) {
        p = put_pair(p, units % 100);
        units /= 100;
    }
    if (fraction_digits == 1) {
        *--p = static_cast<char>('0' + units % 10);
        units /= 10;
    }
    if (decimals > 0) *--p = '.';
    while (units >= 100) {
        p = put_pair(p, units % 100);
        units /= 100;
    }
    if (units >= 10) {
        p = put_pair(p, units);
    } else {
        *--p = static_cast<char>('0' + units);
    }
    if (negative) *--p = '-';
    return true;
}

// The eight digits of `value` (below 10^8, zeros in front) as the bytes of
// a word, the first digit in the lowest byte: both halves, their pairs and
// their digits are worked out side by side in the lanes of the word.
std::uint64_t eight_digits(std::uint32_t value) {
    const std::uint64_t halves = value / 10000 | std::uint64_t{value % 10000} << 32;
    // In each 32-bit lane (below 10^4): x / 100 is (x * 5243) >> 19.
    const std::uint64_t hundreds = (halves * 5243 >> 19) & 0x0000007F0000007Fu;
    const std::uint64_t pairs = hundreds | (halves - hundreds * 100) << 16;
    // In each 16-bit lane (below 100): x / 10 is (x * 103) >> 10.
    const std::uint64_t tens = (pairs * 103 >> 10) & 0x000F000F000F000Fu;
    return (tens | (pairs - tens * 10) << 8) | 0x3030303030303030u;
}

// Stores the last `count` (1..8) of the eight digits of `value` at `p`; the
// eight-byte store writes past them, to be overwritten or left unused.
char* put_last_digits(char* p, std::uint32_t value, int count) {
    const std::uint64_t word = eight_digits(value) >> (8 * (8 - count));
    std::memcpy(p, &word, 8);
    return p + count;
}

// `units` as its whole part and its last `decimals` (0..8) digits; the
// divisors are constants, so no division is done.
struct Parts {
    std::uint64_t whole;
    std::uint32_t fraction;
};

template <std::uint64_t divisor>
Parts parts_by(std::uint64_t units) {
    return {units / divisor, static_cast<std::uint32_t>(units % divisor)};
}

Parts split_decimals(std::uint64_t units, int decimals) {
    switch (decimals) {
        case 1: return parts_by<10>(units);
        case 2: return parts_by<100>(units);
        case 3: return parts_by<1'000>(units);
        case 4: return parts_by<10'000>(units);
        case 5: return parts_by<100'000>(units);
        case 6: return parts_by<1'000'000>(units);
        case 7: return parts_by<10'000'000>(units);
        case 8: return parts_by<100'000'000>(units);
        default: return {units, 0};
    }
}

// number_field for the usual numbers, below 10^16 with at most eight
// decimals: written from the left, eight digits to a store.
bool short_number_field(std::uint64_t units, int decimals, bool negative, int width, FieldText& field) {
    if (units >= 10'000'000'000'000'000u || decimals < 0 || decimals > 8) {
        return number_field(units, decimals, negative, width, field);
    }
    const Parts parts = split_decimals(units, decimals);
    const int whole_digits = parts.whole < 10 ? 1 : parts.whole < 100 ? 2 : digit_count(parts.whole);
    const auto length =
        static_cast<std::size_t>((negative ? 1 : 0) + whole_digits + (decimals > 0 ? decimals + 1 : 0));
    const std::size_t padding = width > 0 && static_cast<std::size_t>(width) > length ? width - length : 0;
    // Room for the stores that write past the end.
    if (padding + length + 8 > FieldText::capacity) return number_field(units, decimals, negative, width, field);
    char* const text = blanks_before(field, padding, length);
    char* p = text + padding;
    if (negative) *p++ = '-';
    // One or two digits, the usual whole part of a screen value, come
    // straight from the table of pairs.
    if (whole_digits <= 2) {
        std::memcpy(p, &digit_pairs[parts.whole * 2 + (whole_digits == 1 ? 1 : 0)], 2);
        p += whole_digits;
    } else if (whole_digits <= 8) {
        p = put_last_digits(p, static_cast<std::uint32_t>(parts.whole), whole_digits);
    } else {
        p = put_last_digits(p, static_cast<std::uint32_t>(parts.whole / 100'000'000), whole_digits - 8);
        p = put_last_digits(p, static_cast<std::uint32_t>(parts.whole % 100'000'000), 8);
    }
    if (decimals > 0) *p++ = '.';
    if (decimals == 1) {
        *p = static_cast<char>('0' + parts.fraction);
    } else if (decimals == 2) {
        std::memcpy(p, &digit_pairs[parts.fraction * 2], 2);
    } else if (decimals > 2) {
        // The decimals as the first digits of eight.
        put_last_digits(p, parts.fraction * static_cast<std::uint32_t>(powers_of_ten[8 - decimals]), 8);
    }
    return true;
}

// x:w:d the quick way, for the usual values: the magnitude times 10^d,
// rounded to a whole number. The product is one multiplication by an exact
// power, so it lies within scaled * 2^-53 of the exact product; rounding it
// gives the correctly rounded result unless its fraction is that close to a
// half. Those near-ties, and values too large for the arithmetic, are left
// to to_chars (false). The sign is that of the value, as printf writes it:
// -0.0004 as x:0:3 is "-0.000".
bool fixed_quickly(double value, int width, int decimals, FieldText& field) {
    if (decimals < 0 || decimals > 22) return false;
    const double scaled = std::fabs(value) * exact_powers_of_ten[decimals];
    if (!(scaled < 0x1p50)) return false;
    // Below 2^52, adding 2^52 leaves no bits for a fraction: the sum is
    // the scaled value rounded to the nearest whole number, exactly.
    const double rounded = (scaled + 0x1p52) - 0x1p52;
    if (std::fabs(std::fabs(scaled - rounded) - 0.5) <= scaled * 0x1p-51) return false;
    return short_number_field(static_cast<std::uint64_t>(rounded), decimals, std::signbit(value), width, field);
}

}  // namespace

FieldText fixed(double value, int width, int decimals) {
    FieldText field;
    std::string_view special;
    if (is_special(value, special)) {
        align_right(field, special, width);
    } else if (!fixed_quickly(value, width, decimals, field)) {
        char buffer[400];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed,
                                          std::clamp(decimals, 0, 40));
        align_right(field, {buffer, static_cast<std::size_t>(result.ptr - buffer)}, width);
    }
    return field;
}

FieldText integer(std::int64_t value, int width) {
    FieldText field;
    const auto magnitude = static_cast<std::uint64_t>(value);
    if (!short_number_field(value < 0 ? ~magnitude + 1 : magnitude, 0, value < 0, width, field)) {
        char buffer[24];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
        align_right(field, {buffer, static_cast<std::size_t>(result.ptr - buffer)}, width);
    }
    return field;
}

FieldText scientific(double value, int width) {
    std::string_view special;
    if (is_special(value, special)) {
        FieldText field;
        align_right(field, special, width);
        return field;
    }
    const int digits = std::max(2, std::min(17, width - 7));
    char mantissa[64];
    // to_chars writes "4.5e+01" or "-4.5e-300"; the exponent is rebuilt in
    // three digits.
    const auto result =
        std::to_chars(mantissa, mantissa + sizeof mantissa, value, std::chars_format::scientific, digits - 1);
    const std::string_view written(mantissa, static_cast<std::size_t>(result.ptr - mantissa));
    const std::size_t e = written.find('e');
    std::string_view digits_part = written.substr(0, e);
    const char exponent_sign = written[e + 1];
    std::string_view exponent_digits = written.substr(e + 2);
    while (exponent_digits.size() > 3 && exponent_digits.front() == '0') exponent_digits.remove_prefix(1);

    FieldText text;
    FieldText field;
    if (digits_part.front() == '-') {
        text.append('-');
        digits_part.remove_prefix(1);
    } else {
        text.append(' ');
    }
    text.append(digits_part);
    text.append('E');
    text.append(exponent_sign);
    if (exponent_digits.size() < 3) text.append('0', 3 - exponent_digits.size());
    text.append(exponent_digits);
    align_right(field, text.view(), width);
    return field;
}

}  // namespace common
