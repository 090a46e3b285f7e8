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

}  // namespace

FieldText fixed(double value, int width, int decimals) {
    std::string_view special;
    if (is_special(value, special)) return right_aligned(special, width);
    char buffer[400];
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
