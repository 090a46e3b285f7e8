// regscript and regscript_basic: a coordinate register to an AutoCAD script.
//
// regscript offers the eight register layouts in a menu; regscript_basic
// reads the fixed layout (number, north, east and an optional elevation) and
// writes a point without elevation in the plane forms.
#pragma once

#include <array>
#include <filesystem>

#include "common/console.h"
#include "common/program_info.h"

namespace survey {

int run_regscript(common::Console& console, const std::filesystem::path& folder);
int run_regscript_basic(common::Console& console, const std::filesystem::path& folder);

// The options and operands both programs take.
inline constexpr common::ProgramOption height_option{
    .short_name = 't',
    .long_name = "height",
    .value = common::OptionValue::real,
    .value_name = "H",
    .help = "the text height in metres",
};
inline constexpr common::ProgramOption decimals_option{
    .short_name = 'p',
    .long_name = "decimals",
    .value = common::OptionValue::whole,
    .value_name = "N",
    .help = "the elevation decimals (above 4 gives 4)",
    .lowest = 0,
};
inline constexpr std::array<common::ProgramOperand, 2> script_operands{{{"REGISTER", "register"}, {"SCRIPT", "script"}}};

}  // namespace survey
