#include "kml/documents.h"

#include "common/kml_skeleton.h"

namespace kml {

namespace {

void write_placemark_head(common::TextWriter& file) {
    common::write_kml_head(file, common::kml_namespace_2_1);
    file.line_end();
}

// The fixed lines between the name and the coordinates go out in a piece
// each: a million placemarks are ten million lines.
void add_placemark(common::TextWriter& file, const PointRecord& point) {
    file.write("<Placemark>\r\n"
               "<name>");
    common::write_kml_text(file, point.name());
    file.write("</name>\r\n"
               "<Point>\r\n"
               "<coordinates>");
    common::write_coordinates(file, point.longitude, point.latitude);
    file.write(",0\r\n"
               "</coordinates>\r\n"
               "</Point>\r\n"
               "</Placemark>\r\n"
               "\r\n");
}

void write_placemark_tail(common::TextWriter& file) {
    file.write_line("</Document></kml>");
}

void write_path_head(common::TextWriter& file) {
    common::write_kml_head(file, common::kml_namespace_2_2);
    common::write_line_string_opening(file);
}

void add_vertex(common::TextWriter& file, const PointRecord& point) {
    common::write_coordinates(file, point.longitude, point.latitude);
    file.line_end();
}

void write_path_tail(common::TextWriter& file) {
    common::write_line_string_closing(file);
}

}  // namespace

const DocumentKind placemark_document{write_placemark_head, add_placemark, write_placemark_tail};
const DocumentKind path_document{write_path_head, add_vertex, write_path_tail};

}  // namespace kml
