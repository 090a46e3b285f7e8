// kmlmarks_basic: the program's identity (its name and what --help says about it)
// and its main(), the shared program shell over its dialogue.
#include <array>

#include "common/program.h"
#include "kml/programs.h"

constexpr common::ProgramInfo kmlmarks_basic{
    .name = "kmlmarks_basic",
    .main = kml::run_kmlmarks_basic,
    .summary = "turn a numbered point list into KML placemarks",
    .does = "Writes a KML document with a placemark, named after its number, for every\n"
            "point of a list of point number, latitude and longitude.",
    .asks = kml::numbered_list_asks,
    .reads = kml::numbered_list_reads,
    .writes = kml::numbered_list_writes,
    .options = {&kml::notation_option, 1},
    .operands = kml::list_operands,
};

int main(int argc, char** argv) {
    return common::run_program(argc, argv, kmlmarks_basic);
}
