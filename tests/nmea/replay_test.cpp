#include <gtest/gtest.h>

#include "common/scripted_console.h"
#include "nmea/decoder/decoder.h"
#include "tests/support/test_support.h"

using common::ScriptedConsole;
using testing_support::TempFolder;

namespace {

int replay(ScriptedConsole& console, const TempFolder& folder) {
    return nmea::run_nmeadecode(console, folder.path());
}

TEST(replay, each_gga_pauses_four_times_without_wrapping_and_nothing_else_pauses) {
    const struct {
        const char* answer;
        std::uint64_t pause;
    } cases[] = {{"0", 0}, {"0.1", 9000}, {"1.0", 90000}, {"-1", 0}, {"0.5000055", 45000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        TempFolder folder;
        folder.write("REC_COM.txt", "$GPGSA,A,3*00\r\n$GPGGA,1\r\n$GPRMC,1*00\r\n");
        ScriptedConsole console(std::string(c.answer) + "\n\n");
        EXPECT_EQ(replay(console, folder), 0);
        const std::vector<std::uint64_t> expected(c.pause == 0 ? 0 : 4, c.pause);
        EXPECT_EQ(console.pauses(), expected);
    }
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
