// The dashboard frame and the start-up screens, cell by cell and colour by
// colour: what the golden screens (plain text) cannot show.
#include <gtest/gtest.h>

#include "common/program.h"
#include "common/run_error.h"
#include "common/scripted_console.h"
#include "nmea/decoder/dashboard.h"
#include "nmea/decoder/decoder.h"
#include "tests/support/test_support.h"

using common::ScriptedConsole;
using testing_support::TempFolder;

namespace {

// Row, colour and text of every frame row, written out again here so that a
// slip in the program's table shows up as a difference.
struct ExpectedRow {
    int row;
    int colour;
    const char* text;
};

constexpr ExpectedRow frame[] = {
    {2, 15, "              (D)GPS NMEA-0183 DATA Decoder                              "},
    {3, 15, "         time ---------------------------------------------------------- "},
    {4, 7, "                   date:             year             utc:             s "},
    {5, 7, "               duration:             s       local differ:               "},
    {6, 7, "                counter:             points      pc clock:             s "},
    {7, 15, "     position ---------------------------------------------------------- "},
    {8, 7, "               latitude:             N    pdop:      m    real deviation "},
    {9, 7, "              longitude:             E    hdop:      m    n/s          m "},
    {10, 7, "                MSL alt:           m      vdop:      m    e/w          m "},
    {11, 7, "              geoid sep:                                  alt.         m "},
    {12, 15, " speed & path ---------------------------------------------------------- "},
    {13, 7, "              hor.speed:       m/s         m/ss   hor. acceler.    mode: "},
    {14, 7, "                heading:       deg         deg/s  hor. turning           "},
    {15, 7, "              ver.speed:       m/s         m/ss   ver. acceler.          "},
    {16, 15, "   satellites ---------------------------------------------------------- "},
    {17, 7, "                visible:       /   used in last solution:                "},
    {18, 7, "                 sat.id:                                                 "},
    {19, 7, "              elevation:                                                 "},
    {20, 7, "                azimuth:                                                 "},
    {21, 7, "                    SNR:                                                 "},
    {22, 15, "       beacon ---------------------------------------------------------- "},
    {23, 7, "              ref.st.ID:          sig.strength:           bit rate:      "},
    {24, 7, "              frequency:           noise ratio:        age of corr:    s "},
};

TEST(dashboard, every_frame_row_and_its_colour) {
    ScriptedConsole console;
    // Something on row 1 and beyond column 73 must survive the frame.
    console.set_colour(4);
    console.go_to(1, 1);
    console.write("row one");
    console.go_to(74, 3);
    console.write("tail");
    nmea::draw_frame(console);

    const common::Screen& screen = console.screen();
    EXPECT_EQ(screen.row_text(1).substr(0, 7), "row one");
    EXPECT_EQ(screen.row_text(3).substr(73, 4), "tail");
    for (const ExpectedRow& expected : frame) {
        SCOPED_TRACE(expected.row);
        std::string text = expected.text;
        int colour = expected.colour;
        for (int column = 1; column <= 73; ++column) {
            // The banner covers the end of the title row in light blue.
            const bool banner = expected.row == 2 && column >= 59 && column < 59 + 14;
            const char character = banner ? common::suite_banner[column - 59] : text[column - 1];
            const int cell_colour = banner ? 9 : colour;
            EXPECT_EQ(screen.cell(column, expected.row).character, character) << "column " << column;
            EXPECT_EQ(screen.cell(column, expected.row).colour, cell_colour) << "column " << column;
        }
    }
    // Every value field is written in white from here on.
    EXPECT_EQ(screen.colour(), 15);
    EXPECT_EQ(common::suite_banner.size(), 14u);
}

TEST(dashboard, start_up_screens_and_their_colours) {
    TempFolder folder;
    folder.write("REC_COM.txt", "");
    ScriptedConsole console("0.5\n");
    try {
        nmea::run_nmeadecode(console, folder.path());
    } catch (const common::RunError&) {
        // The keys end at the start prompt: the screen is what we look at.
    }
    const common::Screen& screen = console.screen();
    const std::string delay = "     DELAY on presentation of DATA ( 0.0 - 1.0 sec. ) ? ... ";
    EXPECT_EQ(screen.row_text(3).substr(0, delay.size() + 3), delay + "0.5");
    EXPECT_EQ(screen.cell(1, 3).colour, 7);
    EXPECT_EQ(screen.cell(61, 3).colour, 15);  // the typed answer is white
    const std::string start = "     For START and STOP  press a key ...  ";
    EXPECT_EQ(screen.row_text(6).substr(0, start.size()), start);
    EXPECT_EQ(screen.cell(6, 6).colour, 7);
    EXPECT_EQ(screen.column(), 43);

    TempFolder empty;
    ScriptedConsole missing("\n");
    EXPECT_EQ(nmea::run_nmeadecode(missing, empty.path()), 2);
    const std::string message = "     \"REC_COM.txt\" - source file must exist in directory ! ";
    EXPECT_EQ(missing.screen().row_text(3).substr(0, message.size()), message);
    EXPECT_EQ(missing.screen().cell(6, 3).colour, 12);
    EXPECT_FALSE(std::filesystem::exists(empty / "GPS_CORE.txt"));
    EXPECT_FALSE(std::filesystem::exists(empty / "GPS_CORE.kml"));
}

}  // namespace
