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

}  // namespace testing_support
