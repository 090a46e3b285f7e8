// Hostile inputs, one table per program: binary files, NUL bytes, lines of
// megabytes, CR-only line ends, byte 26 in the middle, numbers at and beyond
// the ends of a double, folders and unreadable files in place of inputs,
// reads that fail, and outputs that cannot be created or written or that
// are no files (devices, pipes that nobody reads). Every run ends in time
// with a defined exit code and, where it stops early, a report on the
// screen and once on standard error; what was written before stays.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <optional>
#include <thread>
#include <string>
#include <vector>

#include "tests/robustness/program_runs.h"
#include "tests/support/system.h"

namespace {

using namespace robustness;

struct Output {
    std::string name;
    std::string starts;  // the file begins with this
    std::string ends;    // and ends with this
    // A text the file holds `count` times (when not empty).
    std::string part = {};
    std::size_t count = 0;
};

struct Row {
    const char* legend;
    std::vector<Entry> entries;
    int exit_code;
    // The report on standard error, after "<program>: " (a second one on
    // the next line, after the name again); empty when the run ends without
    // one.
    std::string report;
    // A text the final screen shows (UTF-8); may be empty.
    std::string screen;
    std::vector<Output> outputs = {};
    std::vector<std::string> absent = {};
    // Keys other than the program's usual answers.
    std::string keys = {};
    // Files grow to at most this many bytes (0: no limit), as on a full disk.
    std::uint64_t file_size_limit = 0;
    // The run takes at least and less than these seconds (0: unbounded).
    double min_seconds = 0;
    double max_seconds = 0;
};

// A pipe that nobody reads is refused at once; its open used to wait for
// ever.
constexpr double refusal_seconds = 1.0;

void run_table(std::string_view program, std::string_view usual_keys, const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        SCOPED_TRACE(row.legend);
        const char* impossible = nullptr;
        for (const Entry& entry : row.entries) impossible = impossible != nullptr ? impossible : cannot_make(entry);
        if (impossible != nullptr) {
            std::printf("[ skipped  ] %s: %s (%s)\n", std::string(program).c_str(), row.legend, impossible);
            continue;
        }
        testing_support::TempFolder folder;
        for (const Entry& entry : row.entries) make(folder, entry);
        bool has_fifo = false;
        for (const Entry& entry : row.entries) has_fifo = has_fifo || entry.kind == Entry::fifo;
        Outcome outcome;
        {
            std::optional<testing_support::FileSizeLimit> limit;
            if (row.file_size_limit > 0) {
                if (!limit.emplace(row.file_size_limit).available()) {
                    std::printf("[ skipped  ] %s: %s (no limit of file sizes)\n", std::string(program).c_str(),
                                row.legend);
                    continue;
                }
            }
            const std::string_view keys = row.keys.empty() ? usual_keys : std::string_view(row.keys);
            outcome = run_in(program, folder, keys, has_fifo || row.max_seconds > 0 ? 10 : 60);
        }
        const auto& run = outcome.run;
        ASSERT_FALSE(run.timed_out) << "no end in time";
        const double max_seconds = row.max_seconds > 0 ? row.max_seconds : has_fifo ? refusal_seconds : 0;
        if (max_seconds > 0) {
            EXPECT_GE(outcome.seconds, row.min_seconds);
            // A paced run's upper bound leaves out what the same run with the
            // usual keys takes, so that starting a process (most of a second
            // under wine on a busy machine) does not count as the pace.
            double seconds = outcome.seconds;
            if (row.max_seconds > 0 && row.keys != usual_keys) {
                testing_support::TempFolder same;
                for (const Entry& entry : row.entries) make(same, entry);
                seconds -= std::min(seconds, run_in(program, same, usual_keys, 10).seconds);
            }
            EXPECT_LT(seconds, max_seconds);
        }
        EXPECT_EQ(run.exit_code, row.exit_code) << run.screen << run.errors;
        // Each report once.
        EXPECT_EQ(count_of(run.errors, "Runtime error"), count_of(row.report, "Runtime error")) << run.errors;
        if (row.report.empty()) {
            EXPECT_EQ(run.errors, "");
        } else {
            EXPECT_NE(run.errors.find(std::string(program) + ": " + row.report), std::string::npos) << run.errors;
            EXPECT_NE(screen_joined(run.screen).find("Runtime error " + std::to_string(row.exit_code) + ": "),
                      std::string::npos)
                << run.screen;
        }
        if (!row.screen.empty()) {
            EXPECT_NE(run.screen.find(row.screen), std::string::npos) << run.screen;
        }
        for (const Output& output : row.outputs) {
            SCOPED_TRACE(output.name);
            ASSERT_TRUE(fs::is_regular_file(folder / output.name)) << "missing";
            const std::string content = folder.read(output.name);
            EXPECT_TRUE(content.starts_with(output.starts)) << content.substr(0, 200);
            EXPECT_TRUE(content.ends_with(output.ends))
                << content.substr(content.size() - std::min<std::size_t>(content.size(), 200));
            if (!output.part.empty()) {
                EXPECT_EQ(count_of(content, output.part), output.count) << output.part;
            }
        }
        for (const std::string& name : row.absent) EXPECT_FALSE(fs::exists(folder / name)) << name;
    }
}

