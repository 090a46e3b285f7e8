// dxfpoints: the program's identity (its name and what --help says about it)
// and its main(), the shared program shell over its dialogue.
#include <array>

#include "common/program.h"
#include "survey/dxf/dxfpoints.h"

constexpr std::array<common::ProgramOperand, 2> operands{{{"DRAWING", "drawing"}, {"REGISTER", "register"}}};

constexpr common::ProgramInfo dxfpoints{
    .name = "dxfpoints",
    .main = survey::run_dxfpoints,
    .summary = "extract the POINT entities of a DXF drawing into a register",
    .does = "Writes the POINT entities of an AutoCAD drawing saved as ASCII DXF to a\n"
            "coordinate register, one line per point: east, north and elevation.",
    .asks = "the drawing (*.DXF) and the register file (*.TXT).",
    .reads = "the drawing.",
    .writes = "the register (layout 7 of regscript; Windows-1251, CR LF), created\n"
              "or replaced.",
    .operands = operands,
};

int main(int argc, char** argv) {
    return common::run_program(argc, argv, dxfpoints);
}
