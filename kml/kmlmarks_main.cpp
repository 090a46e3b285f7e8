#include "common/program.h"
#include "kml/programs.h"

int main(int argc, char** argv) {
    return common::run_program(argc, argv, {"kmlmarks", kml::run_kmlmarks});
}