// A text with NUL bytes in it: the whole literal but its terminator.
template <std::size_t size>
std::string with_nuls(const char (&text)[size]) {
    return std::string(text, size - 1);
}

// Sentences and register lines used by the tables.
const std::string gga_1 = " 12 35 20.125 -$GPGGA,123519.00,4807.0380,N,01131.0000,E,1,08,0.9,545.4,M,46.9,M,,*47";
const std::string gga_2 = " 12 35 21.125 -$GPGGA,123520.00,4807.0380,N,01131.0000,E,1,08,0.9,545.4,M,46.9,M,,*47";
const std::string track_point = "11.516667,48.117300\r\n";
const std::string track_end = "</kml>\r\n";
const std::string register_lines = "1 100 200 10\r\n2 110 210 11\r\n3 120 190 12\r\n";

TEST(hostile_input, nmeadecode) {
    const std::string recording = gga_1 + "\r\n" + gga_2 + "\r\n";
    const std::string log_header = " PC clock,";
    std::string twenty_fixes;
    for (int i = 0; i < 20; ++i) twenty_fixes += gga_1 + "\r\n";
    run_table(
        "nmeadecode", "0\n\n",
        {
            {"binary recording",
             {file("REC_COM.txt", binary_bytes(1 << 16))},
             0,
             "",
             "",
             {{"GPS_CORE.kml", "<?xml", track_end}}},
            {"NUL bytes inside the fields",
             {file("REC_COM.txt", with_nuls("$GPGGA,123519.00,48\0\00007.0380,N,\0,E,1,\0\r\n") + gga_2 + "\r\n")},
             0,
             "",
             "",
             {{"GPS_CORE.kml", "<?xml", track_end}}},
            {"a sentence line of 4 MB",
             {file("REC_COM.txt", "$GPGGA,1" + long_line(4, '1') + gga_2 + "\r\n")},
             0,
             "",
             "",
             {{"GPS_CORE.kml", "<?xml",
               track_point + "\r\n</coordinates>\r\n</LineString>\r\n</Placemark>\r\n</Document>\r\n</kml>\r\n"}}},
            {"a line of 4 MB without a sentence",
             {file("REC_COM.txt", long_line(4, 'x') + gga_2 + "\r\n")},
             0,
             "",
             "",
             {{"GPS_CORE.kml", "<?xml", track_end}}},
            {"lone CR line ends: two fixes",
             {file("REC_COM.txt", gga_1 + "\r" + gga_2 + "\r")},
             0,
             "",
             "",
             {{"GPS_CORE.kml", "<?xml", track_end, track_point, 2}}},
            {"byte 26 ends the recording",
             {file("REC_COM.txt", gga_1 + "\r\n\x1a" + gga_2 + "\r\n")},
             0,
             "",
             "pc clock: 12 35 20.1",
             {{"GPS_CORE.kml", "<?xml", track_end, track_point, 1}}},
            {"numbers beyond a double in the fields",
             {file("REC_COM.txt",
                   "$GPGGA,1e400,-0,N,99999999999999999999,E,1,1e400,1e-400,1e400,M,-0,M,1e400,*47\r\n")},
             0,
             "",
             "",
             {{"GPS_CORE.kml", "<?xml", track_end}}},
            {"the recording is a folder",
             {folder("REC_COM.txt")},
             2,
             "",
             "source file must exist",
             {},
             {"GPS_CORE.txt", "GPS_CORE.kml"}},
            {"the recording is unreadable",
             {unreadable("REC_COM.txt")},
             2,
             "",
             "source file must exist",
             {},
             {"GPS_CORE.txt", "GPS_CORE.kml"}},
            {"reading the recording fails",
             {read_fails("REC_COM.txt")},
             5,
             "Runtime error 5: cannot read",
             "",
             {{"GPS_CORE.txt", log_header, ""}, {"GPS_CORE.kml", "<?xml", ""}}},
            {"the fix log is a folder",
             {file("REC_COM.txt", recording), folder("GPS_CORE.txt")},
             21,
             "Runtime error 21: cannot create \"GPS_CORE.txt\": Is a directory",
             "",
             {},
             {"GPS_CORE.kml"}},
            {"the track is a folder",
             {file("REC_COM.txt", recording), folder("GPS_CORE.kml")},
             21,
             "Runtime error 21: cannot create \"GPS_CORE.kml\": Is a directory",
             "",
             {{"GPS_CORE.txt", log_header, ""}}},
            {"the fix log is a device",
             {file("REC_COM.txt", recording), full_device("GPS_CORE.txt")},
             19,
             "Runtime error 19: cannot create \"GPS_CORE.txt\": a device, not a file",
             "",
             {},
             {"GPS_CORE.kml"}},
            {"the track is a device",
             {file("REC_COM.txt", recording), full_device("GPS_CORE.kml")},
             19,
             "Runtime error 19: cannot create \"GPS_CORE.kml\": a device, not a file",
             "",
             {{"GPS_CORE.txt", log_header, "---.---\r\n"}}},
            {"the fix log is a pipe that nobody reads",
             {file("REC_COM.txt", recording), fifo("GPS_CORE.txt")},
             6,
             "Runtime error 6: cannot create \"GPS_CORE.txt\": a pipe that nobody reads, not a file",
             "",
             {},
             {"GPS_CORE.kml"}},
            // The DELAY answer is the seconds each fix waits: 20 fixes at
            // 0.05 take a second. It used to be four pauses of the answer
            // x 90 s each: 18 s a fix.
            {"DELAY 0.05: twenty fixes in a second",
             {file("REC_COM.txt", twenty_fixes)},
             0,
             "",
             "counter:          20 points",
             {},
             {},
             "0.05\n\n",
             0,
             1.0,
             1.5},
            {"both outputs are the null device",
             {file("REC_COM.txt", recording), link_to("GPS_CORE.txt", "/dev/null"), link_to("GPS_CORE.kml", "/dev/null")},
             0,
             "",
             "pc clock: 12 35 21.1"},
            {"the fix log is a link to the recording: the recording is kept",
             {file("REC_COM.txt", recording), link_to("GPS_CORE.txt", "REC_COM.txt")},
             22,
             "Runtime error 22: cannot create \"GPS_CORE.txt\": it is the file being read",
             "",
             {{"REC_COM.txt", recording, recording}},
             {"GPS_CORE.kml"}},
            {"the track is a link to the recording: the recording is kept",
             {file("REC_COM.txt", recording), link_to("GPS_CORE.kml", "REC_COM.txt")},
             22,
             "Runtime error 22: cannot create \"GPS_CORE.kml\": it is the file being read",
             "",
             {{"REC_COM.txt", recording, recording}},
             {"GPS_CORE.txt"}},
        });
}

