#include "common/cp1251.h"

namespace common {

char32_t cp1251_to_unicode(unsigned char byte) {
    if (byte < 0x80) return byte;
    if (byte >= 0xC0) return 0x0410 + (byte - 0xC0);
    return detail::high_half[byte - 0x80];
}

std::string cp1251_to_utf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (const char c : text) append_utf8(out, cp1251_to_unicode(static_cast<unsigned char>(c)));
    return out;
}

std::size_t decode_utf8(std::string_view text, char32_t& character) {
    if (text.empty()) return 0;
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x80) {
        character = lead;
        return 1;
    }
    std::size_t size = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        size = 2, value = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        size = 3, value = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        size = 4, value = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (text.size() < size) return 0;
    for (std::size_t i = 1; i < size; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80) return 0;
        value = (value << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    character = value;
    return size;
}

std::string utf8_to_cp1251(std::string_view text, char replacement) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        char32_t character = 0;
        std::size_t size = decode_utf8(text, character);
        if (size == 0) {
            out += replacement;
            size = 1;
        } else {
            const int byte = unicode_to_cp1251(character);
            out += byte < 0 ? replacement : static_cast<char>(byte);
        }
        text.remove_prefix(size);
    }
    return out;
}

bool is_valid_utf8(std::string_view text) {
    while (!text.empty()) {
        char32_t character = 0;
        const std::size_t size = decode_utf8(text, character);
        if (size == 0) return false;
        text.remove_prefix(size);
    }
    return true;
}

}  // namespace common
