// Conversions that only the tests and the fuzz targets ask for.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/cp1251.h"
#include "common/number_scan.h"

namespace testing_support {

// The number conversions as the checks ask them: the value, or nothing.
inline std::optional<double> parse_real(std::string_view token) {
    double value = 0;
    if (!common::parse_real(token, value)) return std::nullopt;
    return value;
}
inline std::optional<std::int64_t> parse_integer(std::string_view token) {
    std::int64_t value = 0;
    if (!common::parse_integer(token, value)) return std::nullopt;
    return value;
}
inline std::optional<std::int32_t> parse_int32(std::string_view token) {
    std::int32_t value = 0;
    if (!common::parse_int32(token, value)) return std::nullopt;
    return value;
}

// UTF-8 back to Windows-1251, for the checks that a text comes back whole.
// The programs never need it: typed keys are converted one at a time.
// A character the code page lacks, or a byte that is not part of valid
// UTF-8, becomes `replacement`.
inline std::string utf8_to_cp1251(std::string_view text, char replacement = '?') {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        char32_t character = 0;
        std::size_t size = common::decode_utf8(text, character);
        if (size == 0) {
            out += replacement;
            size = 1;
        } else {
            const int byte = common::unicode_to_cp1251(character);
            out += byte < 0 ? replacement : static_cast<char>(byte);
        }
        text.remove_prefix(size);
    }
    return out;
}

}  // namespace testing_support