TEST(hostile_input, logconvert) {
    const std::string group_1 = "  08.12.2026  12:30:00.257\r\n$GPGGA,1\r\n  RX COM1 4800\r\n\r\n";
    const std::string group_2 = "  08.12.2026  12:30:01.257\r\n$GPGGA,2\r\n  RX COM1 4800\r\n\r\n";
    const std::string line_1 = " 12 30  0.257 -$GPGGA,1\r\n";
    const std::string line_2 = " 12 30  1.257 -$GPGGA,2\r\n";
    run_table("logconvert", " ",
              {
                  {"binary log",
                   {file("NMEA_Wsp.txt", binary_bytes(1 << 16))},
                   0,
                   "",
                   "Conversion is done.",
                   {{"REC_COM.txt", "", "\r\n"}}},
                  {"NUL bytes in the lines",
                   {file("NMEA_Wsp.txt", with_nuls("  08.12.2026  12:30:\0\0.257\r\n$GP\0GA\r\n\0\r\n\r\n"))},
                   0,
                   "",
                   "",
                   {{"REC_COM.txt", with_nuls(" 12 30  0.257 -$GP\0GA\r\n"), ""}}},
                  {"a sentence line of 4 MB",
                   {file("NMEA_Wsp.txt", "  08.12.2026  12:30:00.257\r\n$" + long_line(4, 'G') + "\r\n\r\n" + group_2)},
                   0,
                   "",
                   "",
                   {{"REC_COM.txt", " 12 30  0.257 -$GGG", std::string(254, 'G') + "\r\n" + line_2}}},
                  {"lone CR line ends",
                   {file("NMEA_Wsp.txt", "  08.12.2026  12:30:00.257\r$GPGGA,1\r  RX\r\r" + group_2)},
                   0,
                   "",
                   "",
                   {{"REC_COM.txt", line_1, line_2}}},
                  {"byte 26 ends the log",
                   {file("NMEA_Wsp.txt", group_1 + "\x1a" + group_2)},
                   0,
                   "",
                   "",
                   {{"REC_COM.txt", line_1, line_1}}},
                  {"numbers in the time line",
                   {file("NMEA_Wsp.txt", "  08.12.2026  1e:-0:1e400\r\n$GPGGA,1\r\n\r\n\r\n")},
                   0,
                   "",
                   "",
                   {{"REC_COM.txt", "  0  0  0.000 -$GPGGA,1\r\n", "\r\n"}}},
                  {"the log is a folder",
                   {folder("NMEA_Wsp.txt")},
                   21,
                   "Runtime error 21: cannot open \"NMEA_Wsp.txt\": Is a directory",
                   "",
                   {},
                   {"REC_COM.txt"}},
                  {"the log is unreadable",
                   {unreadable("NMEA_Wsp.txt")},
                   13,
                   "Runtime error 13: cannot open \"NMEA_Wsp.txt\": Permission denied",
                   "",
                   {},
                   {"REC_COM.txt"}},
                  {"there is no log",
                   {},
                   2,
                   "Runtime error 2: cannot open \"NMEA_Wsp.txt\": No such file or directory",
                   "",
                   {},
                   {"REC_COM.txt"}},
                  {"reading the log fails", {read_fails("NMEA_Wsp.txt")}, 5, "Runtime error 5: cannot read", "", {}},
                  {"the recording is a folder",
                   {file("NMEA_Wsp.txt", group_1), folder("REC_COM.txt")},
                   21,
                   "Runtime error 21: cannot create \"REC_COM.txt\": Is a directory",
                   "",
                   {}},
                  {"the recording is a device",
                   {file("NMEA_Wsp.txt", group_1), full_device("REC_COM.txt")},
                   19,
                   "Runtime error 19: cannot create \"REC_COM.txt\": a device, not a file",
                   "",
                   {}},
                  {"the recording is a link to the log: the log is kept",
                   {file("NMEA_Wsp.txt", group_1), link_to("REC_COM.txt", "NMEA_Wsp.txt")},
                   22,
                   "Runtime error 22: cannot create \"REC_COM.txt\": it is the file being read",
                   "",
                   {{"NMEA_Wsp.txt", group_1, group_1}}},
              });
}

