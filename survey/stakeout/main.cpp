#include "common/program.h"
#include "survey/stakeout/stakeout.h"

int main(int argc, char** argv) {
    return common::run_program(argc, argv, {"stakeout", survey::run_stakeout});
}
