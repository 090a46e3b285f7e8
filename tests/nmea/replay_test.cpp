#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "common/scripted_console.h"
#include "nmea/decoder/decoder.h"
#include "tests/support/test_support.h"

using common::ScriptedConsole;
using testing_support::TempFolder;

namespace {

int replay(ScriptedConsole& console, const TempFolder& folder) {
    return nmea::run_nmeadecode(console, folder.path());
}

// The DELAY answer is the seconds each GGA waits, as four pauses of a
// quarter; it used to be four pauses of the answer x 90 s, modulo 65.536 s.
TEST(replay, each_gga_waits_the_answer_in_four_quarters_and_nothing_else_waits) {
    using std::chrono::microseconds;
    const struct {
        const char* answer;
        microseconds pause;
    } cases[] = {{"0", microseconds(0)},
                 {"0.1", microseconds(25000)},
                 {"1.0", microseconds(250000)},
                 {"-1", microseconds(0)},
                 {"0.5000055", microseconds(125001)},
                 {"1e9", microseconds(21600000000)}};  // at most a day
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        TempFolder folder;
        folder.write("REC_COM.txt", "$GPGSA,A,3*00\r\n$GPGGA,1\r\n$GPRMC,1*00\r\n");
        ScriptedConsole console(std::string(c.answer) + "\n\n");
        EXPECT_EQ(replay(console, folder), 0);
        const std::vector<microseconds> expected(c.pause.count() == 0 ? 0 : 4, c.pause);
        EXPECT_EQ(console.pauses(), expected);
    }
}

TEST(replay, a_key_ends_the_pauses_at_once_and_stops_after_the_gga_line) {
    TempFolder folder;
    folder.write("REC_COM.txt", "$GPGGA,123519.00\r\n$GPGGA,123520.00\r\n");
    ScriptedConsole console("1\n\nx");
    EXPECT_EQ(replay(console, folder), 0);
    EXPECT_TRUE(console.pauses().empty());
    EXPECT_EQ(console.screen().row_text(4).substr(59, 11), "12 35  19.0");
    EXPECT_EQ(console.read_key(), 'x');
}

TEST(replay, a_cursor_key_at_the_start_prompt_stops_after_the_first_line) {
    TempFolder folder;
    folder.write("REC_COM.txt", "$GPXXX\r\n$GPYYY\r\n$GPZZZ\r\n");
    ScriptedConsole console("0\n");
    console.press(common::key_up);
    EXPECT_EQ(replay(console, folder), 0);
    EXPECT_EQ(console.keys_left(), 0u);
}

}  // namespace
