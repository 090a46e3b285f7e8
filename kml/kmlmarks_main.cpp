// kmlmarks: the program's identity (its name and what --help says about it)
// and its main(), the shared program shell over its dialogue.
#include <array>

#include "common/program.h"
#include "kml/programs.h"

constexpr std::array<common::ProgramOption, 2> options{{
    kml::notation_option,
    {.short_name = 'o',
     .long_name = "order",
     .value = common::OptionValue::menu_key,
     .value_name = "N",
     .help = "the field order of a record, 1 to 4",
     .lowest = 1,
     .highest = 4},
}};

constexpr common::ProgramInfo kmlmarks{
    .name = "kmlmarks",
    .main = kml::run_kmlmarks,
    .summary = "turn a list of geographic points into KML placemarks",
    .does = "Writes a KML document with a placemark for every point of a list that lies\n"
            "inside the latitude/longitude window of Go_P.par.",
    .asks = "the point list (*.txt), the document (*.kml), the angle notation\n"
            "(1 degrees, 2 degrees and minutes, 3 degrees, minutes and seconds)\n"
            "and the field order of a record (1 to 4).",
    .reads = "the point list; Go_P.par, four numbers: lowest and highest latitude,\n"
             "lowest and highest longitude (without it -1 91 -1 181).",
    .writes = "the KML document, created or replaced.",
    .options = options,
    .operands = kml::list_operands,
};

int main(int argc, char** argv) {
    return common::run_program(argc, argv, kmlmarks);
}
