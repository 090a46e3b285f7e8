// regscript and regscript_basic: a coordinate register to an AutoCAD script.
//
// regscript offers the eight register layouts in a menu; regscript_basic
// reads the fixed layout (number, north, east and an optional elevation) and
// writes a point without elevation in the plane forms.
#pragma once

#include <filesystem>

#include "common/console.h"

namespace survey {

int run_regscript(common::Console& console, const std::filesystem::path& folder);
int run_regscript_basic(common::Console& console, const std::filesystem::path& folder);

}  // namespace survey