// The rows that regscript and regscript_basic share: the register check
// stops hostile registers before any output is asked for.
std::vector<Row> script_rows(const std::string& check_failed, const std::string& done) {
    return {
        {"binary register", {file("in.txt", binary_bytes(1 << 16))}, 106, "", check_failed + "1", {}, {"out.scr"}},
        {"NUL bytes in a token",
         {file("in.txt", with_nuls("1 2 3 4\0\0\r\n5 6\0007 8\r\n"))},
         106,
         "",
         check_failed + "4",
         {},
         {"out.scr"}},
        {"a token of 3 MB",
         {file("in.txt", "1 " + long_line(3, '7') + " 3 4\r\n")},
         106,
         "",
         check_failed + "2",
         {},
         {"out.scr"}},
        {"1e400 fails the check", {file("in.txt", "1 10 20 1e400\r\n")}, 106, "", check_failed + "4", {}, {"out.scr"}},
        {"lone CR line ends",
         {file("in.txt", "1 100 200 10\r2 110 210 11\r3 120 190 12\r")},
         0,
         "",
         done,
         {{"out.scr", "osnap off\r\npoint 200.000,100.000,10.000\r\n", "zoom e\r\n"}}},
        {"byte 26 ends the register",
         {file("in.txt",
               "1 100 200 10\r\n\x1a"
               "2 110 210 11\r\n")},
         0,
         "",
         done,
         {{"out.scr", "osnap off\r\npoint 200.000,100.000,10.000\r\n", "zoom e\r\n"}}},
        {"-0, 20 nines and 1e-400 are numbers",
         {file("in.txt", "1 -0 99999999999999999999 1e-400\r\n")},
         0,
         "",
         done,
         {{"out.scr", "osnap off\r\npoint 100000000000000000000.000,-0.000,0.000\r\n", "zoom e\r\n"}}},
        {"the register is a folder", {folder("in.txt")}, 2, "", "HЕ НАМИРА ФАЙЛ in.txt", {}, {"out.scr"}},
        {"the register is unreadable", {unreadable("in.txt")}, 2, "", "HЕ НАМИРА ФАЙЛ in.txt", {}, {"out.scr"}},
        {"reading the register fails", {read_fails("in.txt")}, 5, "Runtime error 5: cannot read", "", {}, {"out.scr"}},
        {"the script is a folder",
         {file("in.txt", register_lines), folder("out.scr")},
         21,
         "Runtime error 21: cannot create \"out.scr\": Is a directory",
         "",
         {}},
        {"the script is a device",
         {file("in.txt", register_lines), full_device("out.scr")},
         19,
         "Runtime error 19: cannot create \"out.scr\": a device, not a file",
         "",
         {}},
        {"the script is the null device", {file("in.txt", register_lines), link_to("out.scr", "/dev/null")}, 0, "", done},
    };
}

