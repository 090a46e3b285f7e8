#include "common/text_reader.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "common/run_error.h"
#include "tests/support/conversions.h"
#include "tests/support/string_source.h"
#include "tests/support/test_support.h"

using common::TextReader;
using testing_support::TempFolder;

namespace {

TextReader reader_of(std::string text) {
    return TextReader(std::make_unique<testing_support::StringSource>(std::move(text), 3), "list.txt", 4);
}

using testing_support::parse_int32;
using testing_support::parse_integer;
using testing_support::parse_real;

// The integer grammar written out once more: [+-]digits.
bool is_integer_token(std::string_view token) {
    if (!token.empty() && (token.front() == '+' || token.front() == '-')) token.remove_prefix(1);
    return !token.empty() && token.find_first_not_of("0123456789") == std::string_view::npos;
}

TEST(number_tokens, legal_and_illegal) {
    for (const char* token : {"0", "-7", "+3", "1.5", "-0.25", "1e5", "1E-3", "2.5e+2", "007", "-0"}) {
        SCOPED_TRACE(token);
        EXPECT_TRUE(parse_real(token).has_value());
    }
    for (const char* token : {"", "1.", ".5", "1e", "+-1", "1,5", "0x10", "e5", "1.5.2", "- 1", "1e+", "inf", "nan"}) {
        SCOPED_TRACE(token);
        EXPECT_FALSE(parse_real(token).has_value());
    }
    EXPECT_TRUE(parse_integer("-12"));
    EXPECT_FALSE(parse_integer("12.0"));
    EXPECT_FALSE(parse_integer("1e2"));
}

TEST(number_tokens, values_at_the_edges_of_the_range) {
    EXPECT_FALSE(parse_real("1e400"));
    EXPECT_EQ(parse_real("1e-400"), 0.0);
    EXPECT_EQ(parse_real("0.0000e999999999999"), 0.0);
    EXPECT_EQ(parse_real("-0"), 0.0);
    // Low-order bits of a number beyond its field.
    EXPECT_EQ(static_cast<std::uint16_t>(*parse_integer("65537")), 1);
    EXPECT_EQ(static_cast<std::int32_t>(*parse_integer("4294967297")), 1);
    EXPECT_TRUE(parse_integer("99999999999999999999"));
    EXPECT_FALSE(parse_int32("2147483648"));
    EXPECT_EQ(parse_int32("-2147483648"), INT32_MIN);
    EXPECT_EQ(parse_int32("000000000000012"), 12);
}

// A real token as from_chars reads it: the rule that the quick way must keep.
double plain_real(std::string_view token) {
    const bool negative = token.front() == '-';
    if (token.front() == '+' || token.front() == '-') token.remove_prefix(1);
    double value = 0;
    std::from_chars(token.data(), token.data() + token.size(), value);
    return negative ? -value : value;
}

bool same_double(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(number_tokens, reals_read_as_from_chars_reads_them) {
    const char* const edges[] = {
        "0", "-0", "+0", "0.0", "-0.000", "1", "-1", "0.1", "0.3", "2.675", "9007199254740992", "9007199254740993",
        "9007199254740992.5", "1e22", "1e23", "1e-22", "1e-23", "123456789012345678", "1234567890123456789",
        "12345678901234567890", "0.0000000000000000000000001", "4229.1234", "02319.5678", "605.9",
        "4704140.748225", "504179.233584", "179769313486231570000000000000000000000000000000000000000000e249",
        "000000000000000000000000000000000000000012.5", "1.00000000000000000000000000000000001", "2.2250738585072014e-308",
        "4.9e-324", "8.98846567431158e307", "5e-1", "25E-1", "0.5e1"};
    for (const char* token : edges) {
        SCOPED_TRACE(token);
        const auto value = parse_real(token);
        ASSERT_TRUE(value);
        EXPECT_TRUE(same_double(*value, plain_real(token)));
    }
}

TEST(number_tokens, random_reals_read_as_from_chars_reads_them) {
    std::mt19937_64 random(8122026);
    std::string token;
    for (int i = 0; i < 300000; ++i) {
        token.clear();
        const std::uint64_t shape = random();
        if (shape % 3 == 0) token += shape % 2 == 0 ? '-' : '+';
        const int whole_digits = 1 + static_cast<int>(random() % 18);
        const int fraction_digits = static_cast<int>(random() % 18);
        for (int d = 0; d < whole_digits; ++d) token += static_cast<char>('0' + random() % 10);
        if (fraction_digits > 0) {
            token += '.';
            for (int d = 0; d < fraction_digits; ++d) token += static_cast<char>('0' + random() % 10);
        }
        if (shape % 5 == 0) {
            token += shape % 7 < 3 ? 'e' : 'E';
            const std::uint64_t e = random();
            if (e % 3 == 0) token += e % 2 == 0 ? '-' : '+';
            token += std::to_string(e % 40);
        }
        const auto value = parse_real(token);
        if (!value || !same_double(*value, plain_real(token))) {
            ADD_FAILURE() << token << " reads as " << value.value_or(-1.0);
            return;
        }
    }
}

TEST(number_tokens, whole_numbers_read_with_every_sign_and_length) {
    std::mt19937_64 random(65535);
    for (int i = 0; i < 100000; ++i) {
        const int length = 1 + static_cast<int>(random() % 22);
        std::string token = random() % 2 == 0 ? "-" : "";
        for (int d = 0; d < length; ++d) token += static_cast<char>('0' + random() % (d < 3 ? 2 : 10));
        SCOPED_TRACE(token);
        // Modulo 2^64, as the integer fields keep their low-order bits.
        std::uint64_t modular = 0;
        for (const char c : token) {
            if (c != '-') modular = modular * 10 + static_cast<std::uint64_t>(c - '0');
        }
        if (token.front() == '-') modular = ~modular + 1;
        ASSERT_EQ(parse_integer(token), static_cast<std::int64_t>(modular));
        std::int64_t exact = 0;
        const auto result = std::from_chars(token.data(), token.data() + token.size(), exact);
        const bool in_range = result.ec == std::errc() && exact >= INT32_MIN && exact <= INT32_MAX;
        ASSERT_EQ(parse_int32(token).has_value(), in_range);
        if (in_range) {
            ASSERT_EQ(*parse_int32(token), exact);
        }
    }
    for (const char* token : {"", "-", "+", "1-", "--1", "1 ", " 1", "1.0", "2147483647", "-2147483649"}) {
        SCOPED_TRACE(token);
        EXPECT_EQ(parse_integer(token).has_value(), is_integer_token(token));
    }
    EXPECT_EQ(parse_int32("+2147483647"), INT32_MAX);
    EXPECT_FALSE(parse_int32("-2147483649"));
}

// A text of numbers and lines with every kind of line end, read through a
// large buffer (where lines and tokens are taken where they stand) and
// through a tiny one (where every one of them runs over a refill): the two
// must read the same.
std::string mixed_text(std::uint64_t seed) {
    std::mt19937_64 random(seed);
    // Digit runs of seven and eight (the word-wide reading takes eight
    // bytes at a time), control bytes that are not line ends, and bytes
    // above 127 among them.
    const char* const pieces[] = {"12", "-3.5", "7e1", "0.125", "\t", " ", "  ", "       ", "\r\n", "\n", "\r",
                                  "61,30", "x", "4704140.748", "POINT", " 10", "+0", "1.", ".5", "1234567",
                                  "12345678", "-7654321.1234567", "87654321.12345678", "1.2.3", "5-", "-", "\x01",
                                  "\x19", "\x1b", "\xe9", "\x0b", "0000000", "-0.0000001", "9.99999999"};
    std::string text;
    while (text.size() < 20000) {
        const std::uint64_t r = random();
        if (r % 97 == 0) {
            text.append(250 + r % 20, static_cast<char>('a' + r % 26));  // about a line long
        } else if (r % 89 == 0) {
            // Numbers about a line long: beyond 255 characters never numbers.
            text += ' ' + std::string(250 + r % 10, '0') + "1 1e" + std::string(250 + r % 10, '0') + "5 ";
        } else {
            text += pieces[r % std::size(pieces)];
        }
    }
    return text;
}


TEST(text_reader, large_and_tiny_buffers_read_the_same_lines) {
    for (std::uint64_t seed = 1; seed <= 20; ++seed) {
        SCOPED_TRACE(seed);
        const std::string text = mixed_text(seed);
        TextReader large(std::make_unique<testing_support::StringSource>(text, 1 << 16), "a");
        TextReader tiny(std::make_unique<testing_support::StringSource>(text, 3), "b", 4);
        while (!large.eof()) {
            ASSERT_FALSE(tiny.eof());
            const std::string line(large.read_line());
            ASSERT_EQ(line, tiny.read_line());
            ASSERT_EQ(large.line_number(), tiny.line_number());
        }
        EXPECT_TRUE(tiny.eof());
    }
}

// A whole 32-bit number, "none" for a token that is not an integer, or the
// report of one beyond 32 bits.
std::string int32_or_report(TextReader& reader) {
    try {
        const auto value = reader.try_read_int32();
        return value ? std::to_string(*value) : "none";
    } catch (const common::RunError& error) {
        return error.what();
    }
}

// A whole number, or the report of a token that is none.
std::string integer_or_report(TextReader& reader) {
    try {
        return std::to_string(reader.read_integer());
    } catch (const common::RunError& error) {
        return error.what();
    }
}

TEST(text_reader, large_and_tiny_buffers_read_the_same_tokens) {
    for (std::uint64_t seed = 1; seed <= 20; ++seed) {
        SCOPED_TRACE(seed);
        const std::string text = mixed_text(seed);
        TextReader large(std::make_unique<testing_support::StringSource>(text, 1 << 16), "a");
        TextReader tiny(std::make_unique<testing_support::StringSource>(text, 3), "a", 4);
        int turn = 0;
        while (!large.eof()) {
            ASSERT_FALSE(tiny.eof());
            // Tokens as reals and whole numbers, after blanks or not, and
            // now and then the rest of a line.
            if (++turn % 5 == 0) {
                ASSERT_EQ(large.seek_eof(), tiny.seek_eof());
            } else if (turn % 3 == 0) {
                ASSERT_EQ(large.seek_eoln(), tiny.seek_eoln());
            } else if (turn % 11 == 0) {
                ASSERT_EQ(int32_or_report(large), int32_or_report(tiny));
            } else if (turn % 7 == 0) {
                ASSERT_EQ(std::string(large.read_line_text()), tiny.read_line_text());
                large.skip_line();
                tiny.skip_line();
            } else if (turn % 2 == 0) {
                const auto value = large.try_read_real();
                const auto expected = tiny.try_read_real();
                ASSERT_EQ(value.has_value(), expected.has_value());
                if (value) {
                    ASSERT_TRUE(same_double(*value, *expected));
                }
            } else {
                ASSERT_EQ(integer_or_report(large), integer_or_report(tiny));
            }
            ASSERT_EQ(large.line_number(), tiny.line_number());
            ASSERT_EQ(large.eoln(), tiny.eoln());
        }
        EXPECT_TRUE(tiny.eof());
    }
}

TEST(text_reader, a_line_stays_readable_while_the_end_is_tested) {
    // The line before the last ends just before the buffer's end: testing
    // for the end must not take the line's bytes away.
    std::string text = std::string(60, 'a') + "\r\n" + "b\r\n";
    TextReader reader(std::make_unique<testing_support::StringSource>(text, 62), "a", 62);
    const std::string_view line = reader.read_line();
    EXPECT_FALSE(reader.eof());
    EXPECT_EQ(line, std::string(60, 'a'));
    EXPECT_EQ(reader.read_line(), "b");
    EXPECT_TRUE(reader.eof());
}

TEST(piece_conversion, the_number_or_zero) {
    EXPECT_EQ(common::to_real(" 5"), 5);
    EXPECT_EQ(common::to_real("5 "), 0);
    EXPECT_EQ(common::to_real(""), 0);
    EXPECT_EQ(common::to_real("06,3"), 0);
    EXPECT_EQ(common::to_real("0046.2"), 46.2);
    EXPECT_EQ(common::to_unsigned("-3"), 0u);
    EXPECT_EQ(common::to_unsigned(" 9"), 9u);
    EXPECT_EQ(common::to_integer("-3"), -3);
    EXPECT_EQ(common::to_integer("3.0"), 0);
}

TEST(text_reader, numbers_across_lines_and_at_the_end) {
    auto reader = reader_of("  12\t-3.5\r\n\r\n 7e1 ");
    EXPECT_EQ(reader.read_integer(), 12);
    EXPECT_EQ(reader.read_real(), -3.5);
    EXPECT_EQ(reader.read_real(), 70);
    // Only blanks remain: a real reads as 0, and the file is at its end.
    EXPECT_EQ(reader.read_real(), 0);
    EXPECT_TRUE(reader.eof());
    // Nothing at all left: an integer reads as 0, a real is invalid.
    EXPECT_EQ(reader.read_integer(), 0);
    EXPECT_THROW(reader.read_real(), common::RunError);
}

TEST(text_reader, an_invalid_token_names_file_line_and_token) {
    auto reader = reader_of("1 2\n3 61,30\n");
    reader.read_real();
    reader.read_real();
    reader.read_real();
    try {
        reader.read_real();
        FAIL();
    } catch (const common::RunError& error) {
        EXPECT_EQ(error.code(), 106);
        EXPECT_EQ(error.report(), "Runtime error 106: invalid numeric format \"61,30\" (list.txt, line 2)");
    }
    auto check = reader_of("5.0 x");
    EXPECT_THROW(check.read_integer(), common::RunError);
    EXPECT_EQ(check.try_read_real(), std::nullopt);
}

TEST(text_reader, a_token_longer_than_a_line_is_never_a_number) {
    auto reader = reader_of(std::string(300, '1') + " 5");
    try {
        reader.read_real();
        FAIL();
    } catch (const common::RunError& error) {
        EXPECT_NE(error.report().find("\"1111111111111111111111111111111111111111...\""), std::string::npos);
    }
    EXPECT_EQ(reader.read_real(), 5);
    auto check = reader_of(std::string(256, '2'));
    EXPECT_THROW(check.read_integer(), common::RunError);
    auto fits = reader_of(std::string(255, '3'));
    EXPECT_TRUE(fits.try_read_real());
}

TEST(text_reader, line_ends_and_the_255_character_cut) {
    auto reader = reader_of("a\nb\r\nc\rd\r\re" + std::string(300, 'x') + "\ny");
    EXPECT_EQ(reader.read_line(), "a");
    EXPECT_EQ(reader.read_line(), "b");
    EXPECT_EQ(reader.read_line(), "c");
    EXPECT_EQ(reader.read_line(), "d");
    EXPECT_EQ(reader.read_line(), "");  // CR CR: an empty line between
    EXPECT_EQ(reader.read_line().size(), 255u);
    EXPECT_EQ(reader.line_number(), 7);
    EXPECT_EQ(reader.read_line(), "y");
    EXPECT_TRUE(reader.eof());
    EXPECT_EQ(reader.read_line(), "");  // at the end: empty, no error
}

TEST(text_reader, byte_26_ends_the_file) {
    auto reader = reader_of("1 2\x1a" "3 4");
    EXPECT_EQ(reader.read_integer(), 1);
    EXPECT_EQ(reader.read_integer(), 2);
    EXPECT_TRUE(reader.eof());
}

TEST(text_reader, line_text_and_end_of_line) {
    auto reader = reader_of("5 42.5 Sofia centre \nnext");
    reader.read_integer();
    reader.read_real();
    EXPECT_FALSE(reader.eoln());
    EXPECT_EQ(reader.read_line_text(), " Sofia centre ");
    EXPECT_TRUE(reader.eoln());
    reader.skip_line();
    EXPECT_EQ(reader.read_line_text(), "next");
    auto blank_tail = reader_of("1\n  \n\t\n");
    blank_tail.read_integer();
    EXPECT_FALSE(blank_tail.eof());
    EXPECT_TRUE(blank_tail.seek_eof());
}

TEST(text_reader, files_that_cannot_be_opened) {
    TempFolder folder;
    int error = 0;
    EXPECT_FALSE(TextReader::open(folder / "missing", "missing", &error));
    EXPECT_EQ(error, ENOENT);
    EXPECT_FALSE(TextReader::open(folder.path(), "folder", &error));
    EXPECT_EQ(error, EISDIR);
    EXPECT_FALSE(TextReader::open("", "", &error));
    try {
        TextReader::open_or_fail(folder / "NMEA_Wsp.txt", "NMEA_Wsp.txt");
        FAIL();
    } catch (const common::RunError& error) {
        EXPECT_EQ(error.code(), 2);
    }
}

}  // namespace
