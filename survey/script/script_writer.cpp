#include "survey/script/script_writer.h"

#include <bit>

#include "common/field_format.h"

namespace survey {

namespace {

common::FieldText metres(double value) {
    return common::fixed(value, 0, 3);
}

}  // namespace

ScriptWriter::ScriptWriter(common::TextWriter& file_, double text_height_, int elevation_decimals_)
    : file(file_), text_height(text_height_), elevation_decimals(elevation_decimals_),
      height_text(metres(text_height)), radius_text(metres(text_height / 5)) {}

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
    file.write_line("osnap off");
}

void ScriptWriter::write_footer() {
    file.write_line("zoom e");
}

void ScriptWriter::write_coordinates(double x, double y) {
    file.write(x_text.of(x));
    file.write(',');
    file.write(y_text.of(y));
}

void ScriptWriter::write_coordinates(double x, double y, double z) {
    write_coordinates(x, y);
    file.write(',');
    file.write(z_text.of(z));
}

void ScriptWriter::write_point(const RegisterPoint& point) {
    file.write("point ");
    write_coordinates(point.east, point.north, point.elevation);
    file.line_end();
}

void ScriptWriter::write_plane_point(const RegisterPoint& point) {
    file.write("point ");
    write_coordinates(point.east, point.north);
    file.line_end();
}

void ScriptWriter::write_circle(const RegisterPoint& point) {
    file.write("circle ");
    write_coordinates(point.east, point.north, point.elevation);
    file.write(' ');
    file.write_line(radius_text);
}

void ScriptWriter::write_plane_circle(const RegisterPoint& point) {
    file.write("circle ");
    write_coordinates(point.east, point.north);
    file.write(' ');
    file.write_line(radius_text);
}

void ScriptWriter::write_label_end(std::string_view label) {
    file.write(' ');
    file.write(height_text);
    file.write(" 0 ");
    file.write_line(label);
}

void ScriptWriter::write_number_label(const RegisterPoint& point) {
    file.write("text ");
    write_coordinates(point.east + 1.2 * text_height, point.north + 0.2 * text_height, point.elevation);
    write_label_end(common::integer(point.number).view());
}

void ScriptWriter::write_plane_number_label(const RegisterPoint& point) {
    file.write("text ");
    write_coordinates(point.east + 1.2 * text_height, point.north + 0.2 * text_height);
    write_label_end(common::integer(point.number).view());
}

void ScriptWriter::write_elevation_label(const RegisterPoint& point) {
    file.write("text ");
    write_coordinates(point.east + 1.2 * text_height, point.north - 1.2 * text_height, point.elevation);
    write_label_end(common::fixed(point.elevation, 0, elevation_decimals).view());
}

}  // namespace survey
