// What the golden cases cannot set up: a listing name that names a folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/program.h"
#include "common/scripted_console.h"
#include "survey/stakeout/stakeout.h"
#include "tests/support/test_support.h"

using testing_support::TempFolder;

namespace {

TEST(stakeout, a_listing_that_exists_but_cannot_be_opened_is_reported_not_replaced) {
    TempFolder folder;
    folder.write("reg.txt", "12 1000 2000\r\n13 1040 2030\r\n");
    std::filesystem::create_directory(folder / "list");
    common::ScriptedConsole console("reg.txt\nlist\n12\n150\nN");
    std::string report;
    const int code = common::run_on_console(console, {"stakeout", survey::run_stakeout}, folder.path(), &report);
    EXPECT_EQ(code, EISDIR);
    EXPECT_EQ(report, "Runtime error 21: cannot open \"list\": Is a directory");
    EXPECT_TRUE(std::filesystem::is_directory(folder / "list"));
    EXPECT_EQ(console.screen().row_text(14).substr(44, 5), "     ") << "not announced as new";
}

}  // namespace
