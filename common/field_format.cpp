#include "common/field_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

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

namespace {

FieldText right_aligned(std::string_view text, int width) {
    FieldText field;
    if (width > 0 && static_cast<std::size_t>(width) > text.size()) field.append(' ', width - text.size());
    field.append(text);
    return field;
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

// The powers of ten that a double holds exactly.
constexpr double exact_powers_of_ten[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                          1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Writes the whole number `units` with a point before its last `decimals`
// digits (at least one digit before the point) so that the text ends just
// before `end`; returns where it starts.
char* units_with_point(std::uint64_t units, int decimals, char* end) {
    char* p = end;
    for (int i = 0; i < decimals; ++i) {
        *--p = static_cast<char>('0' + units % 10);
        units /= 10;
    }
    if (decimals > 0) *--p = '.';
    do {
        *--p = static_cast<char>('0' + units % 10);
        units /= 10;
    } while (units != 0);
    return p;
}

// x:0:d the quick way, for the usual values: the magnitude times 10^d,
// rounded to a whole number. The product is one multiplication by an exact
// power, so it lies within scaled * 2^-53 of the exact product; rounding it
// gives the correctly rounded result unless its fraction is that close to a
// half. Those near-ties, and values too large for the arithmetic, are left
// to to_chars (false). The sign is that of the value, as printf writes it:
// -0.0004 as x:0:3 is "-0.000".
bool fixed_quickly(double value, int decimals, char* end, char*& start) {
    if (decimals < 0 || decimals > 22) return false;
    const double scaled = std::fabs(value) * exact_powers_of_ten[decimals];
    if (!(scaled < 0x1p50)) return false;
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    if (std::fabs(fraction - 0.5) <= scaled * 0x1p-51) return false;
    const auto units = static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
    start = units_with_point(units, decimals, end);
    if (std::signbit(value)) *--start = '-';
    return true;
}

}  // namespace

FieldText fixed(double value, int width, int decimals) {
    std::string_view special;
    if (is_special(value, special)) return right_aligned(special, width);
    char buffer[400];
    char* start = nullptr;
    if (fixed_quickly(value, decimals, buffer + sizeof buffer, start)) {
        return right_aligned({start, static_cast<std::size_t>(buffer + sizeof buffer - start)}, width);
    }
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, std::clamp(decimals, 0, 40));
    return right_aligned({buffer, static_cast<std::size_t>(result.ptr - buffer)}, width);
}

FieldText integer(std::int64_t value, int width) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return right_aligned({buffer, static_cast<std::size_t>(result.ptr - buffer)}, width);
}

FieldText padded(std::string_view text, int width) {
    return right_aligned(text.substr(0, 300), width);
}

FieldText scientific(double value, int width) {
    std::string_view special;
    if (is_special(value, special)) return right_aligned(special, width);
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
    return right_aligned(text.view(), width);
}

}  // namespace common