TEST(hostile_input, regscript) {
    std::vector<Row> rows = script_rows("ГРЕШКА В КООРДИНАТНИЯ ФАЙЛ. БРОЯЧ НА ЦИФРИ = ", "Регистър - ЗАВЪРШЕН.");
    // The script is created after the last answer that can be refused: it
    // used to be created first, emptying the older one.
    rows.push_back({"a text height of 1e400 leaves an older script as it was",
                    {file("in.txt", register_lines), file("out.scr", "older\r\n")},
                    106,
                    "Runtime error 106: invalid numeric format \"1e400\" (keyboard)",
                    "",
                    {{"out.scr", "older\r\n", "older\r\n"}},
                    {},
                    "1in.txt\nout.scr\n1e400\n2\n"});
    run_table("regscript", "1in.txt\nout.scr\n2\n2\n", rows);
}

TEST(hostile_input, regscript_basic) {
    std::vector<Row> rows = script_rows("ГРЕШКА ВЪВ ФАЙЛА С КООРДИНАТИ. БРОЯЧ НА ЦИФРИ = ", "Регистъра е завършен.");
    rows.push_back({"decimals of 20 nines keep the low 64 bits: 4",
                    {file("in.txt", "1 100 200 10.123456\r\n")},
                    0,
                    "",
                    "",
                    {{"out.scr", "", "0 10.1235\r\nzoom e\r\n"}},
                    {},
                    "in.txt\nout.scr\n2\n99999999999999999999\n"});
    run_table("regscript_basic", "in.txt\nout.scr\n2\n2\n", rows);
}

TEST(hostile_input, dxfpoints) {
    const std::string point = "  0\r\nPOINT\r\n  8\r\n0\r\n 10\r\n1.5\r\n 20\r\n2.5\r\n 30\r\n3.5\r\n";
    const std::string done = "Регистъра е завършен.";
    // 1000 points of ten lines each give a register of 19000 bytes.
    std::string many_points;
    for (int i = 0; i < 1000; ++i) many_points += point;
    const std::uint64_t register_bytes = 1000 * std::string_view("1.500 2.500 3.500\r\n").size();
    run_table(
        "dxfpoints", "in.dxf\nout.txt\n",
        {
            {"random bytes: no group code on the first line, no register",
             {file("in.dxf", binary_bytes(1 << 16))},
             106,
             "Runtime error 106: invalid numeric format",
             "",
             {},
             {"out.txt"}},
            {"a binary DXF is refused before the register is asked for",
             {file("in.dxf", std::string("AutoCAD Binary DXF\r\n\x1a\0", 22) + binary_bytes(1 << 10)),
              file("out.txt", "kept\r\n")},
             22,
             "Runtime error 22: cannot read \"in.dxf\": binary DXF, save it as ASCII DXF",
             "",
             {{"out.txt", "kept\r\n", "kept\r\n"}}},
            {"a NUL byte in a value",
             {file("in.dxf", with_nuls("  0\r\nPOINT\r\n 10\r\n1.5\0\r\n 20\r\n2.5\r\n"))},
             106,
             "Runtime error 106: invalid numeric format \"1.5\\x00\" (in.dxf, line 4)",
             "",
             {{"out.txt", "", ""}}},
            {"a value of 4 MB",
             {file("in.dxf", point + "  0\r\nPOINT\r\n 10\r\n" + long_line(4, '2'))},
             106,
             "Runtime error 106: invalid numeric format \"2222",
             "",
             {{"out.txt", "1.500 2.500 3.500\r\n", ""}}},
            {"a value line of 4 MB between entities",
             {file("in.dxf", "  0\r\nTEXT\r\n  1\r\n" + long_line(4, 'P') + point)},
             0,
             "",
             done,
             {{"out.txt", "1.500 2.500 3.500\r\n", ""}}},
            {"lone CR line ends",
             {file("in.dxf", "  0\rPOINT\r 10\r1.5\r 20\r2.5\r 30\r3.5\r  0\rEOF\r")},
             0,
             "",
             done,
             {{"out.txt", "1.500 2.500 3.500\r\n", ""}}},
            {"byte 26 inside an entity: a 2D point",
             {file("in.dxf", "  0\r\nPOINT\r\n 10\r\n1.5\r\n 20\r\n2.5\r\n\x1a 30\r\n3.5\r\n")},
             0,
             "",
             done,
             {{"out.txt", "1.500 2.500 0.000\r\n", ""}}},
            {"the drawing ends inside an entity",
             {file("in.dxf", point + "  0\r\nPOINT\r\n  8\r\n0\r\n 10\r\n")},
             0,
             "",
             "Пропуснати точки без X или Y :           1",
             {{"out.txt", "1.500 2.500 3.500\r\n", ""}}},
            {"the drawing ends after a group code",
             {file("in.dxf", point + "  0\r\nPOINT\r\n 10\r\n1\r\n 20")},
             0,
             "",
             "Пропуснати точки без X или Y :           1",
             {{"out.txt", "1.500 2.500 3.500\r\n", ""}}},
            {"-0, 20 nines and 1e-400, then 1e400",
             {file("in.dxf",
                   "  0\r\nPOINT\r\n 10\r\n-0\r\n 20\r\n99999999999999999999\r\n 30\r\n1e-400\r\n"
                   "  0\r\nPOINT\r\n 10\r\n1e400\r\n 20\r\n1\r\n")},
             106,
             "Runtime error 106: invalid numeric format \"1e400\" (in.dxf, line 12)",
             "",
             {{"out.txt", "-0.000 100000000000000000000.000 0.000\r\n", ""}}},
            {"the drawing is a folder", {folder("in.dxf")}, 2, "", "HЕ НАМИРА ФАЙЛ in.dxf", {}, {"out.txt"}},
            {"the drawing is unreadable", {unreadable("in.dxf")}, 2, "", "HЕ НАМИРА ФАЙЛ in.dxf", {}, {"out.txt"}},
            {"reading the drawing fails", {read_fails("in.dxf")}, 5, "Runtime error 5: cannot read", "", {}},
            {"the register is a folder",
             {file("in.dxf", point), folder("out.txt")},
             21,
             "Runtime error 21: cannot create \"out.txt\": Is a directory",
             "",
             {}},
            {"the register is a device",
             {file("in.dxf", point), full_device("out.txt")},
             19,
             "Runtime error 19: cannot create \"out.txt\": a device, not a file",
             "",
             {}},
            // The file closed as the run unwinds from the bad value finds
            // no room for its last bytes: that is reported too, after the
            // value, instead of on standard error at the cursor.
            {"a bad value, then no room for the register's last bytes",
             {file("in.dxf", many_points + "  0\r\nPOINT\r\n 10\r\nx\r\n")},
             106,
             "Runtime error 106: invalid numeric format \"x\" (in.dxf, line 10004)\n"
             "dxfpoints: Runtime error 27: cannot write \"out.txt\": File too large",
             "Runtime error 27: cannot write \"out.txt\": File too large",
             {{"out.txt", "1.500 2.500 3.500\r\n", "1.500 2.500 3.500\r"}},
             {},
             {},
             register_bytes - 1},
        });
}

