// kmlpath: the program's identity (its name and what --help says about it)
// and its main(), the shared program shell over its dialogue.
#include <array>

#include "common/program.h"
#include "kml/programs.h"

constexpr common::ProgramInfo kmlpath{
    .name = "kmlpath",
    .main = kml::run_kmlpath,
    .summary = "turn a numbered point list into a KML path",
    .does = "Writes a KML document with one path through the points of a list of point\n"
            "number, latitude and longitude, in list order.",
    .asks = kml::numbered_list_asks,
    .reads = kml::numbered_list_reads,
    .writes = kml::numbered_list_writes,
    .options = {&kml::notation_option, 1},
    .operands = kml::list_operands,
};

int main(int argc, char** argv) {
    return common::run_program(argc, argv, kmlpath);
}
