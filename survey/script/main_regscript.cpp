#include "common/program.h"
#include "survey/script/regscript.h"

int main(int argc, char** argv) {
    return common::run_program(argc, argv, {"regscript", survey::run_regscript});
}
