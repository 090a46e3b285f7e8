// Every document the KML programs write is read back by independent XML
// readers: xmllint (well-formed, then names and coordinates through XPath)
// and, where it is installed, GDAL's ogrinfo. The lists are composed here
// from known points in decimal degrees, written in the chosen notation, so
// that what is read back can be held against the input, not against the
// programs' own writer.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "common/cp1251.h"
#include "common/program.h"
#include "common/scripted_console.h"
#include "kml/programs.h"
#include "tests/support/test_support.h"
#include "tests/support/conversions.h"

namespace fs = std::filesystem;
using testing_support::TempFolder;

namespace {

struct Point {
    double latitude = 0;
    double longitude = 0;
    std::string name;  // as the document must show it, UTF-8
};

// --- Running outside readers --------------------------------------------------

std::string quoted(const std::string& text) {
    return testing_support::shell_quoted(text);
}

// Error output thrown away.
const std::string no_errors = std::string(" 2>") + testing_support::null_device;

// Standard output of a shell command; `status` gets its exit status.
std::string output_of(const std::string& command, int& status) {
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        status = -1;
        return output;
    }
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
    status = ::pclose(pipe);
    return output;
}

bool on_path(const char* program) {
    return testing_support::command_found(program);
}

// xmllint's serialisation of a text: the five entities and character
// references back to their characters.
std::string unescaped(std::string_view text) {
    std::string out;
    while (!text.empty()) {
        if (text.front() != '&') {
            out += text.front();
            text.remove_prefix(1);
            continue;
        }
        const std::size_t end = text.find(';');
        const std::string_view entity = text.substr(1, end - 1);
        text.remove_prefix(end + 1);
        if (entity == "amp") out += '&';
        else if (entity == "lt") out += '<';
        else if (entity == "gt") out += '>';
        else if (entity == "quot") out += '"';
        else if (entity == "apos") out += '\'';
        else ADD_FAILURE() << "unexpected entity &" << entity << ";";
    }
    return out;
}

std::vector<std::string> xmllint_names(const fs::path& document) {
    int status = 0;
    const std::string listing = output_of(
        "xmllint --xpath \"//*[local-name()='Placemark']/*[local-name()='name']\" " + quoted(document.string()) + no_errors,
        status);
    std::vector<std::string> names;
    std::istringstream lines(listing);
    for (std::string line; std::getline(lines, line);) {
        if (line == "<name/>") {
            names.emplace_back();
        } else if (line.starts_with("<name>") && line.ends_with("</name>")) {
            names.push_back(unescaped(std::string_view(line).substr(6, line.size() - 13)));
        } else {
            ADD_FAILURE() << "unexpected line from xmllint: " << line;
        }
    }
    return names;
}

// The coordinate tuples of every coordinates element, in document order.
std::vector<std::vector<double>> xmllint_coordinates(const fs::path& document) {
    int status = 0;
    const std::string text = output_of(
        "xmllint --xpath \"//*[local-name()='coordinates']/text()\" " + quoted(document.string()) + no_errors,
        status);
    std::vector<std::vector<double>> tuples;
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        std::vector<double>& tuple = tuples.emplace_back();
        std::istringstream parts(word);
        for (std::string part; std::getline(parts, part, ',');) tuple.push_back(std::strtod(part.c_str(), nullptr));
    }
    return tuples;
}

// ogrinfo's features: names ("Name (String) = ...") and the coordinates of
// "POINT Z (lon lat 0)" or "LINESTRING (lon lat,lon lat)".
struct OgrFeatures {
    std::vector<std::string> names;
    std::vector<std::vector<double>> coordinates;
};

