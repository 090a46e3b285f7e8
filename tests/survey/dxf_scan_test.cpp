#include "survey/dxf/dxfpoints.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/run_error.h"
#include "tests/survey/string_reader.h"

using common::TextReader;

namespace {

// The POINT entities of a drawing as "east north elevation" lines, or
// "left out" for one without X or Y; the report when the scan stops.
std::string entities_of(std::string text) {
    TextReader drawing = survey_testing::reader_of(std::move(text), "drawing.dxf", 3);
    std::string out;
    try {
        survey::PointEntities entities(drawing);
        while (const auto entity = entities.next()) {
            char line[96];
            std::snprintf(line, sizeof line, "%g %g %g\n", entity->point.east, entity->point.north,
                          entity->point.elevation);
            out += entity->has_x_and_y ? line : "left out\n";
        }
    } catch (const common::RunError& error) {
        out += error.report();
    }
    return out;
}

// The same drawing with the blanks before its group codes taken away, as
// writers other than AutoCAD write them.
std::string unpadded(const std::string& drawing) {
    std::string out;
    bool code_line = true;
    for (std::size_t start = 0; start < drawing.size();) {
        std::size_t end = drawing.find('\n', start);
        end = end == std::string::npos ? drawing.size() : end + 1;
        std::string line = drawing.substr(start, end - start);
        if (code_line) line.erase(0, line.find_first_not_of(' '));
        out += line;
        code_line = !code_line;
        start = end;
    }
    return out;
}

TEST(point_entities, pairs_of_group_code_and_value) {
    struct Row {
        const char* legend;
        std::string text;
        const char* entities;
    };
    const Row rows[] = {
        {"a 3D point; a LINE adds nothing", "  0\nPOINT\n  8\n0\n 10\n1.5\n 20\n2.5\n 30\n3.5\n  0\nLINE\n 10\n9\n 20\n9\n",
         "1.5 2.5 3.5\n"},
        {"2D points end at the next group code 0", "  0\nPOINT\n 10\n10\n 20\n20\n  0\nPOINT\n 10\n30\n 20\n10\n 30\n5\n",
         "10 20 0\n30 10 5\n"},
        {"no 20: left out, the next one whole", "  0\nPOINT\n 10\n1\n 30\n3\n  0\nPOINT\n 10\n4\n 20\n5\n",
         "left out\n4 5 0\n"},
        {"the drawing ends before 10", "  0\nPOINT\n  8\n0\n 20\n2\n", "left out\n"},
        {"a 10 without its value at the end", "  0\nPOINT\n  8\n0\n 10", "left out\n"},
        {"only the first 10 counts", "  0\nPOINT\n 10\n1\n 10\n9\n 20\n2\n 30\n3\n", "1 2 3\n"},
        {"codes in any order", "  0\nPOINT\n 30\n3\n 20\n2\n 10\n1\n", "1 2 3\n"},
        {"a layer, a block and a text named POINT start nothing",
         "  0\nLINE\n  8\nPOINT\n 10\n1\n 20\n2\n  0\nINSERT\n  2\nPOINT\n 10\n3\n 20\n4\n  0\nTEXT\n  1\nPOINT\n"
         " 10\n5\n 20\n6\n  0\nPOINT\n  8\nPOINT\n 10\n7\n 20\n8\n",
         "7 8 0\n"},
        {"POINT with a trailing blank, point in lower case", "  0\nPOINT \n 10\n1\n 20\n2\n  0\npoint\n 10\n3\n 20\n4\n", ""},
        {"a value 10 or 20 is no group code", "  0\nPOINT\n  8\n 10\n 10\n1\n 20\n 20\n", "1 20 0\n"},
        {"points in a block definition",
         "  0\nSECTION\n  2\nBLOCKS\n  0\nBLOCK\n  2\nB\n  0\nPOINT\n 10\n1\n 20\n2\n  0\nENDBLK\n  0\nENDSEC\n",
         "1 2 0\n"},
        {"CR LF line ends", "  0\r\nPOINT\r\n 10\r\n1\r\n 20\r\n2\r\n 30\r\n3\r\n  0\r\nEOF\r\n", "1 2 3\n"},
        {"lone CR line ends", "  0\rPOINT\r 10\r1\r 20\r2\r  0\rEOF\r", "1 2 0\n"},
        {"blanks and tabs around codes and values", "\t 0 \nPOINT\n10\t\n   1.25  \n 20\n\t2\n", "1.25 2 0\n"},
        {"the rest of a value line is discarded", "  0\nPOINT\n 10\n1.5 7\n 20\n2.5\tx\n", "1.5 2.5 0\n"},
        {"nothing after EOF is read", "  0\nPOINT\n 10\n1\n 20\n2\n  0\nEOF\n  0\nPOINT\n 10\n5\n 20\n6\ngarbage\n",
         "1 2 0\n"},
        {"blank lines after the last pair", "  0\nPOINT\n 10\n1\n 20\n2\n\n  \n\n", "1 2 0\n"},
        {"a comment first, a byte order mark before it", "\xEF\xBB\xBF" "999\ndxfrw\n  0\nPOINT\n 10\n1\n 20\n2\n",
         "1 2 0\n"},
        {"an empty drawing", "", ""},
        {"a value that is not a number stops with error 106", "  0\nPOINT\n  8\n0\n 10\n12,5\n",
         "Runtime error 106: invalid numeric format \"12,5\" (drawing.dxf, line 6)"},

        {"and an empty value", "  0\nPOINT\n 10\n  \n 20\n2\n",
         "Runtime error 106: invalid numeric format: no value (drawing.dxf, line 4)"},
        {"a value longer than a line", "  0\nPOINT\n 10\n" + std::string(300, '1') + "\n",
         "Runtime error 106: invalid numeric format \"1111111111111111111111111111111111111111...\" (drawing.dxf, line 4)"},
        {"a group code that is not an integer", "  0\nSECTION\n  2\nENTITIES\nPOINT\n 10\n",
         "Runtime error 106: invalid numeric format \"POINT\" (drawing.dxf, line 5)"},
        {"a file that is no DXF stops at its first line", "1 100 200 5\n",
         "Runtime error 106: invalid numeric format \"1 100 200 5\" (drawing.dxf, line 1)"},
        {"a blank line where a group code is due", "  0\nSECTION\n\n  2\n",
         "Runtime error 106: invalid numeric format: no group code (drawing.dxf, line 3)"},
        {"a group code beyond 32 bits", "4294967296\nPOINT\n",
         "Runtime error 106: invalid numeric format \"4294967296\" (drawing.dxf, line 1)"},
        {"a binary drawing is refused", "AutoCAD Binary DXF\r\n\x1a",
         "Runtime error 22: cannot read \"drawing.dxf\": binary DXF, save it as ASCII DXF"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.legend);
        EXPECT_EQ(entities_of(row.text), row.entities);
        // Without the leading blanks of its group codes a drawing gives the
        // same points (the line numbers of a report too).
        EXPECT_EQ(entities_of(unpadded(row.text)), row.entities);
    }
}

}  // namespace
