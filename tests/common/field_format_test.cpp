#include "common/field_format.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>

using common::fixed;
using common::integer;
using common::scientific;

namespace {

// s:w, which no program writes: a text right-aligned by leading blanks.
common::FieldText padded(std::string_view text, int width) {
    common::FieldText field;
    if (static_cast<int>(text.size()) < width) field.append(' ', static_cast<std::size_t>(width) - text.size());
    field.append(text);
    return field;
}

struct FormatCase {
    const char* legend;
    common::FieldText actual;
    std::string_view expected;
};

TEST(field_format, fixed_point_fields) {
    const FormatCase cases[] = {
        {"2.5 as x:7:3 is padded to seven", fixed(2.5, 7, 3), "  2.500"},
        {"a field grows when the number needs more", fixed(123.456, 5, 2), "123.46"},
        {"x:0:d has no leading blanks", fixed(512.6784, 0, 3), "512.678"},
        {"d = 0 writes no point", fixed(102.347, 0, 0), "102"},
        {"negative values carry a minus", fixed(-41.5, 0, 1), "-41.5"},
        {"a small negative rounding to zero keeps its sign", fixed(-0.0004, 0, 3), "-0.000"},
        {"negative zero keeps its sign, as printf writes it", fixed(-0.0, 0, 1), "-0.0"},
        {"rounding of the binary value: 0.125 is exact and ties to even", fixed(0.125, 0, 2), "0.12"},
        {"rounding of the binary value: 2.675 is below the tie", fixed(2.675, 0, 2), "2.67"},
        {"nine decimals", fixed(1.0 / 3.0, 0, 9), "0.333333333"},
        {"huge values are written whole", fixed(1e20, 5, 1), "100000000000000000000.0"},
        {"tiny values round to zero", fixed(1e-300, 8, 3), "   0.000"},
        {"infinity is shown", fixed(std::numeric_limits<double>::infinity(), 5, 1), "  Inf"},
        {"NaN is shown", fixed(std::nan(""), 4, 1), " NaN"},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(c.legend);
        EXPECT_EQ(c.actual.view(), c.expected);
    }
}

TEST(field_format, the_largest_double_is_written_whole) {
    const common::FieldText text = fixed(std::numeric_limits<double>::max(), 0, 0);
    EXPECT_EQ(text.size(), 309u);
    EXPECT_EQ(text.view().substr(0, 6), "179769");
}

TEST(field_format, rounding_at_every_number_of_decimals) {
    // 1.23456789 rounded at d = 0 .. 8.
    const std::string_view expected[] = {"1", "1.2", "1.23", "1.235", "1.2346", "1.23457", "1.234568", "1.2345679",
                                         "1.23456789"};
    for (int d = 0; d <= 8; ++d) {
        SCOPED_TRACE(d);
        EXPECT_EQ(fixed(1.23456789, 0, d).view(), expected[d]);
    }
    // Carries ripple through every digit.
    EXPECT_EQ(fixed(9.9999, 0, 3).view(), "10.000");
    EXPECT_EQ(fixed(99.95, 4, 1).view(), "100.0");  // 99.95 is above the tie in binary
}

// x:0:d as to_chars writes it, the rule that the quick way must keep.
std::string plain_fixed(double value, int decimals) {
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}

TEST(field_format, fixed_point_edges_are_written_as_to_chars_writes_them) {
    struct Edge {
        const char* legend;
        double value;
        int decimals;
    };
    const Edge edges[] = {
        {"a binary tie goes to even: 0.5", 0.5, 0},
        {"a binary tie goes to even: 1.5", 1.5, 0},
        {"a binary tie goes to even: 2.5", 2.5, 0},
        {"a binary tie at three decimals: 0.0625", 0.0625, 3},
        {"a binary tie at three decimals: 1.0625", 1.0625, 3},
        {"a tie in decimal only, below it in binary: 2.675", 2.675, 2},
        {"a tie in decimal only, above it in binary: 1.005", 1.005, 2},
        {"a carry through every digit: 9.9995", 9.9995, 3},
        {"a carry through every digit: 9.99951", 9.99951, 3},
        {"a carry through every digit: 999999.9999999", 999999.9999999, 6},
        {"a carry into a new digit: 99.95", 99.95, 1},
        {"a tie just below 2^50", 1125899906842623.5, 0},
        {"2^50 itself, beyond the quick way", 1125899906842624.0, 0},
        {"2^50 + 0.25 at one decimal", 1125899906842624.25, 1},
        {"2^53 + 2", 9007199254740994.0, 2},
        {"huge", 1e300, 3},
        {"the largest double", std::numeric_limits<double>::max(), 2},
        {"tiny", 1e-300, 6},
        {"the smallest subnormal", std::numeric_limits<double>::denorm_min(), 40},
        {"negative zero", -0.0, 3},
        {"a small negative rounding to zero", -0.0004, 3},
        {"a small negative at a tie", -0.0005, 3},
        {"-0.5 at no decimals", -0.5, 0},
        {"decimals 22, the last exact power", 0.1, 22},
        {"decimals 23, beyond it", 0.1, 23},
        {"decimals 40", 1.0 / 3.0, 40},
        {"eight whole digits", 99999999.25, 1},
        {"nine whole digits", 100000000.25, 2},
        {"sixteen digits in all", 1234567890.123456, 6},
        {"a carry into the ninth whole digit", 99999999.996, 2},
        {"a coordinate at six decimals", 23.3261150, 6},
        {"a register value at three decimals", 4704140.7482245, 3},
    };
    for (const Edge& edge : edges) {
        SCOPED_TRACE(edge.legend);
        EXPECT_EQ(fixed(edge.value, 0, edge.decimals).view(), plain_fixed(edge.value, edge.decimals));
    }
}

TEST(field_format, fixed_point_random_values_are_written_as_to_chars_writes_them) {
    std::mt19937_64 random(20261208);
    std::uniform_int_distribution<int> decimals_of(0, 12);
    const auto check = [](double value, int decimals) {
        const std::string expected = plain_fixed(value, decimals);
        const common::FieldText field = fixed(value, 0, decimals);
        if (field.view() != expected) {
            ADD_FAILURE() << "x:0:" << decimals << " of " << expected << " is " << field.view();
            return false;
        }
        return true;
    };
    for (int i = 0; i < 300000; ++i) {
        const int decimals = decimals_of(random);
        // Any bit pattern: every magnitude, subnormals and both zeros.
        double any = 0;
        const std::uint64_t bits = random();
        std::memcpy(&any, &bits, sizeof any);
        if (std::isfinite(any) && !check(any, decimals)) return;
        // Decimal values of a few digits: the ties and near-ties of decimal
        // data, as files and receivers give them.
        const std::int64_t digits = static_cast<std::int64_t>(random() % 100000000000) - 50000000000;
        const double decimal = static_cast<double>(digits) / std::pow(10.0, static_cast<double>(random() % 12));
        if (!check(decimal, decimals)) return;
        // Exact binary fractions: the real ties.
        const double binary = std::ldexp(static_cast<double>(digits % 100000000), -static_cast<int>(random() % 20));
        if (!check(binary, decimals)) return;
        // Values around the edge of the quick way.
        const double edge = std::ldexp(1.0 + static_cast<double>(random() % 1000) / 1000, 40 + static_cast<int>(random() % 15));
        if (!check(edge / std::pow(10.0, decimals), decimals)) return;
    }
}

TEST(field_format, widths_and_whole_numbers_are_written_as_to_chars_writes_them) {
    std::mt19937_64 random(1251);
    const auto aligned = [](std::string text, int width) {
        if (width > 0 && static_cast<std::size_t>(width) > text.size()) text.insert(0, width - text.size(), ' ');
        return text;
    };
    for (int i = 0; i < 100000; ++i) {
        const int width = static_cast<int>(random() % 40) - 5;
        // Whole numbers of every length and sign.
        const auto value = static_cast<std::int64_t>(random() >> (1 + random() % 63));
        const std::int64_t signed_value = random() % 2 == 0 ? value : -value;
        char buffer[32];
        const auto written = std::to_chars(buffer, buffer + sizeof buffer, signed_value);
        ASSERT_EQ(integer(signed_value, width).view(), aligned(std::string(buffer, written.ptr), width));
        // Fixed point in a field.
        const double real = static_cast<double>(signed_value % 100000000) / 997;
        const int decimals = static_cast<int>(random() % 10);
        ASSERT_EQ(fixed(real, width, decimals).view(), aligned(plain_fixed(real, decimals), width));
    }
    EXPECT_EQ(integer(INT64_MIN, 22).view(), "  -9223372036854775808");
    EXPECT_EQ(integer(0, 3).view(), "  0");
    EXPECT_EQ(fixed(-2.5, 30, 2).view(), std::string(25, ' ') + "-2.50");
}

TEST(field_format, whole_numbers_and_texts) {
    const FormatCase cases[] = {
        {"7 as n:2", integer(7, 2), " 7"},
        {"n alone has no padding", integer(-5), "-5"},
        {"a wide number grows", integer(123456, 2), "123456"},
        {"the most negative 64-bit value", integer(INT64_MIN), "-9223372036854775808"},
        {"s:w right-aligns", padded("ab", 5), "   ab"},
        {"s alone is the text", padded("abc", 0), "abc"},
        {"a long text grows", padded("abcdef", 3), "abcdef"},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(c.legend);
        EXPECT_EQ(c.actual.view(), c.expected);
    }
}

TEST(field_format, scientific_fields) {
    const FormatCase cases[] = {
        {"45 as x:2: two significant digits in nine characters", scientific(45, 2), " 4.5E+001"},
        {"zero", scientific(0, 2), " 0.0E+000"},
        {"negative", scientific(-318, 2), "-3.2E+002"},
        {"small", scientific(0.00123, 2), " 1.2E-003"},
        {"large exponent", scientific(1e300, 2), " 1.0E+300"},
        {"x:10 gives three digits", scientific(45, 10), " 4.50E+001"},
        {"x:15 gives eight digits", scientific(318.0, 15), " 3.1800000E+002"},
        {"x:30 gives seventeen digits, padded", scientific(1, 30), "       1.0000000000000000E+000"},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(c.legend);
        EXPECT_EQ(c.actual.view(), c.expected);
    }
}

TEST(field_format, scientific_widths_from_2_to_30) {
    for (int w = 2; w <= 30; ++w) {
        SCOPED_TRACE(w);
        const int digits = std::max(2, std::min(17, w - 7));
        const common::FieldText field = scientific(-1234.5678, w);
        const std::string_view text = field.view();
        // sign, digit, point, digits - 1, E, sign, three exponent digits
        const std::size_t length = static_cast<std::size_t>(digits + 7);
        EXPECT_EQ(text.size(), std::max<std::size_t>(length, static_cast<std::size_t>(w)));
        EXPECT_EQ(text.substr(text.size() - 5), "E+003");
        EXPECT_EQ(text[text.size() - length], '-');
    }
}

}  // namespace
