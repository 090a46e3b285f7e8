#include "kml/documents.h"

#include "common/kml_skeleton.h"

namespace kml {

void PlacemarkDocument::write_head() {
    common::write_kml_head(file_, common::kml_namespace_2_1);
    file_.line_end();
}

void PlacemarkDocument::add(const PointRecord& point) {
    file_.write_line("<Placemark>");
    file_.write("<name>");
    common::write_kml_text(file_, point.name());
    file_.write_line("</name>");
    file_.write_line("<Point>");
    file_.write("<coordinates>");
    common::write_coordinates(file_, point.longitude, point.latitude);
    file_.write_line(",0");
    file_.write_line("</coordinates>");
    file_.write_line("</Point>");
    file_.write_line("</Placemark>");
    file_.line_end();
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
