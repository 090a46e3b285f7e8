// regscript_basic: the program's identity (its name and what --help says about it)
// and its main(), the shared program shell over its dialogue.
#include <array>

#include "common/program.h"
#include "survey/script/regscript.h"

constexpr std::array<common::ProgramOption, 2> options{{survey::height_option, survey::decimals_option}};

constexpr common::ProgramInfo regscript_basic{
    .name = "regscript_basic",
    .main = survey::run_regscript_basic,
    .summary = "turn a fixed-layout register into an AutoCAD script",
    .does = "The script of regscript for one fixed register layout: point number, north,\n"
            "east and, when the line has one, the elevation.",
    .asks = "the register, the script file (*.scr), the text height in metres,\n"
            "the elevation decimals (0 to 4).",
    .reads = "the register.",
    .writes = "the script (Windows-1251, CR LF), created or replaced.",
    .options = options,
    .operands = survey::script_operands,
};

int main(int argc, char** argv) {
    return common::run_program(argc, argv, regscript_basic);
}
