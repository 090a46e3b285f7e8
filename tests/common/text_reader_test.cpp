#include "common/text_reader.h"

#include <gtest/gtest.h>

#include "common/run_error.h"
#include "tests/support/test_support.h"

using common::TextReader;
using testing_support::TempFolder;

namespace {

class StringSource : public common::TextSource {
public:
    explicit StringSource(std::string text) : text_(std::move(text)) {}
    std::size_t read(char* buffer, std::size_t size) override {
        // Three bytes at a time, so that every rule also works across refills.
        const std::size_t n = std::min({size, std::size_t{3}, text_.size() - next_});
        text_.copy(buffer, n, next_);
        next_ += n;
        return n;
    }

private:
    std::string text_;
    std::size_t next_ = 0;
};

TextReader reader_of(std::string text) {
    return TextReader(std::make_unique<StringSource>(std::move(text)), "list.txt", 4);
}

TEST(number_tokens, legal_and_illegal) {
    for (const char* token : {"0", "-7", "+3", "1.5", "-0.25", "1e5", "1E-3", "2.5e+2", "007", "-0"}) {
        SCOPED_TRACE(token);
        EXPECT_TRUE(common::is_real_token(token));
    }
    for (const char* token : {"", "1.", ".5", "1e", "+-1", "1,5", "0x10", "e5", "1.5.2", "- 1", "1e+", "inf", "nan"}) {
        SCOPED_TRACE(token);
        EXPECT_FALSE(common::is_real_token(token));
    }
    EXPECT_TRUE(common::is_integer_token("-12"));
    EXPECT_FALSE(common::is_integer_token("12.0"));
    EXPECT_FALSE(common::is_integer_token("1e2"));
}

TEST(number_tokens, values_at_the_edges_of_the_range) {
    EXPECT_FALSE(common::parse_real("1e400"));
    EXPECT_EQ(common::parse_real("1e-400"), 0.0);
    EXPECT_EQ(common::parse_real("0.0000e999999999999"), 0.0);
    EXPECT_EQ(common::parse_real("-0"), 0.0);
    // Low-order bits of a number beyond its field.
    EXPECT_EQ(static_cast<std::uint16_t>(*common::parse_integer("65537")), 1);
    EXPECT_EQ(static_cast<std::int32_t>(*common::parse_integer("4294967297")), 1);
    EXPECT_TRUE(common::parse_integer("99999999999999999999"));
    EXPECT_FALSE(common::parse_int32("2147483648"));
    EXPECT_EQ(common::parse_int32("-2147483648"), INT32_MIN);
    EXPECT_EQ(common::parse_int32("000000000000012"), 12);
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
    EXPECT_EQ(check.try_read_integer(), std::nullopt);
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
    EXPECT_EQ(check.try_read_integer(), std::nullopt);
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
