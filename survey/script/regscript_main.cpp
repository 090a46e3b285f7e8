// regscript: the program's identity (its name and what --help says about it)
// and its main(), the shared program shell over its dialogue.
#include <array>

#include "common/program.h"
#include "survey/script/regscript.h"

constexpr std::array<common::ProgramOption, 3> options{{
    {.short_name = 'l',
     .long_name = "layout",
     .value = common::OptionValue::menu_key,
     .value_name = "N",
     .help = "the register layout, 1 to 8",
     .lowest = 1,
     .highest = 8},
    survey::height_option,
    survey::decimals_option,
}};

constexpr common::ProgramInfo regscript{
    .name = "regscript",
    .main = survey::run_regscript,
    .summary = "turn a coordinate register into an AutoCAD script",
    .does = "Turns a coordinate register (surveyed points, numbers only) in one of eight\n"
            "column layouts into an AutoCAD command script that draws every point with a\n"
            "circle and labels its number and elevation.",
    .asks = "the layout (one digit, 1 to 8), the register, the script file\n"
            "(*.scr), the text height in metres, the elevation decimals (0 to 4).",
    .reads = "the register.",
    .writes = "the script (Windows-1251, CR LF), created or replaced.",
    .options = options,
    .operands = survey::script_operands,
};

int main(int argc, char** argv) {
    return common::run_program(argc, argv, regscript);
}
