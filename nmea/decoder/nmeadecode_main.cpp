// nmeadecode: the program's identity (its name and what --help says about it)
// and its main(), the shared program shell over its dialogue, or over the
// live run that --live asks for.
#include <cstdio>
#include <optional>
#include <string_view>

#include "common/program.h"
#include "nmea/decoder/decoder.h"
#include "nmea/decoder/live.h"

namespace {

constexpr common::ProgramInfo nmeadecode{
    .name = "nmeadecode",
    .main = nmea::run_nmeadecode,
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
};

// The live source that --live names, for the run that the shell starts.
std::optional<nmea::LiveSource> live_source;

int run_live(common::Console& console, const std::filesystem::path& folder) {
    return nmea::run_nmeadecode_live(console, folder, *live_source);
}

constexpr int usage_error = 64;

int usage(const char* problem, std::string_view argument) {
    std::fprintf(stderr, "nmeadecode: %s: %.*s\nUsage: nmeadecode [-L SOURCE [-b N]]\n", problem,
                 static_cast<int>(argument.size()), argument.data());
    return usage_error;
}

// The value of "-L SOURCE", "-LSOURCE" or "--live=SOURCE" (and the same for
// -b and --baud) at argv[index]; index moves past what it took.
std::optional<std::string_view> option_value(int argc, char** argv, int& index, std::string_view short_name,
                                             std::string_view long_name) {
    const std::string_view argument = argv[index];
    if (argument.starts_with(long_name) && argument.size() > long_name.size() && argument[long_name.size()] == '=') {
        return argument.substr(long_name.size() + 1);
    }
    if (argument == long_name || argument == short_name) {
        if (index + 1 >= argc) return std::nullopt;
        return std::string_view(argv[++index]);
    }
    if (argument.starts_with(short_name)) return argument.substr(short_name.size());
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    std::optional<std::string_view> source_text;
    int baud = nmea::default_baud_rate;
    for (int index = 1; index < argc; ++index) {
        const std::string_view argument = argv[index];
        if (argument == "--") break;
        if (argument.starts_with("-L") || argument.starts_with("--live")) {
            source_text = option_value(argc, argv, index, "-L", "--live");
            if (!source_text) return usage("--live needs a SOURCE", argument);
        } else if (argument.starts_with("-b") || argument.starts_with("--baud")) {
            const auto value = option_value(argc, argv, index, "-b", "--baud");
            const auto rate = value ? nmea::baud_rate_of(*value) : std::nullopt;
            if (!rate) return usage("not a baud rate (4800 ... 460800)", value ? *value : argument);
            baud = *rate;
        }
    }
    if (!source_text) return common::run_program(argc, argv, nmeadecode);
    live_source = nmea::live_source_of(*source_text, baud);
    if (!live_source) return usage("not a live source", *source_text);
    common::ProgramInfo live = nmeadecode;
    live.main = run_live;
    return common::run_program(argc, argv, live);
}
