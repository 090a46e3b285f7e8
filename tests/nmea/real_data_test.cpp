// Every real receiver recording replays to its end through nmeadecode, once
// as captured and once with PC clock prefixes added. The expectations are
// derived here from the sentences themselves, split at their commas, not
// from the decoder's reading rules.
#include <gtest/gtest.h>

#include <algorithm>
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

struct Dilutions {
    double hdop = 0, vdop = 0;
};

// A logged fix: one line of the fix log, and a track point when it has a
// position.
struct Fix {
    double hours = 0, minutes = 0, seconds = 0;
    double latitude = 0, longitude = 0;  // unsigned decimal degrees
    char lat_hemisphere = ',', lon_hemisphere = ',';
    double altitude = 0;
    bool has_position = false;  // a quality, both coordinates and their letters
    std::string pc_clock;       // the 13 characters of the line's prefix
    std::optional<Dilutions> dilutions;  // from the first GSA after it
};

// ddmm.mmmm (or dddmm.mmmm) as decimal degrees; the minutes count to four
// decimals, as the format has them.
double degrees(const std::string& field, std::size_t degree_digits) {
    if (field.size() < degree_digits) return 0;
    return number(field.substr(0, degree_digits)) + number(field.substr(degree_digits, 7)) / 60;
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
    const std::string quality = gga.field(5);
    const bool has_quality = !quality.empty() && quality[0] >= '1' && quality[0] <= '9';
    fix.has_position = has_quality && !gga.field(1).empty() && !gga.field(2).empty() && !gga.field(3).empty() &&
                       !gga.field(4).empty();
    if (gga.prefix.size() >= 15 && gga.prefix[14] == '-') fix.pc_clock = gga.prefix.substr(0, 13);
    return fix;
}

