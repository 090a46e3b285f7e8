// logconvert: the program's identity (its name and what --help says about it)
// and its main(), the shared program shell over its dialogue.
#include <array>

#include "common/program.h"
#include "nmea/convert/log_converter.h"

constexpr std::array<common::ProgramOption, 1> options{{
    {.short_name = 'y', .long_name = "yes", .help = "start without a key, and end without one"},
}};

constexpr common::ProgramInfo logconvert{
    .name = "logconvert",
    .main = nmea::run_logconvert,
    .summary = "turn an NMEA_Wayspot log into a recording",
    .does = "Turns NMEA_Wsp.txt, the log of the outside logger NMEA_Wayspot (four lines per\n"
            "sentence), into the recording REC_COM.txt that nmeadecode replays.",
    .asks = "nothing: a key to start, a key after \"Conversion is done.\".",
    .reads = "NMEA_Wsp.txt",
    .writes = "REC_COM.txt, replaced.",
    .options = options,
};

int main(int argc, char** argv) {
    return common::run_program(argc, argv, logconvert);
}
