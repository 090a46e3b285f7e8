// logconvert: the program's identity (its name and what --help says about it)
// and its main(), the shared program shell over its dialogue.
#include "common/program.h"
#include "nmea/convert/log_converter.h"

namespace {

constexpr common::ProgramInfo logconvert{
    .name = "logconvert",
    .main = nmea::run_logconvert,
    .summary = "turn an NMEA_Wayspot log into a recording",
    .help = R"(Turns NMEA_Wsp.txt, the log of the outside logger NMEA_Wayspot (four lines per
sentence), into the recording REC_COM.txt that nmeadecode replays.

Asks:    nothing: a key to start, a key after "Conversion is done.".
Reads:   NMEA_Wsp.txt
Writes:  REC_COM.txt, replaced.
)",
};

}  // namespace

int main(int argc, char** argv) {
    return common::run_program(argc, argv, logconvert);
}
