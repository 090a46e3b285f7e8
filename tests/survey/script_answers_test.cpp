#include <gtest/gtest.h>

#include "common/run_error.h"
#include "common/scripted_console.h"
#include "survey/script/script_dialogue.h"

namespace {

TEST(read_elevation_decimals, whole_numbers_above_4_give_4) {
    struct Row {
        const char* typed;
        int decimals;
    };
    const Row rows[] = {
        {"0\n", 0}, {"2\n", 2}, {"4\n", 4}, {"7\n", 4},
        // The whole number counts, not its low-order byte.
        {"256\n", 4}, {"+3\n", 3}, {"  1 decimal\n", 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.typed);
        common::ScriptedConsole console(row.typed);
        EXPECT_EQ(survey::read_elevation_decimals(console), row.decimals);
    }
}

TEST(read_elevation_decimals, not_an_unsigned_whole_number_stops_with_error_106) {
    for (const char* typed : {"-1\n", "2.5\n", "x\n"}) {
        SCOPED_TRACE(typed);
        common::ScriptedConsole console(typed);
        try {
            survey::read_elevation_decimals(console);
            ADD_FAILURE() << "no error";
        } catch (const common::RunError& error) {
            EXPECT_EQ(error.code(), 106);
        }
    }
}

}  // namespace
