// The final screen of a piped run is output too: when it cannot be printed,
// the run says so.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

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
    const std::string executable = testing_support::program_path(program).string();
    const std::string errors = (folder / ".errors").string();
    const pid_t child = ::fork();
    if (child == 0) {
        const int in = ::open((folder / ".keys").c_str(), O_RDONLY);
        const int out = ::open("/dev/full", O_WRONLY);
        const int err = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0 || ::chdir(folder.path().c_str()) != 0) ::_exit(127);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::execl(executable.c_str(), executable.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, folder.read(".errors")};
}

// A run whose final screen cannot be printed (standard output on a full
// disk) reports it on standard error and ends with the error's code, so that
// a script that keeps the screen learns that it is missing; it used to end
// with 0 and say nothing. A closed pipe (EPIPE, "| head") is the reader's
// choice and stays quiet.
TEST(screen_output, a_screen_that_cannot_be_printed_is_reported) {
    TempFolder folder;
    folder.write("reg.txt", "1 100 200\r\n");
    const ScreenRun run = run_with_full_screen("regscript_basic", folder, "reg.txt\nout.scr\n2\n2\n");
    EXPECT_EQ(run.exit_code, 28);
    EXPECT_NE(run.errors.find("No space left on device"), std::string::npos) << run.errors;
    // The script itself is complete.
    EXPECT_TRUE(folder.read("out.scr").ends_with("zoom e\r\n"));
}

}  // namespace
