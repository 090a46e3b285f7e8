// Every real receiver recording replays to its end through nmeadecode, once
// as captured and once with PC clock prefixes added. The expectations are
// derived here from the sentences themselves, split at their commas, not
// from the decoder's reading rules.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <vector>

#include "tests/nmea/recordings.h"
#include "tests/support/test_support.h"

namespace fs = std::filesystem;
using namespace nmea_testing;
using testing_support::TempFolder;

namespace {

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

// xmllint reads every track back; a Windows build without it says so once.
bool xmllint_at_hand() {
    static const bool found = [] {
        if (!testing_support::on_windows || testing_support::command_found("xmllint")) return true;
        std::printf("xmllint not found: the tracks are not read back as XML\n");
        return false;
    }();
    return found;
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
            if (xmllint_at_hand()) {
                const std::string xmllint =
                    "xmllint --noout " + testing_support::shell_quoted((folder / "GPS_CORE.kml").string()) + " 2>&1";
                EXPECT_EQ(std::system(xmllint.c_str()), 0) << "GPS_CORE.kml is not well-formed XML";
            }
        }
    }
}

// --- The dashboard after the last line ---------------------------------

// The cells that the last RMC, VTG, ZDA, GSV and GSA sentences leave, as the
// frame shows them when no sentence wrote them.
struct FinalCells {
    std::string speed = "     ", heading = "     ";
    std::string day = "  ", month = "  ", year = "    ";
    std::string zone_hours = "  ", zone_minutes = "  ";
    std::string visible = "  ";
    std::string ids[12] = {"  ", "  ", "  ", "  ", "  ", "  ", "  ", "  ", "  ", "  ", "  ", "  "};
};

// A satellite id as an unsigned 16-bit cell.
std::string id_text(const std::string& field) {
    const double value = number(field);
    return formatted("%2.0f", value > 0 && value == std::floor(value) ? std::fmod(value, 65536) : 0);
}

FinalCells expected_cells(const std::vector<std::string>& lines) {
    FinalCells cells;
    for (const std::string& line : lines) {
        const auto sentence = sentence_of(line);
        if (!sentence) continue;
        const Sentence& s = *sentence;
        if (s.tag == "RMC") {
            cells.speed = formatted("%5.1f", number(s.field(6)) * 1.852 / 3.6);
            cells.heading = formatted("%5.1f", number(s.field(7)));
            const std::string date = s.field(8);
            cells.day = formatted("%2.0f", number(date.substr(0, 2)));
            cells.month = formatted("%2.0f", number(date.substr(std::min<std::size_t>(2, date.size()), 2)));
            cells.year = formatted("%4.0f", number(date.substr(std::min<std::size_t>(4, date.size()), 2)));
        } else if (s.tag == "VTG") {
            cells.heading = formatted("%5.1f", number(s.field(0)));
            cells.speed = formatted("%5.1f", number(s.field(6)) / 3.6);
        } else if (s.tag == "ZDA") {
            cells.day = formatted("%2.0f", number(s.field(1)));
            cells.month = formatted("%2.0f", number(s.field(2)));
            cells.year = formatted("%4.0f", number(s.field(3)));
            cells.zone_hours = formatted("%2.0f", number(s.field(4)));
            cells.zone_minutes = formatted("%2.0f", number(s.field(5)));
        } else if (s.tag == "GSV") {
            const int message = s.field(1).empty() ? 0 : s.field(1)[0] - '0';
            if (message < 1 || message > 3) continue;
            const double count = number(s.field(2));
            const double in_view = count > 0 && count == std::floor(count) ? std::fmod(count, 256) : 0;
            cells.visible = formatted("%2.0f", in_view);
            for (int j = 0; j < 4; ++j) {
                const int slot = 4 * (message - 1) + j;
                cells.ids[slot] = in_view > slot ? id_text(s.field(3 + 4 * j)) : "  ";
            }
        } else if (s.tag == "GSA") {
            for (int k = 0; k < 12; ++k) {
                if (number(s.field(2 + k)) != 0) cells.ids[k] = id_text(s.field(2 + k));
            }
        }
    }
    return cells;
}

// The final screen as 25 rows of 80 characters.
std::vector<std::string> screen_rows(const std::string& screen) {
    std::vector<std::string> rows = lines_of(screen);
    rows.resize(25);
    for (std::string& row : rows) row.resize(80, ' ');
    return rows;
}

TEST(real_data, the_last_sentences_of_each_kind_stay_on_the_dashboard) {
    REQUIRE_TESTDATA(testdata);
    for (const fs::path& log : recordings(testdata)) {
        SCOPED_TRACE(log.filename().string());
        TempFolder folder;
        const std::string captured = testing_support::read_file(log);
        folder.write("REC_COM.txt", captured);
        const auto run = testing_support::run_program("nmeadecode", folder.path(), "0\n\n");
        ASSERT_EQ(run.exit_code, 0) << run.errors;

        const FinalCells cells = expected_cells(lines_of(captured));
        const std::vector<std::string> rows = screen_rows(run.screen);
        const auto cell = [&](int column, int row, std::size_t count) {
            return rows[static_cast<std::size_t>(row - 1)].substr(static_cast<std::size_t>(column - 1), count);
        };
        EXPECT_EQ(cell(26, 13, 5), cells.speed) << "speed";
        EXPECT_EQ(cell(26, 14, 5), cells.heading) << "heading";
        EXPECT_EQ(cell(26, 4, 2), cells.day) << "day";
        EXPECT_EQ(cell(29, 4, 2), cells.month) << "month";
        EXPECT_EQ(cell(33, 4, 4), cells.year) << "year";
        EXPECT_EQ(cell(60, 5, 2), cells.zone_hours) << "zone hours";
        EXPECT_EQ(cell(63, 5, 2), cells.zone_minutes) << "zone minutes";
        EXPECT_EQ(cell(27, 17, 2), cells.visible) << "satellites in view";
        for (int k = 0; k < 12; ++k) {
            EXPECT_EQ(cell(27 + 4 * k, 18, cells.ids[k].size()), cells.ids[k]) << "satellite slot " << k + 1;
        }
    }
}

}  // namespace
