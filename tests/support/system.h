// What the test helpers ask of the system, one implementation per system
// (system_posix.cpp, system_windows.cpp): starting a program of the suite as
// a child process with its standard streams redirected to files, and
// FileSizeLimit, make_fifo() and permissions_can_deny_reading() of
// test_support.h.
#pragma once

#include <filesystem>

namespace testing_support {

struct ChildRun {
    int exit_code = -1;  // -1: killed by a signal, or did not end in time
    bool timed_out = false;
};

// Runs `executable` in `folder` with standard input read from `input` and
// standard output and error written to `output` and `errors`; a child that
// has not ended after `timeout_seconds` is killed.
ChildRun run_child(const std::filesystem::path& executable, const std::filesystem::path& folder,
                   const std::filesystem::path& input, const std::filesystem::path& output,
                   const std::filesystem::path& errors, int timeout_seconds);

}  // namespace testing_support