OgrFeatures ogrinfo_features(const fs::path& document) {
    int status = 0;
    const std::string listing = output_of("ogrinfo -ro -al -q " + quoted(document.string()) + " 2>&1", status);
    EXPECT_EQ(status, 0) << listing;
    OgrFeatures features;
    std::istringstream lines(listing);
    for (std::string line; std::getline(lines, line);) {
        constexpr std::string_view name_field = "  Name (String) = ";
        if (line.starts_with(name_field)) {
            features.names.push_back(line.substr(name_field.size()));
            continue;
        }
        const std::size_t open = line.find('(');
        if (!(line.starts_with("  POINT") || line.starts_with("  LINESTRING")) || open == std::string::npos) continue;
        std::string inside = line.substr(open + 1, line.rfind(')') - open - 1);
        std::istringstream vertices(inside);
        for (std::string vertex; std::getline(vertices, vertex, ',');) {
            std::vector<double>& tuple = features.coordinates.emplace_back();
            std::istringstream numbers(vertex);
            for (double value; numbers >> value;) tuple.push_back(value);
        }
    }
    return features;
}

// --- Composing lists ------------------------------------------------------------

// Points all over the globe, with seven decimals; the first ones lie less
// than a degree south or west of zero, where the degrees are written -0.
std::vector<Point> sample_points(int count) {
    static const char* const names[] = {
        "T1", "Sofia centre", "A&B <c> \"q\" 'a'", "Пловдив № 3", "corner B  ", "x < y > z",
    };
    static const double near_zero[][2] = {{-0.2298500, -78.5249500}, {51.4778000, -0.0014861}, {-0.9999999, -0.0000001}};
    std::vector<Point> points;
    for (int i = 0; i < count; ++i) {
        Point& p = points.emplace_back();
        p.latitude = std::round((-85 + std::fmod(i * 37.1234567, 170.0)) * 1e7) / 1e7;
        p.longitude = std::round((-179 + std::fmod(i * 91.7654321, 358.0)) * 1e7) / 1e7;
        if (i < static_cast<int>(std::size(near_zero))) {
            p.latitude = near_zero[i][0];
            p.longitude = near_zero[i][1];
        }
        p.name = names[i % std::size(names)];
    }
    return points;
}

// An angle in notation 1, 2 or 3, degrees first, as surveyors write it: the
// sign on the degrees (-0 too), minutes and seconds without one.
std::string angle_text(double value, char notation) {
    char text[64];
    if (notation == '1') {
        std::snprintf(text, sizeof text, "%.7f", value);
        return text;
    }
    const char* const sign = value < 0 ? "-" : "";
    const double degrees = std::floor(std::fabs(value));
    const double minutes = (std::fabs(value) - degrees) * 60;
    if (notation == '2') {
        std::snprintf(text, sizeof text, "%s%.0f %.9f", sign, degrees, minutes);
        return text;
    }
    const double whole_minutes = std::floor(minutes);
    std::snprintf(text, sizeof text, "%s%.0f %.0f %.7f", sign, degrees, whole_minutes, (minutes - whole_minutes) * 60);
    return text;
}

// Names of the UTF-8 table stay UTF-8 in even records and go into the list
// as Windows-1251 in odd ones.
std::string list_name(const Point& point, int index) {
    return index % 2 == 0 ? point.name : common::utf8_to_cp1251(point.name);
}

std::string list_text(const std::vector<Point>& points, char notation, char order) {
    std::string text;
    for (int i = 0; i < static_cast<int>(points.size()); ++i) {
        const Point& p = points[i];
        const bool latitude_first = order == '1' || order == '3';
        if (order <= '2') text += std::to_string(i + 1) + " ";
        text += angle_text(latitude_first ? p.latitude : p.longitude, notation) + "\t";
        text += angle_text(latitude_first ? p.longitude : p.latitude, notation);
        if (order >= '3') text += " " + list_name(p, i);
        text += "\r\n";
    }
    return text;
}

// The names the document must show: the point number, or the rest of the
// line with the blank before it.
std::vector<std::string> expected_names(const std::vector<Point>& points, char order) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < points.size(); ++i) {
        names.push_back(order <= '2' ? std::to_string(i + 1) : " " + points[i].name);
    }
    return names;
}

// --- Checks -------------------------------------------------------------------------

