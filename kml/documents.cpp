#include "kml/documents.h"

#include "common/kml_skeleton.h"

namespace kml {

void PlacemarkDocument::write_head() {
    common::write_kml_head(file_, common::kml_namespace_2_1);
    file_.line_end();
}

// The fixed lines between the name and the coordinates go out in a piece
// each: a million placemarks are ten million lines.
void PlacemarkDocument::add(const PointRecord& point) {
    file_.write("<Placemark>\r\n"
                "<name>");
    common::write_kml_text(file_, point.name());
    file_.write("</name>\r\n"
                "<Point>\r\n"
                "<coordinates>");
    common::write_coordinates(file_, point.longitude, point.latitude);
    file_.write(",0\r\n"
                "</coordinates>\r\n"
                "</Point>\r\n"
                "</Placemark>\r\n"
                "\r\n");
}

void PlacemarkDocument::write_tail() {
    file_.write_line("</Document></kml>");
}

void PathDocument::write_head() {
    common::write_kml_head(file_, common::kml_namespace_2_2);
    common::write_line_string_opening(file_);
}

void PathDocument::add(const PointRecord& point) {
    common::write_coordinates(file_, point.longitude, point.latitude);
    file_.line_end();
}

void PathDocument::write_tail() {
    common::write_line_string_closing(file_);
}

}  // namespace kml
