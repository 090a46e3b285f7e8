#include "common/program_options.h"

#include <array>
#include <cstdio>
#include <string>
#include <string_view>

// The build passes the project's version; a build without it would print a
// version nobody released.
#ifndef SURVEYKIT_VERSION
#error "SURVEYKIT_VERSION is set by the build from the project's version"
#endif

namespace common {

namespace {

// What --help says about one program: the line that also names its manual
// page, and what it does, asks, reads and writes. The manual says the rest.
struct ProgramHelp {
    std::string_view name;
    std::string_view summary;
    std::string_view body;
};

constexpr std::array program_help{
    ProgramHelp{"nmeadecode", "replay a GNSS receiver recording on a dashboard",
                R"(Replays REC_COM.txt, NMEA 0183 sentences (GGA, GLL, GSA, GSV, MSS, RMC, VTG,
ZDA) each after the PC clock of its reception, on a full-screen dashboard of
time, position, dilutions, speeds, satellites and beacon receiver.

Asks:    the replay delay, the seconds each fix waits (0.5: two fixes a
         second; 0: full speed), then a key to start; any key stops the
         replay.
Reads:   REC_COM.txt
Writes:  GPS_CORE.txt, the fix log, and GPS_CORE.kml, the track; both are
         replaced.
)"},
    ProgramHelp{"logconvert", "turn an NMEA_Wayspot log into a recording",
                R"(Turns NMEA_Wsp.txt, the log of the outside logger NMEA_Wayspot (four lines per
sentence), into the recording REC_COM.txt that nmeadecode replays.

Asks:    nothing: a key to start, a key after "Conversion is done.".
Reads:   NMEA_Wsp.txt
Writes:  REC_COM.txt, replaced.
)"},
    ProgramHelp{"regscript", "turn a coordinate register into an AutoCAD script",
                R"(Turns a coordinate register (surveyed points, numbers only) in one of eight
column layouts into an AutoCAD command script that draws every point with a
circle and labels its number and elevation.

Asks:    the layout (one digit, 1 to 8), the register, the script file
         (*.scr), the text height in metres, the elevation decimals (0 to 4).
Reads:   the register.
Writes:  the script (Windows-1251, CR LF), created or replaced.
)"},
    ProgramHelp{"regscript_basic", "turn a fixed-layout register into an AutoCAD script",
                R"(The script of regscript for one fixed register layout: point number, north,
east and, when the line has one, the elevation.

Asks:    the register, the script file (*.scr), the text height in metres,
         the elevation decimals (0 to 4).
Reads:   the register.
Writes:  the script (Windows-1251, CR LF), created or replaced.
)"},
    ProgramHelp{"dxfpoints", "extract the POINT entities of a DXF drawing into a register",
                R"(Writes the POINT entities of an AutoCAD drawing saved as ASCII DXF to a
coordinate register, one line per point: east, north and elevation.

Asks:    the drawing (*.DXF) and the register file (*.TXT).
Reads:   the drawing.
Writes:  the register (layout 7 of regscript; Windows-1251, CR LF), created
         or replaced.
)"},
    ProgramHelp{"kmlmarks", "turn a list of geographic points into KML placemarks",
                R"(Writes a KML document with a placemark for every point of a list that lies
inside the latitude/longitude window of Go_P.par.

Asks:    the point list (*.txt), the document (*.kml), the angle notation
         (1 degrees, 2 degrees and minutes, 3 degrees, minutes and seconds)
         and the field order of a record (1 to 4).
Reads:   the point list; Go_P.par, four numbers: lowest and highest latitude,
         lowest and highest longitude (without it -1 91 -1 181).
Writes:  the KML document, created or replaced.
)"},
    ProgramHelp{"kmlmarks_basic", "turn a numbered point list into KML placemarks",
                R"(Writes a KML document with a placemark, named after its number, for every
point of a list of point number, latitude and longitude.

Asks:    the point list (*.txt), the document (*.kml) and the angle notation
         (1 degrees, 2 degrees and minutes, 3 degrees, minutes and seconds).
Reads:   the point list.
Writes:  the KML document, created or replaced.
)"},
    ProgramHelp{"kmlpath", "turn a numbered point list into a KML path",
                R"(Writes a KML document with one path through the points of a list of point
number, latitude and longitude, in list order.

Asks:    the point list (*.txt), the document (*.kml) and the angle notation
         (1 degrees, 2 degrees and minutes, 3 degrees, minutes and seconds).
Reads:   the point list.
Writes:  the KML document, created or replaced.
)"},
    ProgramHelp{"stakeout", "list directions and distances for staking out",
                R"(Lists, for a station of a coordinate register, the direction in grads and the
horizontal distance to every register point within a radius.

Asks:    the register, the listing file, the station (a point number of the
         register) and the region radius in metres; then D at "Следваща
         станция  D/N" for another station, any other key to end.
Reads:   the register: point number, north, east and an optional elevation.
Writes:  the listing (Windows-1251, CR LF), extended when it exists.
)"},
};

const ProgramHelp* find_help(std::string_view name) {
    for (const ProgramHelp& entry : program_help) {
        if (entry.name == name) return &entry;
    }
    return nullptr;
}

std::string help_text(std::string_view name) {
    std::string text(name);
    const ProgramHelp* help = find_help(name);
    if (help != nullptr) text.append(" - ").append(help->summary);
    text.append("\n\nUsage: ").append(name).append("\n       ").append(name).append(" --help | --version\n\n");
    if (help != nullptr) text.append(help->body).append("\n");
    text.append(
        "Start it without arguments in the folder that holds the data. It runs on an\n"
        "80 x 25 terminal; with keys piped in, it prints its final screen at the end.\n"
        "See \"man ");
    text.append(name).append("\" for the questions, the file formats, the messages and\nthe exit codes.\n");
    return text;
}

// A text that does not reach its reader is no answer: end with 1, as other
// tools do when their help cannot be written.
int print(std::string_view name, const std::string& text) {
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    if (std::fflush(stdout) == 0 && written) return 0;
    std::fprintf(stderr, "%s: cannot write to standard output\n", std::string(name).c_str());
    return 1;
}

}  // namespace

std::optional<int> answer_program_options(int argc, char** argv, const ProgramInfo& program) {
    // The first of the two options decides; every other argument is ignored,
    // as it always was, and so is everything after "--".
    for (int index = 1; index < argc; ++index) {
        const std::string_view argument = argv[index];
        if (argument == "--") break;
        if (argument == "--help") return print(program.name, help_text(program.name));
        if (argument == "--version") {
            return print(program.name, std::string(program.name) + " (surveykit) " SURVEYKIT_VERSION "\n");
        }
    }
    return std::nullopt;
}

}  // namespace common
