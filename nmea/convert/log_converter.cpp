#include "nmea/convert/log_converter.h"

#include <cstdint>

#include "common/dialogue.h"
#include "common/field_format.h"
#include "common/text_reader.h"
#include "common/text_writer.h"

namespace nmea {

namespace {

constexpr std::string_view log_name = "NMEA_Wsp.txt";
constexpr std::string_view recording_name = "REC_COM.txt";

// A piece of the time line at 1-based characters first .. first + length - 1,
// as far as the line reaches, as an unsigned 16-bit number (0 when it is
// not one: a colon or a letter shifted into it, or nothing).
std::uint16_t time_piece(std::string_view line, std::size_t first, std::size_t length) {
    if (first > line.size()) return 0;
    return static_cast<std::uint16_t>(common::to_unsigned(line.substr(first - 1, length)));
}

// One recording line per group of four log lines. The end of the log is
// tested after a whole group only, so an empty log (or an empty line after
// the last group) gives one line with a zero clock and no sentence.
void convert_log(common::TextReader& log, common::TextWriter& recording) {
    // "  08.12.2026  12:30:00.257": hours, minutes, seconds and thousandths
    // at characters 15-16, 18-19, 21-22 and 24-26. The time line is
    // converted before the sentence line is read over it.
    do {
        const std::string_view time_line = log.read_line();
        const std::uint16_t hours = time_piece(time_line, 15, 2);
        const std::uint16_t minutes = time_piece(time_line, 18, 2);
        const std::uint16_t seconds = time_piece(time_line, 21, 2);
        const std::uint16_t thousandths = time_piece(time_line, 24, 3);
        recording.write(common::integer(hours, 3));
        recording.write(common::integer(minutes, 3));
        recording.write(common::fixed(seconds + thousandths / 1000.0, 7, 3));
        recording.write(" -");
        recording.write_line(log.read_line());
        log.skip_line();
        log.skip_line();
    } while (!log.eof());
}

}  // namespace

int run_logconvert(common::Console& console, const std::filesystem::path& folder) {
    for (int i = 0; i < 3; ++i) console.write_line_end();
    console.write("       CONVERTER for \"NMEA_Wayspot\"");
    for (int i = 0; i < 3; ++i) console.write_line_end();
    console.write("       \"NMEA_Wsp.txt\" - source file must exist in directory ! ");
    for (int i = 0; i < 2; ++i) console.write_line_end();
    console.write("       \"REC_COM.txt\"  - target file will contain the result . ");
    for (int i = 0; i < 3; ++i) console.write_line_end();
    console.write("       For START and STOP  press a key ...  ");
    // --yes answers the start key, and the end needs none then.
    if (!console.given().has("yes")) console.read_key();

    // A missing log stops with the system's error report before the
    // recording is touched.
    const common::NamedFile log_file = common::named_file(folder, std::string(log_name));
    common::TextReader log = common::TextReader::open_or_fail(console, log_file.path, log_file.name);
    // A recording that is the log itself (a link to it) would be emptied
    // before a line of the log is read.
    common::TextWriter recording =
        common::create_output(common::named_file(folder, std::string(recording_name)), log_file);
    convert_log(log, recording);
    recording.close();

    for (int i = 0; i < 3; ++i) console.write_line_end();
    console.write("       Conversion is done.   ...  ");
    console.final_key();
    return 0;
}

}  // namespace nmea
