#include "common/program.h"
#include "survey/dxf/dxfpoints.h"

int main(int argc, char** argv) {
    return common::run_program(argc, argv, {"dxfpoints", survey::run_dxfpoints});
}
