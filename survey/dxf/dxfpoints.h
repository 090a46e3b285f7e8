// dxfpoints: the POINT entities of a DXF drawing to a coordinate register
// (layout 7: east, north, elevation).
//
// The drawing is read as plain lines, not as group code and value pairs:
// the whole lines "POINT", "  0", " 10", " 20" and " 30" are recognised
// exactly as AutoCAD writes them (group codes right-aligned in three
// characters). A "POINT" line starts a point wherever it stands, a layer
// named POINT included; points inside block definitions are taken too.
#pragma once

#include <filesystem>
#include <optional>

#include "common/console.h"
#include "common/text_reader.h"
#include "survey/register/coordinate_register.h"

namespace survey {

int run_dxfpoints(common::Console& console, const std::filesystem::path& folder);

// Reads the lines after a "POINT" line up to the next group code 0 line
// ("  0", which starts the next entity and is the only line taken from it)
// or the end of the drawing, and takes the value after the first " 10",
// " 20" and " 30" line as east, north and elevation. Nothing when the " 10"
// or the " 20" is missing; a missing " 30" (a 2D point) gives elevation 0.
// A value that is not a number raises runtime error 106.
std::optional<RegisterPoint> read_point_entity(common::TextReader& drawing);

}  // namespace survey
