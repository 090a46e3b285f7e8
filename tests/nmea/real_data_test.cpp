// Every real receiver recording replays to its end through nmeadecode, once
// as captured and once with PC clock prefixes added. The expectations are
// derived here from the sentences themselves, split at their commas, not
// from the decoder's reading rules.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <vector>

#include "tests/support/test_support.h"

namespace fs = std::filesystem;
using testing_support::TempFolder;

namespace {

// --- The recording as the decoder sees it --------------------------------

// Lines end at LF, CR LF or a lone CR; only the first 255 characters count.
std::vector<std::string> lines_of(const std::string& content) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < content.size(); ++i) {
        const char c = content[i];
        if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < content.size() && content[i + 1] == '\n') ++i;
            lines.push_back(line.substr(0, 255));
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line.substr(0, 255));
    return lines;
}

// A sentence: its tag and its fields between the tag and the "*" (or the
// line end when there is no checksum).
struct Sentence {
    std::string tag;
    std::vector<std::string> fields;
    std::string prefix;  // the characters before the "$"

    std::string field(std::size_t index) const { return index < fields.size() ? fields[index] : std::string(); }
};

std::optional<Sentence> sentence_of(const std::string& line) {
    const std::size_t dollar = line.find('$');
    if (dollar == std::string::npos) return std::nullopt;
    Sentence sentence;
    sentence.prefix = line.substr(0, dollar);
    sentence.tag = line.substr(dollar + 3, 3);
    const std::size_t start = dollar + 7;
    if (line.size() < start || line[start - 1] != ',') return sentence;
    const std::string body = line.substr(start, line.find('*', start) - start);
    std::size_t from = 0;
    for (;;) {
        const std::size_t comma = body.find(',', from);
        sentence.fields.push_back(body.substr(from, comma - from));
        if (comma == std::string::npos) break;
        from = comma + 1;
    }
    return sentence;
}

// The value of a whole field; 0 when it is empty or not a plain number.
double number(const std::string& text) {
    if (text.empty()) return 0;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    return *end == '\0' ? value : 0;
}

// A right-aligned number in a fixed column.
double column(std::string_view text, std::size_t first, std::size_t count) {
    std::string piece(text.substr(first, count));
    piece.erase(0, piece.find_first_not_of(' '));
    return number(piece);
}

