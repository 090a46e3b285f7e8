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
// The same for an output, whose refusals name what stands there: a pipe
// that nobody reads (ENXIO) or a device (ENODEV), which are not files
// (platform.h).
RunError output_error(int system_code, std::string_view action, std::string_view file_name);

RunError keyboard_ended();

}  // namespace common
