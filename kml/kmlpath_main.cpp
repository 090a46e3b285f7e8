// kmlpath: the program's identity (its name and what --help says about it)
// and its main(), the shared program shell over its dialogue.
#include "common/program.h"
#include "kml/programs.h"

namespace {

constexpr common::ProgramInfo kmlpath{
    .name = "kmlpath",
    .main = kml::run_kmlpath,
    .summary = "turn a numbered point list into a KML path",
    .help = R"(Writes a KML document with one path through the points of a list of point
number, latitude and longitude, in list order.

Asks:    the point list (*.txt), the document (*.kml) and the angle notation
         (1 degrees, 2 degrees and minutes, 3 degrees, minutes and seconds).
Reads:   the point list.
Writes:  the KML document, created or replaced.
)",
};

}  // namespace

int main(int argc, char** argv) {
    return common::run_program(argc, argv, kmlpath);
}