void expect_coordinates(const std::vector<std::vector<double>>& tuples, const std::vector<Point>& points,
                        std::size_t size) {
    ASSERT_EQ(tuples.size(), points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        SCOPED_TRACE("point " + std::to_string(i + 1));
        ASSERT_EQ(tuples[i].size(), size);
        EXPECT_NEAR(tuples[i][0], points[i].longitude, 1e-6);
        EXPECT_NEAR(tuples[i][1], points[i].latitude, 1e-6);
        if (size == 3) {
            EXPECT_EQ(tuples[i][2], 0);
        }
    }
}

enum class Kind { placemarks, path };

// Reads a document back with every reader at hand and holds it against the
// points (the names only for placemarks).
void check_document(const fs::path& document, Kind kind, const std::vector<Point>& points,
                    const std::vector<std::string>& names) {
    int status = 0;
    const std::string complaints = output_of("xmllint --noout " + quoted(document.string()) + " 2>&1", status);
    ASSERT_EQ(status, 0) << complaints;
    const std::size_t tuple_size = kind == Kind::placemarks ? 3 : 2;
    expect_coordinates(xmllint_coordinates(document), points, tuple_size);
    if (kind == Kind::placemarks) {
        EXPECT_EQ(xmllint_names(document), names);
    }

    if (!on_path("ogrinfo") || points.empty()) return;
    const OgrFeatures features = ogrinfo_features(document);
    expect_coordinates(features.coordinates, points, tuple_size);
    if (kind == Kind::placemarks) {
        EXPECT_EQ(features.names, names);
    }
}

struct Program {
    const char* name;
    common::ProgramMain main;
    Kind kind;
    bool asks_field_order;
};

constexpr Program kmlmarks{"kmlmarks", kml::run_kmlmarks, Kind::placemarks, true};
constexpr Program kmlmarks_basic{"kmlmarks_basic", kml::run_kmlmarks_basic, Kind::placemarks, false};
constexpr Program kmlpath{"kmlpath", kml::run_kmlpath, Kind::path, false};

// The menu keys: the notation and, where the program asks for it, the order.
std::string answers(const Program& program, char notation, char order) {
    return program.asks_field_order ? std::string{notation, order} : std::string{notation};
}

// Runs a program on the list in a fresh folder; returns the exit code and
// leaves the document as "out.kml".
int convert(const Program& program, const TempFolder& folder, const std::string& list, const std::string& keys,
            std::string* report = nullptr) {
    folder.write("list.txt", list);
    // A window over the whole globe, so that kmlmarks writes every point.
    folder.write("Go_P.par", "-90 90 -180 180\r\n");
    common::ScriptedConsole console("list.txt\nout.kml\n" + keys + "\n");
    return common::run_on_console(console, {program.name, program.main}, folder.path(), report);
}

class DocumentCheck : public testing::Test {
protected:
    void SetUp() override {
        if (!on_path("xmllint")) GTEST_SKIP() << "xmllint not found (package libxml2-utils): documents not checked";
        static const bool said = !on_path("ogrinfo") &&
                                 std::printf("ogrinfo not found (package gdal-bin): documents checked with xmllint only\n") > 0;
        (void)said;
    }
};

TEST_F(DocumentCheck, every_notation_and_field_order_reads_back) {
    const std::vector<Point> points = sample_points(40);
    for (const Program& program : {kmlmarks, kmlmarks_basic, kmlpath}) {
        const std::string orders = program.asks_field_order ? "1234" : "1";
        for (const char notation : std::string("123")) {
            for (const char order : orders) {
                SCOPED_TRACE(std::string(program.name) + ", notation " + notation + ", order " + order);
                TempFolder folder;
                ASSERT_EQ(convert(program, folder, list_text(points, notation, order), answers(program, notation, order)),
                          0);
                check_document(folder / "out.kml", program.kind, points, expected_names(points, order));
            }
        }
    }
}