std::string formatted(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// --- What the recording must give ------------------------------------------

struct Fix {
    double hours = 0, minutes = 0, seconds = 0;
    double latitude = 0, longitude = 0;  // unsigned decimal degrees
    char lat_hemisphere = ',', lon_hemisphere = ',';
    double altitude = 0;
    bool has_position = false;
    std::string pc_clock;  // the 13 characters of the line's prefix
};

struct Dilutions {
    double hdop = 0, vdop = 0;
};

// The fix log in the order the records are written: a fix (front part) or
// dilutions (tail).
struct Event {
    std::optional<Fix> fix;
    Dilutions dilutions;
};

// ddmm.mmmm (or dddmm.mmmm) as decimal degrees.
double degrees(const std::string& field, std::size_t degree_digits) {
    if (field.size() < degree_digits) return 0;
    return number(field.substr(0, degree_digits)) + number(field.substr(degree_digits)) / 60;
}

char hemisphere(const std::string& field) {
    return field.empty() ? ',' : field[0];
}

std::optional<Fix> logged_fix(const Sentence& gga) {
    Fix fix;
    const std::string time = gga.field(0);
    if (time.size() >= 6) {
        fix.hours = number(time.substr(0, 2));
        fix.minutes = number(time.substr(2, 2));
        fix.seconds = number(time.substr(4));
    }
    if (fix.hours * 3600 + fix.minutes * 60 + fix.seconds <= 0) return std::nullopt;
    fix.latitude = degrees(gga.field(1), 2);
    fix.lat_hemisphere = hemisphere(gga.field(2));
    fix.longitude = degrees(gga.field(3), 3);
    fix.lon_hemisphere = hemisphere(gga.field(4));
    fix.altitude = number(gga.field(8));
    fix.has_position = !gga.field(1).empty() || !gga.field(3).empty();
    if (gga.prefix.size() >= 15 && gga.prefix[14] == '-') fix.pc_clock = gga.prefix.substr(0, 13);
    return fix;
}

std::vector<Event> expected_events(const std::vector<std::string>& lines) {
    std::vector<Event> events;
    for (const std::string& line : lines) {
        const auto sentence = sentence_of(line);
        if (!sentence) continue;
        if (sentence->tag == "GGA") {
            if (auto fix = logged_fix(*sentence)) events.push_back({fix, {}});
        } else if (sentence->tag == "GSA") {
            events.push_back({std::nullopt, {number(sentence->field(15)), number(sentence->field(16))}});
        }
    }
    return events;
}

// --- Checking the outputs ------------------------------------------------

// Tells whether the current test has failed since it was made, so that a
// walk over the records stops at the first wrong one.
class NewFailure {
public:
    NewFailure() : parts_(count()) {}
    bool operator()() const { return count() > parts_; }

private:
    static int count() { return testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count(); }
    int parts_;
};

// Minutes are read to four decimals: the degrees may differ by 1/600000,
// and the written six or eight decimals round.
constexpr double degree_tolerance = 2.2e-6;

void check_front(std::string_view front, const Fix& fix, bool check_pc_clock) {
    const auto at = [&](std::size_t first, std::size_t count) { return column(front, first, count); };
    if (check_pc_clock) {
        EXPECT_EQ(front.substr(0, 13), fix.pc_clock);
    }
    EXPECT_EQ(at(13, 3), fix.hours);
    EXPECT_EQ(at(16, 3), fix.minutes);
    // The seconds are read with one decimal.
    EXPECT_LE(at(19, 7), fix.seconds + 1e-9);
    EXPECT_GT(at(19, 7), fix.seconds - 0.1);
    EXPECT_NEAR(at(26, 12), fix.latitude, degree_tolerance);
    EXPECT_EQ(front[39], fix.lat_hemisphere);
    EXPECT_NEAR(at(40, 13), fix.longitude, degree_tolerance);
    EXPECT_EQ(front[54], fix.lon_hemisphere);
    EXPECT_EQ(front.substr(55, 9), formatted("%9.2f", fix.altitude));
}

// Walks the fix log record by record, in the order of the sentences.
void check_fix_log(const std::string& log, const std::vector<Event>& events, bool check_pc_clock) {
    std::size_t at = 0;
    for (int header = 0; header < 3; ++header) at = log.find("\r\n", at) + 2;
    std::size_t fixes = 0, tails = 0;
    const NewFailure failed;
    for (const Event& event : events) {
        if (failed()) return;
        SCOPED_TRACE("fix log byte " + std::to_string(at));
        if (event.fix) {
            ASSERT_LE(at + 64, log.size());
            check_front(std::string_view(log).substr(at, 64), *event.fix, check_pc_clock);
            at += 64;
            ++fixes;
            continue;
        }
        ASSERT_LE(at + 12, log.size());
        EXPECT_EQ(log.substr(at, 10), formatted("%5.1f", event.dilutions.hdop) + formatted("%5.1f", event.dilutions.vdop));
        at += 10;
        if (log.compare(at, 2, "\r\n") != 0) {
            // The three deviations, each below 5 m.
            for (int k = 0; k < 3; ++k, at += 8) {
                const double deviation = column(log, at, 8);
                EXPECT_TRUE(deviation >= 0 && deviation < 5) << log.substr(at, 8);
            }
        }
        ASSERT_EQ(log.compare(at, 2, "\r\n"), 0) << "a record ends with CR LF";
        at += 2;
        ++tails;
    }
    EXPECT_EQ(at, log.size()) << "records beyond the sentences: " << fixes << " front parts, " << tails << " tails";
}

void check_track(const std::string& track, const std::vector<Event>& events) {
    const std::string open = "<coordinates>\r\n\r\n", close = "\r\n</coordinates>";
    const std::size_t first = track.find(open) + open.size();
    const std::size_t last = track.find(close);
    ASSERT_LE(first, last);
    const std::vector<std::string> points = lines_of(track.substr(first, last - first));
    std::size_t index = 0;
    const NewFailure failed;
    for (const Event& event : events) {
        if (failed()) return;
        if (!event.fix || !event.fix->has_position) continue;
        ASSERT_LT(index, points.size()) << "too few track points";
        const Fix& fix = *event.fix;
        const std::string& point = points[index++];
        SCOPED_TRACE("track point " + point);
        const std::size_t comma = point.find(',');
        ASSERT_NE(comma, std::string::npos);
        EXPECT_NEAR(number(point.substr(0, comma)), fix.lon_hemisphere == 'W' ? -fix.longitude : fix.longitude,
                    degree_tolerance);
        EXPECT_NEAR(number(point.substr(comma + 1)), fix.lat_hemisphere == 'S' ? -fix.latitude : fix.latitude,
                    degree_tolerance);
    }
    EXPECT_EQ(index, points.size()) << "more track points than fixes with a position";
}

// A PC clock prefix for every line, a little later each time.
std::string with_pc_clock(const std::vector<std::string>& lines) {
    std::string recording;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::size_t milliseconds = 3600000 + i * 137;
        char prefix[32];
        std::snprintf(prefix, sizeof prefix, "%3zu%3zu%7.3f -", milliseconds / 3600000 % 24, milliseconds / 60000 % 60,
                      static_cast<double>(milliseconds % 60000) / 1000);
        recording += prefix + lines[i] + "\r\n";
    }
    return recording;
}

std::vector<fs::path> recordings(const fs::path& testdata) {
    std::vector<fs::path> logs;
    for (const auto& entry : fs::directory_iterator(testdata / "nmea")) {
        if (entry.path().extension() == ".log") logs.push_back(entry.path());
    }
    std::sort(logs.begin(), logs.end());
    return logs;
}

TEST(real_data, every_recording_gives_its_fixes_in_the_fix_log_and_the_track) {
    REQUIRE_TESTDATA(testdata);
    const auto logs = recordings(testdata);
    ASSERT_FALSE(logs.empty());
    for (const fs::path& log : logs) {
        const std::string captured = testing_support::read_file(log);
        const std::vector<std::string> lines = lines_of(captured);
        for (const bool prefixed : {false, true}) {
            SCOPED_TRACE(log.filename().string() + (prefixed ? " with PC clock prefixes" : " as captured"));
            TempFolder folder;
            folder.write("REC_COM.txt", prefixed ? with_pc_clock(lines) : captured);
            const auto run = testing_support::run_program("nmeadecode", folder.path(), "0\n\n");
            ASSERT_EQ(run.exit_code, 0) << run.errors;

            const std::vector<Event> events = expected_events(prefixed ? lines_of(with_pc_clock(lines)) : lines);
            check_fix_log(folder.read("GPS_CORE.txt"), events, prefixed);
            check_track(folder.read("GPS_CORE.kml"), events);
            const std::string xmllint = "xmllint --noout " + (folder / "GPS_CORE.kml").string() + " 2>&1";
            EXPECT_EQ(std::system(xmllint.c_str()), 0) << "GPS_CORE.kml is not well-formed XML";
        }
    }
}

}  // namespace
