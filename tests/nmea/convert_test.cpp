// logconvert turns the outside logger's four-line groups into recording
// lines; a recording made that way replays to the same track as the plain
// sentences it was made from.
#include <gtest/gtest.h>

#include "tests/nmea/recordings.h"
#include "tests/support/test_support.h"

namespace {

using namespace nmea_testing;
using testing_support::TempFolder;

struct Converted {
    std::string log;        // "NMEA_Wsp.txt"
    std::string recording;  // the "REC_COM.txt" it must give
};

// Every line becomes a group: a time line with the reception time at
// characters 15-26, the line itself, and two lines the converter passes over.
Converted as_log(const std::vector<std::string>& lines) {
    Converted converted;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const unsigned hours = 23, minutes = static_cast<unsigned>(i / 60 % 60), seconds = static_cast<unsigned>(i % 60);
        const unsigned thousandths = static_cast<unsigned>(i * 7 % 1000);
        char time_line[40], prefix[20];
        std::snprintf(time_line, sizeof time_line, "  08.12.2026  %02u:%02u:%02u.%03u", hours, minutes, seconds, thousandths);
        std::snprintf(prefix, sizeof prefix, "%3u%3u%7.3f -", hours, minutes, seconds + thousandths / 1000.0);
        converted.log += std::string(time_line) + "\r\n" + lines[i] + "\r\n  RX COM1 4800\r\n\r\n";
        converted.recording += prefix + lines[i] + "\r\n";
    }
    return converted;
}

// Converts the log of the plain recording, replays both, and compares.
void check_round_trip(const std::string& plain) {
    const Converted converted = as_log(lines_of(plain));
    TempFolder via_log, direct;
    via_log.write("NMEA_Wsp.txt", converted.log);
    const auto conversion = testing_support::run_program("logconvert", via_log.path(), "x");
    ASSERT_EQ(conversion.exit_code, 0) << conversion.errors;
    EXPECT_TRUE(via_log.read("REC_COM.txt") == converted.recording) << "the recording lines";

    direct.write("REC_COM.txt", plain);
    for (const TempFolder* folder : {&via_log, &direct}) {
        const auto replay = testing_support::run_program("nmeadecode", folder->path(), "0\n\n");
        ASSERT_EQ(replay.exit_code, 0) << replay.errors;
    }
    const std::string track = direct.read("GPS_CORE.kml");
    EXPECT_EQ(via_log.read("GPS_CORE.kml"), track);
    EXPECT_NE(track.find("\r\n\r\n</coordinates>"), std::string::npos);
}

TEST(logconvert, the_bundled_recording_goes_round_the_log_to_the_same_track) {
    std::string plain;
    for (const std::string& line : lines_of(testing_support::read_file(testing_support::source_path("examples/REC_COM.txt")))) {
        plain += line.substr(15) + "\r\n";
    }
    check_round_trip(plain);
}

TEST(logconvert, real_recordings_go_round_the_log_to_the_same_track) {
    REQUIRE_TESTDATA(testdata);
    for (const auto& log : recordings(testdata)) {
        SCOPED_TRACE(log.filename().string());
        check_round_trip(testing_support::read_file(log));
    }
}

}  // namespace
