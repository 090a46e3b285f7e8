// The skeleton shared by the three KML documents of the suite (the track of
// a replay, placemarks and paths): the XML declaration, the kml start tag
// with its namespace and "<Document>"; no indentation, CR LF line ends;
// coordinates longitude first, each as x:0:6.
#pragma once

#include <string_view>

#include "common/cp1251.h"
#include "common/field_format.h"
#include "common/text_writer.h"

namespace common {

// The OGC KML 2.2 namespace (track and path documents).
constexpr std::string_view kml_namespace_2_2 = "http://www.opengis.net/kml/2.2";
// The published KML 2.1 namespace (placemark documents).
constexpr std::string_view kml_namespace_2_1 = "http://earth.google.com/kml/2.1";

// "<?xml ...?>", "<kml xmlns="...">" and "<Document>", each on its own line.
inline void write_kml_head(TextWriter& document, std::string_view xml_namespace) {
    document.write_line("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    document.write("<kml xmlns=\"");
    document.write(xml_namespace);
    document.write_line("\">");
    document.write_line("<Document>");
}

// "lon,lat" with six decimals each, no line end.
inline void write_coordinates(TextWriter& document, double longitude, double latitude) {
    document.write(fixed(longitude, 0, 6));
    document.write(',');
    document.write(fixed(latitude, 0, 6));
}

// The placemark of one line string up to its coordinate list:
// "<Placemark>", "<LineString>", "<coordinates>" and an empty line.
inline void write_line_string_opening(TextWriter& document) {
    for (const std::string_view line : {"<Placemark>", "<LineString>", "<coordinates>", ""}) {
        document.write_line(line);
    }
}

// "</coordinates>" to "</kml>", five lines.
inline void write_line_string_closing(TextWriter& document) {
    for (const std::string_view line : {"</coordinates>", "</LineString>", "</Placemark>", "</Document>", "</kml>"}) {
        document.write_line(line);
    }
}

namespace detail {

// One character of element text as UTF-8. The five XML specials are written
// as entities; characters that XML 1.0 forbids (control characters but the
// tab and line ends, U+FFFE, U+FFFF) become U+FFFD, so that a viewer never
// meets a broken document.
inline void write_xml_character(TextWriter& document, char32_t character) {
    switch (character) {
        case '&': return document.write("&amp;");
        case '<': return document.write("&lt;");
        case '>': return document.write("&gt;");
        case '"': return document.write("&quot;");
        case '\'': return document.write("&apos;");
        default: break;
    }
    const bool allowed = character == '\t' || character == '\n' || character == '\r' ||
                         (character >= 0x20 && character <= 0xD7FF) || (character >= 0xE000 && character <= 0xFFFD) ||
                         (character >= 0x10000 && character <= 0x10FFFF);
    if (!allowed) character = 0xFFFD;
    char bytes[4];
    document.write(std::string_view(bytes, encode_utf8(character, bytes)));
}

}  // namespace detail

// A text (a placemark's name) as element content: UTF-8, XML-escaped. A
// text that is valid UTF-8 keeps its characters; any other byte string is
// taken as Windows-1251, the code page of the suite's own texts, and is
// converted.
inline void write_kml_text(TextWriter& document, std::string_view text) {
    const auto plain = [](char c) {
        return c >= 0x20 && c < 0x7F && c != '&' && c != '<' && c != '>' && c != '"' && c != '\'';
    };
    const bool utf8 = is_valid_utf8(text);
    while (!text.empty()) {
        // Runs of plain ASCII, the usual names, go out in one piece.
        std::size_t run = 0;
        while (run < text.size() && plain(text[run])) ++run;
        if (run > 0) {
            document.write(text.substr(0, run));
            text.remove_prefix(run);
            continue;
        }
        char32_t character = 0;
        std::size_t size = 1;
        if (utf8) {
            size = decode_utf8(text, character);
        } else {
            character = cp1251_to_unicode(static_cast<unsigned char>(text.front()));
        }
        text.remove_prefix(size);
        detail::write_xml_character(document, character);
    }
}

}  // namespace common
