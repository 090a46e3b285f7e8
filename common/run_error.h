// The one way out of a program before its end: a runtime error report.
//
// Readers and writers raise RunError; the program shell catches it once,
// writes the report on the console, restores the terminal and ends the
// process with the error's code.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

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

RunError keyboard_ended();

}  // namespace common

namespace common {

// Signals that end a program (SIGINT, SIGTERM, SIGHUP) only set a flag; the
// program stops at its next console operation or file read, through the same
// way out as a runtime error, so that files are flushed and closed and the
// terminal is restored.
void note_signal(int signal_number);
int pending_signal();
// Raises the stop for a pending signal, if any.
void check_interrupted();

// A change of the terminal's size (SIGWINCH), noted by the signal handler and
// taken by the wait that it interrupted, which then redraws.
void note_window_change();
bool take_window_change();

}  // namespace common
