#include "common/stream_console.h"

#include <cerrno>

#include "common/platform.h"

namespace common {

StreamConsole::StreamConsole(int input, int output) : keys_(input), output_(output) {
    // The keys are taken and the final screen is printed byte for byte, with
    // no line end translation on any system.
    platform::use_binary_mode(input);
    if (output >= 0) platform::use_binary_mode(output);
}

bool StreamConsole::next_key(Key& key, bool wait) {
    return keys_.next(key, wait);
}

bool StreamConsole::wait_for_input(std::chrono::microseconds length) {
    return keys_.wait_for_input(length);
}

void StreamConsole::wait_for_input_or(platform::Link& link, std::chrono::microseconds length) {
    keys_.wait_for_input(length, &link);
}

int StreamConsole::finish() {
    if (output_ < 0) return 0;
    // A reader that closed the pipe early ("| head") chose not to see the
    // rest; any other failure (a full disk) is the run's to report.
    if (platform::write_text(output_, screen().text()) || errno == EPIPE) return 0;
    return errno;
}

}  // namespace common
