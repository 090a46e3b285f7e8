// kmlmarks_basic: the program's identity (its name and what --help says about it)
// and its main(), the shared program shell over its dialogue.
#include "common/program.h"
#include "kml/programs.h"

namespace {

constexpr common::ProgramInfo kmlmarks_basic{
    .name = "kmlmarks_basic",
    .main = kml::run_kmlmarks_basic,
    .summary = "turn a numbered point list into KML placemarks",
    .help = R"(Writes a KML document with a placemark, named after its number, for every
point of a list of point number, latitude and longitude.

Asks:    the point list (*.txt), the document (*.kml) and the angle notation
         (1 degrees, 2 degrees and minutes, 3 degrees, minutes and seconds).
Reads:   the point list.
Writes:  the KML document, created or replaced.
)",
};

}  // namespace

int main(int argc, char** argv) {
    return common::run_program(argc, argv, kmlmarks_basic);
}