// The rows that the three KML programs share, over numbered lists in
// decimal degrees.
std::vector<Row> list_rows() {
    const std::string document_end = "</kml>\r\n";
    const std::string list = "1 42.5 23.3\r\n2 42.6 23.4\r\n";
    return {
        {"binary list",
         {file("in.txt", binary_bytes(1 << 16))},
         106,
         "Runtime error 106: invalid numeric format",
         "",
         {{"out.kml", "<?xml", document_end}}},
        {"a NUL byte in a number",
         {file("in.txt", with_nuls("1 42.5 23.3\r\n2 42.6\0 23.4\r\n"))},
         106,
         "Runtime error 106: invalid numeric format \"42.6\\x00\" (in.txt, line 2); the list is cut short there",
         "",
         {{"out.kml", "<?xml", document_end}}},
        {"a number of 4 MB",
         {file("in.txt", "1 42.5 23.3\r\n2 42.6 " + long_line(4, '2'))},
         106,
         "Runtime error 106: invalid numeric format \"2222",
         "",
         {{"out.kml", "<?xml", document_end}}},
        {"lone CR line ends",
         {file("in.txt", "1 42.5 23.3\r2 42.6 23.4\r")},
         0,
         "",
         "",
         {{"out.kml", "<?xml", document_end}}},
        {"byte 26 ends the list",
         {file("in.txt",
               "1 42.5 23.3\r\n\x1a"
               "2 42.6 23.4\r\n")},
         0,
         "",
         "",
         {{"out.kml", "<?xml", document_end}}},
        {"-0, 20 nines and 1e-400, then 1e400",
         {file("in.txt", "1 -0 99999999999999999999\r\n2 1e-400 23\r\n3 1e400 5\r\n")},
         106,
         "Runtime error 106: invalid numeric format \"1e400\" (in.txt, line 3); the list is cut short there",
         "",
         {{"out.kml", "<?xml", document_end}}},
        {"the list is a folder", {folder("in.txt")}, 2, "", "HЕ НАМИРА ФАЙЛ in.txt", {}, {"out.kml"}},
        {"the list is unreadable", {unreadable("in.txt")}, 2, "", "HЕ НАМИРА ФАЙЛ in.txt", {}, {"out.kml"}},
        {"reading the list fails",
         {read_fails("in.txt")},
         5,
         "Runtime error 5: cannot read",
         "",
         {{"out.kml", "<?xml", document_end}}},
        {"the document is a folder",
         {file("in.txt", list), folder("out.kml")},
         21,
         "Runtime error 21: cannot create \"out.kml\": Is a directory",
         "",
         {}},
        {"the document is a device",
         {file("in.txt", list), full_device("out.kml")},
         19,
         "Runtime error 19: cannot create \"out.kml\": a device, not a file",
         "",
         {}},
    };
}

