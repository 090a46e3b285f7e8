// Windows-1251 <-> Unicode.
//
// Everything inside the programs is single-byte Windows-1251 text: the
// Bulgarian prompts, the screen cells, typed names and file contents. UTF-8
// appears only at the edges: the terminal, file names handed to the system
// and the names written into KML documents.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace common {

// The character a Windows-1251 byte stands for; U+FFFD for the one unused
// byte (0x98).
char32_t cp1251_to_unicode(unsigned char byte);

// The Windows-1251 byte of a character, or -1 when the code page has none.
constexpr int unicode_to_cp1251(char32_t character);

// The UTF-8 bytes of a character into `bytes`; returns how many (1 to 4).
inline std::size_t encode_utf8(char32_t character, char (&bytes)[4]) {
    if (character < 0x80) {
        bytes[0] = static_cast<char>(character);
        return 1;
    }
    if (character < 0x800) {
        bytes[0] = static_cast<char>(0xC0 | (character >> 6));
        bytes[1] = static_cast<char>(0x80 | (character & 0x3F));
        return 2;
    }
    if (character < 0x10000) {
        bytes[0] = static_cast<char>(0xE0 | (character >> 12));
        bytes[1] = static_cast<char>(0x80 | ((character >> 6) & 0x3F));
        bytes[2] = static_cast<char>(0x80 | (character & 0x3F));
        return 3;
    }
    bytes[0] = static_cast<char>(0xF0 | (character >> 18));
    bytes[1] = static_cast<char>(0x80 | ((character >> 12) & 0x3F));
    bytes[2] = static_cast<char>(0x80 | ((character >> 6) & 0x3F));
    bytes[3] = static_cast<char>(0x80 | (character & 0x3F));
    return 4;
}

inline void append_utf8(std::string& out, char32_t character) {
    char bytes[4];
    out.append(bytes, encode_utf8(character, bytes));
}
std::string cp1251_to_utf8(std::string_view text);
// And back: a character the code page lacks, or a byte that is not part of
// valid UTF-8, becomes `replacement`.
std::string utf8_to_cp1251(std::string_view text, char replacement = '?');

bool is_valid_utf8(std::string_view text);

// Decodes one UTF-8 sequence at the front of `text`. Returns its length and
// sets `character`, or returns 0 when the front is not a valid sequence.
std::size_t decode_utf8(std::string_view text, char32_t& character);

// ---------------------------------------------------------------------------
// A Windows-1251 text made from a UTF-8 literal at compile time, so that the
// program texts stay readable in the source:
//     constexpr Cp1251Text not_found{" HЕ НАМИРА ФАЙЛ "};
// A character without a Windows-1251 byte is a compile-time error.

namespace detail {

constexpr char32_t high_half[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

}  // namespace detail

constexpr int unicode_to_cp1251(char32_t character) {
    if (character < 0x80) return static_cast<int>(character);
    if (character >= 0x0410 && character <= 0x044F) return static_cast<int>(character - 0x0410 + 0xC0);
    for (int i = 0; i < 64; ++i) {
        if (detail::high_half[i] == character && character != 0xFFFD) return 0x80 + i;
    }
    return -1;
}

template <std::size_t N>
struct Cp1251Text {
    char bytes[N]{};
    std::size_t length = 0;

    consteval Cp1251Text(const char (&utf8)[N]) {
        std::size_t i = 0;
        while (i + 1 < N) {
            const auto lead = static_cast<unsigned char>(utf8[i]);
            char32_t character = lead;
            std::size_t size = 1;
            if (lead >= 0xC0 && lead < 0xE0) {
                character = ((lead & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
                size = 2;
            } else if (lead >= 0xE0 && lead < 0xF0) {
                character = ((lead & 0x0Fu) << 12) | ((static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu) << 6) |
                            (static_cast<unsigned char>(utf8[i + 2]) & 0x3Fu);
                size = 3;
            } else if (lead >= 0x80) {
                throw "unsupported UTF-8 sequence in a program text";
            }
            const int byte = unicode_to_cp1251(character);
            if (byte < 0) throw "a program text holds a character that Windows-1251 lacks";
            bytes[length++] = static_cast<char>(byte);
            i += size;
        }
    }

    constexpr std::string_view view() const { return {bytes, length}; }
    constexpr operator std::string_view() const { return view(); }
};

}  // namespace common
