// The one way out of a program before its end: a runtime error report.
//
// Readers and writers raise RunError; the program shell catches it once,
// writes the report on the console, restores the terminal and ends the
// process with the error's code.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace common {

enum : int {
    // The keyboard (piped keys) ran out while a program still waited.
    error_keyboard_ended = 100,
    // A token that is not a number of the kind that was due.
    error_invalid_numeric_format = 106,
};

class RunError : public std::runtime_error {
public:
    RunError(int code, const std::string& what) : std::runtime_error(what), code_(code) {}
    int code() const { return code_; }
    // "Runtime error 106: invalid numeric format "61,30" (points.txt, line 5)"
    std::string report() const;

private:
    int code_;
};

// Shows a token in a report: printable bytes as they are, others as \xHH,
// cut after `limit` characters.
std::string printable_token(std::string_view token, std::size_t limit = 40);

// Where a token was read: "points.txt, line 5", or "keyboard".
RunError invalid_number(std::string_view token, std::string_view source, long line);

// A failed file operation, with the system's error code:
// "cannot create "out.kml": Permission denied".
RunError file_error(int system_code, std::string_view action, std::string_view file_name);
// The same for an output, whose refusals name what stands there: a pipe
// that nobody reads (ENXIO) or a device (ENODEV), which are not files
// (platform.h).
RunError output_error(int system_code, std::string_view action, std::string_view file_name);

RunError keyboard_ended();

}  // namespace common

namespace common {

// The user's requests to stop (SIGINT, SIGTERM, SIGHUP, SIGQUIT; on Windows
// Ctrl-C, Ctrl-Break and closing the console window) only set a flag; the
// program stops at its next console operation or file read, through the
// same way out as a runtime error, so that its outputs are completed,
// flushed and closed and the terminal is restored. The process then ends
// by the first request.
//
// Notes a request and returns how many have come, this one included; only
// the first one is kept.
int note_signal(int signal_number);
int pending_signal();
// Raises the stop for a pending request, if any.
void check_interrupted();

// A failure found while closing a file on the way out of another failure
// (a full disk found by the flush of a file that the unwinding closes)
// cannot be raised: it is kept, and the program shell reports it after the
// failure that stopped the run.
void note_late_failure(const RunError& error);
std::vector<RunError> take_late_failures();

// Runs a clean-up on the way out of a failure: a failure of its own is kept
// as a late one, so that the report of the first failure goes on its way.
template <typename CleanUp>
void clean_up_on_the_way_out(CleanUp&& clean_up) {
    try {
        clean_up();
    } catch (const RunError& error) {
        note_late_failure(error);
    }
}

// The screen shown on the terminal was lost: its size changed (SIGWINCH),
// or the program comes back from a stop (SIGCONT). Noted by the signal
// handler; the wait that it interrupted shows the screen anew, and the
// presenter takes the request and draws every cell.
void note_screen_lost();
bool screen_lost();
bool take_screen_lost();

}  // namespace common