TEST(hostile_input, kmlmarks) {
    std::vector<Row> rows = list_rows();
    const std::string list = "1 42.5 23.3\r\n2 42.6 23.4\r\n";
    const std::vector<Row> window_rows = {
        {"binary Go_P.par",
         {file("in.txt", list), file("Go_P.par", binary_bytes(4096))},
         106,
         "Runtime error 106: invalid numeric format",
         "",
         {},
         {"out.kml"}},
        {"1e400 in Go_P.par",
         {file("in.txt", list), file("Go_P.par", "41 1e400 22 29\r\n")},
         106,
         "Runtime error 106: invalid numeric format \"1e400\" (Go_P.par, line 1)",
         "",
         {},
         {"out.kml"}},
        {"Go_P.par ends before the fourth bound",
         {file("in.txt", list), file("Go_P.par", "41 44 22\r\n")},
         106,
         "Runtime error 106: invalid numeric format at the end of the file (Go_P.par",
         "",
         {},
         {"out.kml"}},
        {"byte 26 in Go_P.par before the fourth bound",
         {file("in.txt", list), file("Go_P.par", "41 44 22\x1a 29\r\n")},
         106,
         "Runtime error 106: invalid numeric format at the end of the file (Go_P.par",
         "",
         {},
         {"out.kml"}},
        {"Go_P.par is a folder: the default window",
         {file("in.txt", list), folder("Go_P.par")},
         0,
         "",
         "Брой точки: 2   / 2",
         {{"out.kml", "<?xml", "</kml>\r\n"}}},
        {"reading Go_P.par fails",
         {file("in.txt", list), read_fails("Go_P.par")},
         5,
         "Runtime error 5: cannot read",
         "",
         {},
         {"out.kml"}},
        {"-0 and 1e-400 bounds",
         {file("in.txt", "1 0.5 0.5\r\n2 -0.5 0.5\r\n"), file("Go_P.par", "-0 1 1e-400 1\r\n")},
         0,
         "",
         "Брой точки: 2   / 1",
         {{"out.kml", "<?xml", "</kml>\r\n"}}},
    };
    rows.insert(rows.end(), window_rows.begin(), window_rows.end());
    run_table("kmlmarks", "in.txt\nout.kml\n11", rows);
}

TEST(hostile_input, kmlmarks_basic) {
    run_table("kmlmarks_basic", "in.txt\nout.kml\n1", list_rows());
}

TEST(hostile_input, kmlpath) {
    run_table("kmlpath", "in.txt\nout.kml\n1", list_rows());
}

