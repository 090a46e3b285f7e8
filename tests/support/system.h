// What the test helpers ask of the system, one implementation per system
// (system_posix.cpp, system_windows.cpp): starting a program of the suite as
// a child process with its standard streams redirected to files, and
// FileSizeLimit, make_fifo() and permissions_can_deny_reading() of
// test_support.h.
#pragma once

#include <filesystem>
#include <functional>

namespace testing_support {

struct ChildRun {
    int exit_code = -1;    // -1: killed by a signal, or did not end in time
    int signal = 0;        // the signal that ended it (not on Windows)
    bool timed_out = false;
};

// Runs `executable` in `folder` with standard input read from `input` (an
// empty path: standard input closed) and standard output and error written
// to `output` and `errors`; a child that has not ended after
// `timeout_seconds` is killed. `while_running`, when given, is called with
// the child's process id as soon as it is started.
ChildRun run_child(const std::filesystem::path& executable, const std::filesystem::path& folder,
                   const std::filesystem::path& input, const std::filesystem::path& output,
                   const std::filesystem::path& errors, int timeout_seconds,
                   const std::function<void(int)>& while_running = {});

// Sends the user's request to stop (SIGINT) to a process; not on Windows.
void request_stop(int process_id);

}  // namespace testing_support
