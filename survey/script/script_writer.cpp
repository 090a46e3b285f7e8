#include "survey/script/script_writer.h"

#include <bit>

#include "common/field_format.h"

namespace survey {

namespace {

common::FieldText metres(double value) {
    return common::fixed(value, 0, 3);
}

}  // namespace

ScriptWriter::ScriptWriter(common::TextWriter& file, double text_height, int elevation_decimals)
    : file_(file), text_height_(text_height), elevation_decimals_(elevation_decimals),
      height_text_(metres(text_height)), radius_text_(metres(text_height / 5)) {}

// The same bits give the same text; 0.0 and -0.0 differ in both.
const common::FieldText& ScriptWriter::Metres::of(double value) {
    const auto value_bits = std::bit_cast<std::uint64_t>(value);
    if (value_bits != bits) {
        bits = value_bits;
        text = metres(value);
    }
    return text;
}

void ScriptWriter::write_header() {
    file_.write_line("osnap off");
}

void ScriptWriter::write_footer() {
    file_.write_line("zoom e");
}

void ScriptWriter::write_coordinates(double x, double y) {
    file_.write(x_text_.of(x));
    file_.write(',');
    file_.write(y_text_.of(y));
}

void ScriptWriter::write_coordinates(double x, double y, double z) {
    write_coordinates(x, y);
    file_.write(',');
    file_.write(z_text_.of(z));
}

void ScriptWriter::write_point(const RegisterPoint& point) {
    file_.write("point ");
    write_coordinates(point.east, point.north, point.elevation);
    file_.line_end();
}

void ScriptWriter::write_plane_point(const RegisterPoint& point) {
    file_.write("point ");
    write_coordinates(point.east, point.north);
    file_.line_end();
}

void ScriptWriter::write_circle(const RegisterPoint& point) {
    file_.write("circle ");
    write_coordinates(point.east, point.north, point.elevation);
    file_.write(' ');
    file_.write_line(radius_text_);
}

void ScriptWriter::write_plane_circle(const RegisterPoint& point) {
    file_.write("circle ");
    write_coordinates(point.east, point.north);
    file_.write(' ');
    file_.write_line(radius_text_);
}

void ScriptWriter::write_label_end(std::string_view label) {
    file_.write(' ');
    file_.write(height_text_);
    file_.write(" 0 ");
    file_.write_line(label);
}

void ScriptWriter::write_number_label(const RegisterPoint& point) {
    file_.write("text ");
    write_coordinates(point.east + 1.2 * text_height_, point.north + 0.2 * text_height_, point.elevation);
    write_label_end(common::integer(point.number).view());
}

void ScriptWriter::write_plane_number_label(const RegisterPoint& point) {
    file_.write("text ");
    write_coordinates(point.east + 1.2 * text_height_, point.north + 0.2 * text_height_);
    write_label_end(common::integer(point.number).view());
}

void ScriptWriter::write_elevation_label(const RegisterPoint& point) {
    file_.write("text ");
    write_coordinates(point.east + 1.2 * text_height_, point.north - 1.2 * text_height_, point.elevation);
    write_label_end(common::fixed(point.elevation, 0, elevation_decimals_).view());
}

}  // namespace survey