TEST(hostile_input, stakeout) {
    const std::string heading_end = "   ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~\r\n";
    const std::string question = "? Следваща станция  D/N :";
    run_table("stakeout", "in.txt\nlist.txt\n1\n100\nN",
              {
                  {"binary register",
                   {file("in.txt", binary_bytes(1 << 16))},
                   106,
                   "Runtime error 106: invalid numeric format",
                   "",
                   {{"list.txt", "\r\n", heading_end}}},
                  {"a NUL byte in a token",
                   {file("in.txt", with_nuls("1 2 3 4\r\n5 6\0007 8\r\n"))},
                   106,
                   "Runtime error 106: invalid numeric format \"6\\x007\" (in.txt, line 2)",
                   "",
                   {{"list.txt", "\r\n", heading_end}}},
                  {"a token of 3 MB",
                   {file("in.txt", "1 " + long_line(3, '7') + " 3 4\r\n")},
                   106,
                   "Runtime error 106: invalid numeric format \"7777",
                   "",
                   {{"list.txt", "\r\n", heading_end}}},
                  {"lone CR line ends",
                   {file("in.txt", "1 100 200 10\r2 110 210 11\r3 120 190 12\r")},
                   0,
                   "",
                   question,
                   {{"list.txt", "\r\n", "      3     370.4833        22.361\r\n"}}},
                  {"byte 26 ends the register",
                   {file("in.txt",
                         "1 100 200 10\r\n2 110 210 11\r\n\x1a"
                         "3 120 190 12\r\n")},
                   0,
                   "",
                   question,
                   {{"list.txt", "\r\n", "      2      50.0000        14.142\r\n"}}},
                  {"-0, 20 nines and 1e-400",
                   {file("in.txt", "1 -0 1e-400\r\n2 99999999999999999999 -0\r\n3 1e-400 -0\r\n")},
                   0,
                   "",
                   question,
                   {{"list.txt", "\r\n", heading_end + "      3     400.0000         0.000\r\n"}}},
                  {"a radius of 1e400: the new listing is not created",
                   {file("in.txt", register_lines)},
                   106,
                   "Runtime error 106: invalid numeric format \"1e400\" (keyboard)",
                   "",
                   {},
                   {"list.txt"},
                   "in.txt\nlist.txt\n1\n1e400\nN"},
                  {"a station of 20 nines is beyond 32 bits: error 106, the new listing is not created",
                   {file("in.txt", "65535 100 200\r\n1 100 210\r\n")},
                   106,
                   "Runtime error 106: invalid numeric format \"99999999999999999999\" (keyboard)",
                   "",
                   {},
                   {"list.txt"},
                   "in.txt\nlist.txt\n99999999999999999999\n100\nN"},
                  {"the register is a folder", {folder("in.txt")}, 2, "", "Файла Липсва !", {}, {"list.txt"}},
                  {"the register is unreadable", {unreadable("in.txt")}, 2, "", "Файла Липсва !", {}, {"list.txt"}},
                  {"reading the register fails",
                   {read_fails("in.txt")},
                   5,
                   "Runtime error 5: cannot read",
                   "",
                   {{"list.txt", "\r\n", heading_end}}},
                  {"the listing is a folder",
                   {file("in.txt", register_lines), folder("list.txt")},
                   21,
                   "Runtime error 21: cannot open \"list.txt\": Is a directory",
                   "",
                   {}},
                  {"the listing is unreadable and is never truncated",
                   {file("in.txt", register_lines), unreadable("list.txt")},
                   13,
                   "Runtime error 13: cannot open \"list.txt\": Permission denied",
                   "",
                   {}},
                  {"the listing is a device",
                   {file("in.txt", register_lines), full_device("list.txt")},
                   19,
                   "Runtime error 19: cannot open \"list.txt\": a device, not a file",
                   "",
                   {}},
                  {"the listing is a pipe that nobody reads",
                   {file("in.txt", register_lines), fifo("list.txt")},
                   6,
                   "Runtime error 6: cannot open \"list.txt\": a pipe that nobody reads, not a file",
                   "",
                   {}},
              });
}

// Two stop requests 1 ms apart while regscript writes a large script: the
// second one waits for the way out, which writes the buffered rest of the
// script, so that it ends with a whole line; the run then ends by the
// request. The second request used to end the process at once, with up to
// 256 KB of the script lost and its last line cut.
TEST(hostile_input, two_stop_requests_during_a_large_script) {
    if (testing_support::on_windows) GTEST_SKIP() << "Windows has no signals to send to a program";
    std::string register_text;
    for (int number = 1; number <= 200000; ++number) register_text += std::to_string(number) + " 1000.5 2000.25 100.125\r\n";
    // The run lasts a tenth of a second: should it end before the requests
    // reach it, it runs again.
    for (int attempt = 1;; ++attempt) {
        testing_support::TempFolder folder;
        folder.write("in.txt", register_text);
        folder.write(".keys", "1in.txt\nout.scr\n2\n2\n");
        const auto run = testing_support::run_child(
            testing_support::program_path("regscript"), folder.path(), folder / ".keys", folder / ".screen",
            folder / ".errors", 60, [&](int process_id) {
                // Mid-run: the script has its first bytes.
                const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
                std::error_code not_yet;
                while ((fs::file_size(folder / "out.scr", not_yet) == 0 || not_yet) &&
                       std::chrono::steady_clock::now() < give_up) {
                    std::this_thread::sleep_for(std::chrono::microseconds(100));
                }
                testing_support::request_stop(process_id);
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                testing_support::request_stop(process_id);
            });
        if (run.exit_code == 0 && attempt < 5) continue;
        EXPECT_EQ(run.signal, SIGINT) << run.exit_code;
        EXPECT_EQ(folder.read(".errors"), "regscript: Runtime error 130: stopped by signal SIGINT\n");
        const std::string script = folder.read("out.scr");
        EXPECT_TRUE(script.ends_with("\r\n")) << script.substr(script.size() - std::min<std::size_t>(script.size(), 80));
        EXPECT_FALSE(script.ends_with("zoom e\r\n"));
        break;
    }
}

}  // namespace
