// dxfpoints: the POINT entities of a DXF drawing to a coordinate register
// (layout 7: east, north, elevation).
//
// A DXF text drawing is a sequence of line pairs: a group code line, an
// integer with any blanks around it ("  0", " 10" as AutoCAD writes them,
// "0", "10" as other writers do), and its value line. An entity starts at a
// group code 0 and runs up to the next one; a POINT entity is one whose code
// 0 value is "POINT", and its X, Y and Z are the values of its codes 10, 20
// and 30. Points inside block definitions are taken too, with the
// coordinates as they stand in the block. The pair of code 0 and "EOF" ends
// the drawing.
//
// Drawings and what they give:
//   "  0\nPOINT\n 10\n1.5\n 20\n2.5\n 30\n3.5\n  0\nEOF\n"  the point 1.5 2.5 3.5
//   "0\nPOINT\n10\n1.5\n20\n2.5\n0\nEOF\n"                  the point 1.5 2.5 0 (no Z)
//   "  0\nLINE\n  8\nPOINT\n 10\n1\n 20\n2\n"              no point (a layer named POINT)
//   "  0\nPOINT\n 10\n1.5\n  0\nEOF\n"                       a point without Y: left out
//   "  0\nPOINT\n 10\n1.5 7\n 20\n2\n"                        the point 1.5 2 0 (the rest
//                                                            of a value line is discarded)
//   "  0\nPOINT\n 10\n1,5\n"                                 runtime error 106, line 4
//   "SECTION\n"                                              runtime error 106, line 1
//   "AutoCAD Binary DXF\r\n\x1a..."                          refused: a binary drawing
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

#include "common/console.h"
#include "common/text_reader.h"
#include "survey/register/coordinate_register.h"

namespace survey {

int run_dxfpoints(common::Console& console, const std::filesystem::path& folder);

struct PointEntity {
    RegisterPoint point;  // elevation 0 when the entity has no code 30
    bool has_x_and_y = false;
};

// The POINT entities of a drawing, in file order. A group code line that is
// not an integer, or a coordinate value that is not a number, raises runtime
// error 106 naming the line.
class PointEntities {
public:
    // Reads the first group code, so that a binary drawing (refused with a
    // runtime error) or a file that is no DXF stops before anything is
    // written.
    explicit PointEntities(common::TextReader& drawing);

    // The next POINT entity; nothing at the end of the drawing.
    std::optional<PointEntity> next();

private:
    bool read_code();
    // A group code line other than the usual short one, read at `line`;
    // false at the end of the drawing.
    [[gnu::noinline]] bool code_line(std::string_view text, long line);
    void take_coordinate();
    std::optional<PointEntity> close_entity();

    common::TextReader& drawing_;
    bool has_code_ = false;  // a group code line has been read, its value not yet
    std::int32_t code_ = 0;
    bool in_point_ = false;
    RegisterPoint point_;
    // Only the first code 10, 20 and 30 of an entity count.
    bool has_x_ = false, has_y_ = false, has_z_ = false;
};

}  // namespace survey
