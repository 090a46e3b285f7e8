// nmeadecode: the program's identity (its name, its options and what --help
// says about it) and its main(), the shared program shell over its dialogue,
// or over the live run that --live asks for.
#include <array>

#include "common/console.h"
#include "common/cp1251.h"
#include "common/program.h"
#include "nmea/decoder/decoder.h"
#include "nmea/decoder/live.h"

namespace {

bool is_live_source(std::string_view text) {
    return nmea::live_source_of(text).has_value();
}

bool is_baud_rate(std::string_view text) {
    return nmea::baud_rate_of(text).has_value();
}

constexpr std::array<common::ProgramOption, 3> options{{
    {.short_name = 'd',
     .long_name = "delay",
     .value = common::OptionValue::real,
     .value_name = "SECONDS",
     .help = "the replay delay; the replay then starts without a key"},
    {.short_name = 'L',
     .long_name = "live",
     .value = common::OptionValue::text,
     .value_name = "SOURCE",
     .help = "decode and record a receiver live: a serial port,\ntcp:HOST:PORT, gpsd or gpsd:HOST[:PORT]",
     .accepts = is_live_source,
     .refused = "not a serial port, tcp:HOST:PORT, gpsd or gpsd:HOST[:PORT]"},
    {.short_name = 'b',
     .long_name = "baud",
     .value = common::OptionValue::whole,
     .value_name = "N",
     .help = "the serial port's baud rate (4800 unless given)",
     .accepts = is_baud_rate,
     .refused = "not 4800, 9600, 19200, 38400, 57600, 115200, 230400 or 460800"},
}};

// The replay, or the live run when --live names a source.
int run(common::Console& console, const std::filesystem::path& folder) {
    const auto live = console.given().value("live");
    if (!live) return nmea::run_nmeadecode(console, folder);
    const auto baud = console.given().value("baud");
    auto source = nmea::live_source_of(*live, baud ? *nmea::baud_rate_of(*baud) : nmea::default_baud_rate);
    // Given as typed, in Windows-1251: the system names its ports in UTF-8.
    source->device = common::cp1251_to_utf8(source->device);
    return nmea::run_nmeadecode_live(console, folder, *source);
}

constexpr common::ProgramInfo nmeadecode{
    .name = "nmeadecode",
    .main = run,
    .summary = "replay a GNSS receiver recording on a dashboard",
    .does = "Replays REC_COM.txt, NMEA 0183 sentences (GGA, GLL, GSA, GSV, MSS, RMC, VTG,\n"
            "ZDA) each after the PC clock of its reception, on a full-screen dashboard of\n"
            "time, position, dilutions, speeds, satellites and beacon receiver. With\n"
            "-L SOURCE it shows a receiver live instead and appends it to REC_COM.txt.",
    .asks = "the replay delay, the seconds each fix waits (0.5: two fixes a\n"
            "second; 0: full speed), then a key to start; any key stops the\n"
            "replay.",
    .reads = "REC_COM.txt",
    .writes = "GPS_CORE.txt, the fix log, and GPS_CORE.kml, the track; both are\n"
              "replaced.",
    .options = options,
};

}  // namespace

int main(int argc, char** argv) {
    return common::run_program(argc, argv, nmeadecode);
}
