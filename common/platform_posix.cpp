// The platform on POSIX systems: descriptors, poll, termios terminals and
// signals.
#include "common/platform.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/run_error.h"
#include "common/stream_console.h"
#include "common/terminal.h"

namespace common {

void sleep_milliseconds(std::uint64_t milliseconds) {
    timespec remaining{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    while (::nanosleep(&remaining, &remaining) != 0 && errno == EINTR) check_interrupted();
}

namespace platform {

int open_for_reading(const std::filesystem::path& path) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return -1;
    struct stat status {};
    if (::fstat(descriptor, &status) == 0 && S_ISDIR(status.st_mode)) {
        ::close(descriptor);
        errno = EISDIR;
        return -1;
    }
    return descriptor;
}

int create_file(const std::filesystem::path& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
}

int open_for_appending(const std::filesystem::path& path) {
    return ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
}

std::ptrdiff_t read(int descriptor, char* buffer, std::size_t size) {
    return ::read(descriptor, buffer, size);
}

std::ptrdiff_t write(int descriptor, const char* data, std::size_t size) {
    return ::write(descriptor, data, size);
}

int close(int descriptor) {
    return ::close(descriptor);
}

int wait_readable(int descriptor, int timeout_ms) {
    pollfd request{descriptor, POLLIN, 0};
    return ::poll(&request, 1, timeout_ms);
}

void use_binary_mode(int) {}

bool write_text(int descriptor, std::string_view utf8) {
    return write_all(descriptor, utf8);
}

bool standard_streams_are_console() {
    return ::isatty(0) && ::isatty(1);
}

std::unique_ptr<Console> make_window_console() {
    return std::make_unique<TerminalConsole>();
}

namespace {

void on_signal(int signal_number) {
    if (pending_signal() != 0) {
        // Asked twice: the program did not reach a stopping point; restore
        // the terminal here and end at once.
        TerminalConsole::restore_from_signal();
        ::_exit(128 + signal_number);
    }
    note_signal(signal_number);
}

void on_window_change(int) {
    note_window_change();
}

}  // namespace

void install_stop_handlers() {
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a blocked read returns to check
    for (const int number : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(number, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    action.sa_handler = on_window_change;
    ::sigaction(SIGWINCH, &action, nullptr);
}

std::string stop_name(int number) {
    return std::string("signal ") + (number == SIGINT    ? "SIGINT"
                                     : number == SIGTERM ? "SIGTERM"
                                     : number == SIGHUP  ? "SIGHUP"
                                                         : "?");
}

void end_as_stopped(int number) {
    // End as killed by the signal, so that the caller sees it.
    std::signal(number, SIG_DFL);
    std::raise(number);
    ::_exit(128 + number);
}

}  // namespace platform
}  // namespace common
