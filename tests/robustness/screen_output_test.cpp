// The final screen of a piped run is output too: when it cannot be printed,
// the run says so.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/system.h"
#include "tests/support/test_support.h"

namespace {

using testing_support::TempFolder;

struct ScreenRun {
    int exit_code = -1;
    std::string errors;
};

// Runs a program with `keys` on standard input and standard output on
// /dev/full, where every write fails with ENOSPC.
ScreenRun run_with_full_screen(std::string_view program, const TempFolder& folder, std::string_view keys) {
    folder.write(".keys", keys);
    const testing_support::ChildRun child = testing_support::run_child(
        testing_support::program_path(program), folder.path(), folder / ".keys", "/dev/full", folder / ".errors", 60);
    return {child.exit_code, folder.read(".errors")};
}

// A run whose final screen cannot be printed (standard output on a full
// disk) reports it on standard error and ends with the error's code, so that
// a script that keeps the screen learns that it is missing; it used to end
// with 0 and say nothing. A closed pipe (EPIPE, "| head") is the reader's
// choice and stays quiet.
TEST(screen_output, a_screen_that_cannot_be_printed_is_reported) {
    if (testing_support::on_windows) GTEST_SKIP() << "Windows has no device that is always full (/dev/full)";
    TempFolder folder;
    folder.write("reg.txt", "1 100 200\r\n");
    const ScreenRun run = run_with_full_screen("regscript_basic", folder, "reg.txt\nout.scr\n2\n2\n");
    EXPECT_EQ(run.exit_code, 28);
    EXPECT_NE(run.errors.find("No space left on device"), std::string::npos) << run.errors;
    // The script itself is complete.
    EXPECT_TRUE(folder.read("out.scr").ends_with("zoom e\r\n"));
}

}  // namespace