// Every logged fix in order; the first GSA after a fix (before the next
// one) gives it its dilutions, any other GSA gives nothing.
std::vector<Fix> expected_fixes(const std::vector<std::string>& lines) {
    std::vector<Fix> fixes;
    bool waiting = false;
    for (const std::string& line : lines) {
        const auto sentence = sentence_of(line);
        if (!sentence) continue;
        if (sentence->tag == "GGA") {
            if (auto fix = logged_fix(*sentence)) {
                fixes.push_back(*fix);
                waiting = true;
            }
        } else if (sentence->tag == "GSA" && waiting) {
            fixes.back().dilutions = Dilutions{number(sentence->field(15)), number(sentence->field(16))};
            waiting = false;
        }
    }
    return fixes;
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

// The written six or eight decimals round.
constexpr double degree_tolerance = 1e-6;

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

// The three header lines, then one line per logged fix, every one ended by
// CR LF: the front part, and the dilutions (and deviations) of its GSA.
void check_fix_log(const std::string& log, const std::vector<Fix>& fixes, bool check_pc_clock) {
    std::vector<std::string_view> lines;
    for (std::size_t at = 0; at < log.size();) {
        const std::size_t end = log.find("\r\n", at);
        ASSERT_NE(end, std::string::npos) << "the last line has no CR LF";
        lines.push_back(std::string_view(log).substr(at, end - at));
        at = end + 2;
    }
    ASSERT_EQ(lines.size(), 3 + fixes.size()) << "three header lines and one line per logged fix";
    const NewFailure failed;
    for (std::size_t i = 0; i < fixes.size() && !failed(); ++i) {
        const std::string_view line = lines[3 + i];
        const Fix& fix = fixes[i];
        SCOPED_TRACE("fix log line " + std::to_string(4 + i) + ": " + std::string(line));
        ASSERT_EQ(line.find_first_of("\r\n"), std::string_view::npos);
        ASSERT_GE(line.size(), 64u);
        check_front(line.substr(0, 64), fix, check_pc_clock);
        if (!fix.dilutions) {
            EXPECT_EQ(line.size(), 64u) << "a fix without a GSA ends after its altitude";
            continue;
        }
        ASSERT_TRUE(line.size() == 74 || line.size() == 98);
        EXPECT_EQ(line.substr(64, 10), formatted("%5.1f", fix.dilutions->hdop) + formatted("%5.1f", fix.dilutions->vdop));
        for (std::size_t at = 74; at < line.size(); at += 8) {
            const double deviation = column(line, at, 8);
            EXPECT_TRUE(deviation >= 0 && deviation < 5) << line.substr(at, 8);
        }
    }
}

void check_track(const std::string& track, const std::vector<Fix>& fixes) {
    const std::string open = "<coordinates>\r\n\r\n", close = "\r\n</coordinates>";
    const std::size_t first = track.find(open) + open.size();
    const std::size_t last = track.find(close);
    ASSERT_LE(first, last);
    const std::vector<std::string> points = lines_of(track.substr(first, last - first));
    std::size_t index = 0;
    const NewFailure failed;
    for (const Fix& fix : fixes) {
        if (failed()) return;
        if (!fix.has_position) continue;
        ASSERT_LT(index, points.size()) << "too few track points";
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

            const std::vector<Fix> fixes = expected_fixes(prefixed ? lines_of(with_pc_clock(lines)) : lines);
            check_fix_log(folder.read("GPS_CORE.txt"), fixes, prefixed);
            check_track(folder.read("GPS_CORE.kml"), fixes);
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

// A satellite id as an unsigned 16-bit number, and as its cell.
double id_value(const std::string& field) {
    const double value = number(field);
    return value > 0 && value == std::floor(value) ? std::fmod(value, 65536) : 0;
}
std::string id_text(const std::string& field) {
    return formatted("%2.0f", id_value(field));
}

// The latest GSV group of a talker: its count and the ids of its slots
// (empty when no message of the group filled the slot).
struct TalkerGroup {
    std::string talker;
    int in_view = 0;
    std::string ids[12];
    std::size_t heard_at = 0, first_heard = 0;
};

// The talkers heard within the last 5 GGA sentences, GP, GL, GA, GB, BD,
// GQ, GI first.
std::vector<const TalkerGroup*> in_view(const std::vector<TalkerGroup>& groups, std::size_t gga_sentences) {
    const auto rank = [](const TalkerGroup* g) {
        const std::string order[] = {"GP", "GL", "GA", "GB", "BD", "GQ", "GI"};
        return std::pair(std::find(std::begin(order), std::end(order), g->talker) - std::begin(order), g->first_heard);
    };
    std::vector<const TalkerGroup*> heard;
    for (const TalkerGroup& g : groups) {
        if (gga_sentences - g.heard_at < 5) heard.push_back(&g);
    }
    std::sort(heard.begin(), heard.end(), [&](const auto* a, const auto* b) { return rank(a) < rank(b); });
    return heard;
}

FinalCells expected_cells(const std::vector<std::string>& lines) {
    FinalCells cells;
    std::vector<TalkerGroup> groups;
    std::size_t gga_sentences = 0;
    std::string table_talker;  // whose blocks the table holds; "*" for all
    for (const std::string& line : lines) {
        const auto sentence = sentence_of(line);
        if (!sentence) continue;
        const Sentence& s = *sentence;
        if (s.tag == "GGA") ++gga_sentences;
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
            auto group = std::find_if(groups.begin(), groups.end(), [&](const auto& g) { return g.talker == s.talker; });
            if (group == groups.end()) group = groups.insert(groups.end(), {s.talker, 0, {}, 0, groups.size()});
            group->in_view = count > 0 && count == std::floor(count) ? static_cast<int>(std::fmod(count, 256)) : 0;
            group->heard_at = gga_sentences;
            for (int slot = message == 1 ? 0 : 4 * (message - 1); slot < 12; ++slot) group->ids[slot].clear();
            for (int j = 0; j < 4 && group->in_view > 4 * (message - 1) + j; ++j) {
                group->ids[4 * (message - 1) + j] = s.field(3 + 4 * j);
            }
            const auto talkers = in_view(groups, gga_sentences);
            if (talkers.size() > 1) {
                // One table of all: no empty slot, no id twice in a group.
                int total = 0;
                std::size_t slot = 0;
                for (std::string& id : cells.ids) id = "  ";
                for (const TalkerGroup* g : talkers) {
                    total += g->in_view;
                    for (int k = 0; k < std::min(g->in_view, 12); ++k) {
                        const bool repeated = std::any_of(g->ids, g->ids + k, [&](const std::string& before) {
                            return !before.empty() && id_value(before) == id_value(g->ids[k]);
                        });
                        if (!g->ids[k].empty() && id_value(g->ids[k]) != 0 && !repeated && slot < 12) {
                            cells.ids[slot++] = id_text(g->ids[k]);
                        }
                    }
                }
                cells.visible = formatted("%2.0f", total);
                table_talker = "*";
                continue;
            }
            // One talker: its message's block, on a table cleared of others.
            if (!table_talker.empty() && table_talker != s.talker) {
                for (std::string& id : cells.ids) id = "  ";
            }
            table_talker = s.talker;
            cells.visible = formatted("%2.0f", group->in_view);
            for (int j = 0; j < 4; ++j) {
                const std::string& id = group->ids[4 * (message - 1) + j];
                cells.ids[4 * (message - 1) + j] = group->in_view > 4 * (message - 1) + j ? id_text(id) : "  ";
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
        EXPECT_EQ(cell(27, 17, cells.visible.size()), cells.visible) << "satellites in view";
        for (int k = 0; k < 12; ++k) {
            EXPECT_EQ(cell(27 + 4 * k, 18, cells.ids[k].size()), cells.ids[k]) << "satellite slot " << k + 1;
        }
    }
}

}  // namespace