TEST_F(DocumentCheck, a_list_cut_short_by_a_bad_token_leaves_a_whole_document) {
    const std::vector<Point> points = sample_points(5);
    const std::vector<Point> before(points.begin(), points.begin() + 3);
    for (const Program& program : {kmlmarks, kmlmarks_basic, kmlpath}) {
        SCOPED_TRACE(program.name);
        TempFolder folder;
        const std::string list = list_text(before, '1', '1') + "4 42,5 23.3\r\n" + list_text(points, '1', '1');
        std::string report;
        EXPECT_EQ(convert(program, folder, list, answers(program, '1', '1'), &report), 106);
        EXPECT_EQ(report,
                  "Runtime error 106: invalid numeric format \"42,5\" (list.txt, line 4); the list is cut short there");
        check_document(folder / "out.kml", program.kind, before, expected_names(before, '1'));
    }
}

TEST_F(DocumentCheck, an_empty_list_or_a_blank_tail_gives_a_whole_document) {
    const std::vector<Point> points = sample_points(3);
    const struct {
        const char* legend;
        std::string list;
        std::vector<Point> points;
    } cases[] = {
        {"empty", "", {}},
        {"empty lines only", "\r\n  \r\n\r\n", {}},
        {"blanks, tabs and empty lines after the last record", list_text(points, '2', '1') + "  \r\n\t\r\n\r\n \t ",
         points},
    };
    for (const Program& program : {kmlmarks, kmlmarks_basic, kmlpath}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(program.name) + ": " + c.legend);
            TempFolder folder;
            ASSERT_EQ(convert(program, folder, c.list, answers(program, '2', '1')), 0);
            check_document(folder / "out.kml", program.kind, c.points, expected_names(c.points, '1'));
        }
    }
}

// A name of 300 bytes keeps the letters of its first 255 bytes, whole:
// in UTF-8 the cut falls inside a letter and that letter is left out.
TEST_F(DocumentCheck, a_long_cyrillic_name_keeps_whole_letters) {
    const std::string phrase = "Пловдив, ул. Съединение 12, ";
    std::string name;
    std::string cp1251_name;
    while (name.size() < 300) name += phrase;
    while (cp1251_name.size() < 300) cp1251_name += common::utf8_to_cp1251(phrase);
    name.resize(300);
    cp1251_name.resize(300);
    ASSERT_TRUE(common::is_valid_utf8(name));
    // The longest run of whole UTF-8 characters in the 254 bytes after
    // the blank that precedes the name.
    std::size_t whole = 254;
    while ((static_cast<unsigned char>(name[whole]) & 0xC0) == 0x80) --whole;
    ASSERT_LT(whole, 254u) << "the cut must fall inside a letter";
    const struct {
        const char* legend;
        std::string list_name;
        std::string shown;
    } cases[] = {
        {"UTF-8", name, " " + name.substr(0, whole)},
        {"Windows-1251", cp1251_name, " " + common::cp1251_to_utf8(cp1251_name.substr(0, 254))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        TempFolder folder;
        ASSERT_EQ(convert(kmlmarks, folder, "-33.8568056 -70.6700833 " + c.list_name + "\r\n", "13"), 0);
        EXPECT_EQ(xmllint_names(folder / "out.kml"), std::vector<std::string>{c.shown});
    }
}

// The expected documents of the golden cases are the programs' output byte
// for byte, so they are read here too.
TEST_F(DocumentCheck, every_golden_document_is_well_formed) {
    int documents = 0;
    for (const char* program : {"kmlmarks", "kmlmarks_basic", "kmlpath"}) {
        const fs::path cases = testing_support::source_path("tests/golden") / program;
        if (!fs::is_directory(cases)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(cases)) {
            if (entry.path().extension() != ".kml" || entry.path().parent_path().filename() != "out") continue;
            SCOPED_TRACE(entry.path().string());
            int status = 0;
            const std::string complaints =
                output_of("xmllint --noout " + quoted(entry.path().string()) + " 2>&1", status);
            EXPECT_EQ(status, 0) << complaints;
            ++documents;
        }
    }
    EXPECT_GT(documents, 0);
}

}  // namespace
