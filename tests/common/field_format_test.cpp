#include "common/field_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using common::fixed;
using common::integer;
using common::padded;
using common::scientific;

namespace {

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
