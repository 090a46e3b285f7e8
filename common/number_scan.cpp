#include "common/number_scan.h"

#include <charconv>

namespace common {

namespace {

std::string_view without_leading_blanks(std::string_view piece) {
    while (!piece.empty() && piece.front() == ' ') piece.remove_prefix(1);
    return piece;
}

// A whole token of the grammar, or a failed scan.
NumberScan scan_token(std::string_view token) {
    const char* const end = token.data() + token.size();
    NumberScan scan = scan_number(token.data(), BoundedText{end});
    if (scan.end != end) scan.number = false;
    return scan;
}

// The value of a token that the grammar accepts, by from_chars: for those
// with too many digits or too large an exponent for the quick way.
bool real_by_from_chars(std::string_view token, double& result_value) {
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

}  // namespace

bool parse_real(std::string_view token, double& value) {
    const NumberScan scan = scan_token(token);
    if (!scan.number) return false;
    return exact_real(scan, value) || real_by_from_chars(token, value);
}

bool parse_integer(std::string_view token, std::int64_t& value) {
    const NumberScan scan = scan_token(token);
    if (!scan.number || !scan.whole) return false;
    value = integer_value(scan);
    return true;
}

bool parse_int32(std::string_view token, std::int32_t& value) {
    const NumberScan scan = scan_token(token);
    if (!scan.number || !scan.whole) return false;
    if (short_int32(scan, value)) return true;
    // Leading zeros aside, more than ten digits are beyond the range; ten
    // or fewer are exact in `digits`.
    const std::size_t sign = token.front() == '+' || token.front() == '-' ? 1 : 0;
    const std::size_t first = token.find_first_not_of('0', sign);
    if (first == std::string_view::npos) {
        value = 0;
        return true;
    }
    if (token.size() - first > 10) return false;
    NumberScan significant = scan;
    significant.count = static_cast<std::int32_t>(token.size() - first);
    return short_int32(significant, value);
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

}  // namespace common
