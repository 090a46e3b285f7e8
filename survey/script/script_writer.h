// The AutoCAD command script: in each line a blank acts as Enter. Every
// point is drawn as a point object with a small circle around it and text
// labels for its number and elevation beside it:
//
//   osnap off
//   point 350.250,712.500,102.347
//   circle 350.250,712.500,102.347 0.400
//   text 352.650,712.900,102.347 2.000 0 25
//   text 352.650,710.100,102.347 2.000 0 102.35
//   zoom e
//
// X is east, Y north and Z the elevation, each to three decimals; the text
// height h and the circle radius h / 5 too; the number as a whole number;
// the elevation label to the chosen decimals. The " 0" after the height is
// the rotation of the text.
#pragma once

#include <cstdint>

#include "common/field_format.h"
#include "common/text_writer.h"
#include "survey/register/coordinate_register.h"

namespace survey {

class ScriptWriter {
public:
    ScriptWriter(common::TextWriter& file, double text_height, int elevation_decimals);

    // "osnap off": running object snaps off, so that the typed coordinates
    // are taken as they are.
    void write_header();
    // "zoom e": zoom to the extents of the drawing.
    void write_footer();

    // "point X,Y,Z" and "point X,Y".
    void write_point(const RegisterPoint& point);
    void write_plane_point(const RegisterPoint& point);
    // "circle X,Y,Z r" and "circle X,Y r".
    void write_circle(const RegisterPoint& point);
    void write_plane_circle(const RegisterPoint& point);
    // "text X+1.2h,Y+0.2h,Z h 0 N" and the same without Z.
    void write_number_label(const RegisterPoint& point);
    void write_plane_number_label(const RegisterPoint& point);
    // "text X+1.2h,Y-1.2h,Z h 0 E".
    void write_elevation_label(const RegisterPoint& point);

private:
    // A coordinate as x:0:3. The lines of one point repeat their X, Y and
    // Z: each column keeps its last value and text, so that a value is
    // formatted once however often it is written.
    struct Metres {
        std::uint64_t bits = 0;
        common::FieldText text = common::fixed(0.0, 0, 3);
        const common::FieldText& of(double value);
    };

    void write_coordinates(double x, double y);
    void write_coordinates(double x, double y, double z);
    void write_label_end(std::string_view label);

    common::TextWriter& file_;
    double text_height_;
    int elevation_decimals_;
    Metres x_text_, y_text_, z_text_;
    const common::FieldText height_text_;
    const common::FieldText radius_text_;
};

}  // namespace survey
