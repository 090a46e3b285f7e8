// Every real drawing goes through dxfpoints; the points it must find come
// from a reader of our own that follows the group code and value pairs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace fs = std::filesystem;
using testing_support::TempFolder;

namespace {

std::vector<std::string_view> lines_of(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        const std::size_t next = text.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
        text.remove_prefix(next);
    }
    return lines;
}

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A value to three decimals, as a register line holds it.
std::string three_decimals(std::string_view value) {
    const std::string text(trimmed(value));
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.3f", std::strtod(text.c_str(), nullptr));
    return buffer;
}

// The POINT entities of a drawing, read pair by pair: a "0" / "POINT" pair
// opens one, the next group code 0 closes it; the first 10, 20 and 30 values
// are its coordinates (30 missing: elevation 0). Each as a register line.
std::vector<std::string> point_entities(const std::string& drawing) {
    const std::vector<std::string_view> lines = lines_of(drawing);
    std::vector<std::string> points;
    bool in_point = false;
    std::string x, y, z;
    auto close_point = [&] {
        if (in_point && !x.empty() && !y.empty()) points.push_back(x + " " + y + " " + (z.empty() ? "0.000" : z));
        in_point = false;
    };
    for (std::size_t i = 0; i + 1 < lines.size(); i += 2) {
        const std::string_view code = trimmed(lines[i]);
        const std::string_view value = lines[i + 1];
        if (code == "0") {
            close_point();
            in_point = value == "POINT";
            x.clear(), y.clear(), z.clear();
        } else if (in_point) {
            std::string* coordinate = code == "10" ? &x : code == "20" ? &y : code == "30" ? &z : nullptr;
            if (coordinate != nullptr && coordinate->empty()) *coordinate = three_decimals(value);
        }
    }
    close_point();
    return points;
}

TEST(dxfpoints_real_data, every_drawing_gives_its_point_entities) {
    REQUIRE_TESTDATA(testdata);
    std::vector<fs::path> drawings;
    for (const auto& entry : fs::directory_iterator(testdata / "dxf")) {
        if (entry.path().extension() == ".dxf") drawings.push_back(entry.path());
    }
    std::sort(drawings.begin(), drawings.end());
    ASSERT_FALSE(drawings.empty());

    for (const fs::path& path : drawings) {
        SCOPED_TRACE(path.filename().string());
        const std::string drawing = testing_support::read_file(path);
        TempFolder folder;
        folder.write("drawing.dxf", drawing);
        const auto run = testing_support::run_program("dxfpoints", folder.path(), "drawing.dxf\npoints.txt\n");
        ASSERT_EQ(run.exit_code, 0) << run.errors;

        const std::vector<std::string> expected = point_entities(drawing);
        // Its writer puts the group codes without the leading blank ("10").
        if (path.filename() == "ezdxf-Leica_Disto_S910.dxf") {
            EXPECT_EQ(expected.size(), 11u);
        }
        const std::string register_text = folder.read("points.txt");
        std::vector<std::string> written;
        for (const std::string_view line : lines_of(register_text)) written.emplace_back(line);
        ASSERT_EQ(written.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            SCOPED_TRACE("point " + std::to_string(i + 1));
            EXPECT_EQ(written[i], expected[i]);
        }
        // Every register line ends with CR LF.
        EXPECT_EQ(std::count(register_text.begin(), register_text.end(), '\n'),
                  std::count(register_text.begin(), register_text.end(), '\r'));
        EXPECT_EQ(std::count(register_text.begin(), register_text.end(), '\n'),
                  static_cast<std::ptrdiff_t>(expected.size()));
        if (!expected.empty()) {
            char count[32];
            std::snprintf(count, sizeof count, "%8zu", expected.size());
            EXPECT_NE(run.screen.find(std::string("т. ") + count), std::string::npos) << run.screen;
        }
    }
}

}  // namespace
