// nmeadecode: the program's identity (its name and what --help says about it)
// and its main(), the shared program shell over its dialogue.
#include <array>

#include "common/program.h"
#include "nmea/decoder/decoder.h"

constexpr std::array<common::ProgramOption, 1> options{{
    {.short_name = 'd',
     .long_name = "delay",
     .value = common::OptionValue::real,
     .value_name = "SECONDS",
     .help = "the replay delay; the replay then starts without a key"},
}};

constexpr common::ProgramInfo nmeadecode{
    .name = "nmeadecode",
    .main = nmea::run_nmeadecode,
    .summary = "replay a GNSS receiver recording on a dashboard",
    .does = "Replays REC_COM.txt, NMEA 0183 sentences (GGA, GLL, GSA, GSV, MSS, RMC, VTG,\n"
            "ZDA) each after the PC clock of its reception, on a full-screen dashboard of\n"
            "time, position, dilutions, speeds, satellites and beacon receiver.",
    .asks = "the replay delay, the seconds each fix waits (0.5: two fixes a\n"
            "second; 0: full speed), then a key to start; any key stops the\n"
            "replay.",
    .reads = "REC_COM.txt",
    .writes = "GPS_CORE.txt, the fix log, and GPS_CORE.kml, the track; both are\n"
              "replaced.",
    .options = options,
};

int main(int argc, char** argv) {
    return common::run_program(argc, argv, nmeadecode);
}
