#include "common/cp1251.h"

#include <gtest/gtest.h>

namespace {

TEST(cp1251, program_texts_become_single_bytes) {
    constexpr common::Cp1251Text not_found{" HЕ НАМИРА ФАЙЛ "};
    // The second character is the Latin H (72); the rest are Cyrillic.
    EXPECT_EQ(not_found.view().size(), 16u);
    EXPECT_EQ(not_found.view()[1], 'H');
    EXPECT_EQ(static_cast<unsigned char>(not_found.view()[2]), 0xC5);  // Cyrillic Е
    constexpr common::Cp1251Text number_sign{"№ ё Ё"};
    EXPECT_EQ(number_sign.view(), "\xB9 \xB8 \xA8");
}

TEST(cp1251, round_trip_of_every_byte) {
    for (int byte = 0; byte < 256; ++byte) {
        if (byte == 0x98) continue;  // the one unused byte
        const std::string one(1, static_cast<char>(byte));
        SCOPED_TRACE(byte);
        EXPECT_EQ(common::utf8_to_cp1251(common::cp1251_to_utf8(one)), one);
    }
}

TEST(cp1251, utf8_validity_and_replacement) {
    EXPECT_TRUE(common::is_valid_utf8("Sofia \xD0\xA1\xD0\xBE\xD1\x84\xD0\xB8\xD1\x8F"));
    EXPECT_FALSE(common::is_valid_utf8("\xD1"));          // cut short
    EXPECT_FALSE(common::is_valid_utf8("\xC0\xAF"));      // overlong
    EXPECT_FALSE(common::is_valid_utf8("\xED\xA0\x80"));  // surrogate
    EXPECT_FALSE(common::is_valid_utf8("\xF5\x80\x80\x80"));
    EXPECT_EQ(common::utf8_to_cp1251("a\xE4\xB8\xADz"), "a?z");  // no such character
    EXPECT_EQ(common::utf8_to_cp1251("\xFF"), "?");
}

}  // namespace
