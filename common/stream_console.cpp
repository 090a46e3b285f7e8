#include "common/stream_console.h"

#include <cerrno>
#include <ctime>
#include <unistd.h>

#include "common/run_error.h"

namespace common {

bool write_all(int descriptor, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(descriptor, text.data(), text.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

void sleep_milliseconds(std::uint64_t milliseconds) {
    timespec remaining{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    while (::nanosleep(&remaining, &remaining) != 0 && errno == EINTR) check_interrupted();
}

bool StreamConsole::next_key(Key& key, bool wait) {
    return keys_.next(key, wait);
}

void StreamConsole::pause(std::uint64_t milliseconds) {
    sleep_milliseconds(milliseconds);
}

int StreamConsole::finish() {
    // A reader that closed the pipe early ("| head") chose not to see the
    // rest; any other failure (a full disk) is the run's to report.
    if (write_all(output_, screen().text()) || errno == EPIPE) return 0;
    return errno;
}

}  // namespace common
