// The platform on POSIX systems: descriptors, poll, termios terminals and
// signals.
#include "common/platform.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/run_error.h"
#include "common/stream_console.h"
#include "common/terminal.h"

namespace common {

void sleep_for(std::chrono::microseconds length) {
    if (length.count() <= 0) return;
    const auto count = static_cast<std::uint64_t>(length.count());
    timespec remaining{static_cast<time_t>(count / 1000000), static_cast<long>(count % 1000000) * 1000L};
    while (::nanosleep(&remaining, &remaining) != 0 && errno == EINTR) check_interrupted();
}

namespace platform {

void open_standard_streams() {
    for (int descriptor = 0; descriptor <= 2; ++descriptor) {
        if (::fcntl(descriptor, F_GETFD) >= 0 || errno != EBADF) continue;
        // The lowest free descriptor is this one: those below are open.
        const int opened = ::open("/dev/null", descriptor == 0 ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != descriptor) {
            ::dup2(opened, descriptor);
            ::close(opened);
        }
    }
}

namespace {

// An open that waits (a pipe that nobody writes yet, for a recording) ends
// at a stop request like every other wait; another signal (a change of the
// window's size) only interrupts it.
int open_interruptibly(const char* path, int flags, mode_t mode = 0) {
    for (;;) {
        const int descriptor = ::open(path, flags, mode);
        if (descriptor >= 0 || errno != EINTR) return descriptor;
        check_interrupted();
    }
}

bool is_null_device(const struct stat& status) {
    struct stat null_device {};
    return S_ISCHR(status.st_mode) && ::stat("/dev/null", &null_device) == 0 && status.st_rdev == null_device.st_rdev;
}

// What an output may be: a file, the null device or a pipe; errno says why
// not (a folder EISDIR, a device or a socket ENODEV).
bool may_be_output(const struct stat& status) {
    if (S_ISREG(status.st_mode) || S_ISFIFO(status.st_mode) || is_null_device(status)) return true;
    errno = S_ISDIR(status.st_mode) ? EISDIR : ENODEV;
    return false;
}

// Opens an output without waiting: a pipe that nobody reads fails at once
// (ENXIO) instead of waiting for a reader, and a device is refused before it
// is opened, since opening one may act on it (a tape rewinds, a line hangs
// up). The type is asked again of the open file, which a race may have put
// there in the meantime.
int open_output(const std::filesystem::path& path, int flags) {
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0 && !may_be_output(status)) return -1;
    const int descriptor = open_interruptibly(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0644);
    if (descriptor < 0) return -1;
    if (::fstat(descriptor, &status) != 0 || !may_be_output(status)) {
        const int code = errno;
        ::close(descriptor);
        errno = code;
        return -1;
    }
    // Written with waits from here on, like any file.
    ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    return descriptor;
}

}  // namespace

int open_for_reading(const std::filesystem::path& path) {
    const int descriptor = open_interruptibly(path.c_str(), O_RDONLY | O_CLOEXEC);
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
    return open_output(path, O_WRONLY | O_CREAT | O_TRUNC);
}

int open_for_appending(const std::filesystem::path& path) {
    return open_output(path, O_WRONLY | O_APPEND);
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

// When the first stop request came; a third one is taken as an order to
// end at once only after `patience_with_requests`.
timespec first_request{};

double seconds_since(const timespec& start) {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec - start.tv_sec) + static_cast<double>(now.tv_nsec - start.tv_nsec) / 1e9;
}

void set_handler(int number, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a blocked read returns to check
    ::sigaction(number, &action, nullptr);
}

void unblock(int number) {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, number);
    ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
}

// Only async-signal-safe calls from here to the end of the handlers.
void on_stop_request(int signal_number) {
    const int saved_errno = errno;
    const int count = note_signal(signal_number);
    if (count == 1) ::clock_gettime(CLOCK_MONOTONIC, &first_request);
    if (count >= 3 && seconds_since(first_request) >= static_cast<double>(patience_with_requests.count())) {
        // Asked again and again: the way out is stuck (an output that
        // does not take its bytes). End now, with the terminal restored.
        TerminalConsole::restore_from_signal();
        end_as_stopped(pending_signal());
    }
    errno = saved_errno;
}

void on_window_change(int) {
    note_screen_lost();
}

// Ctrl-Z: the terminal goes back to the shell as it was, then the process
// stops as it would without this handler.
void on_suspend(int signal_number) {
    const int saved_errno = errno;
    TerminalConsole::suspend_from_signal();
    set_handler(signal_number, SIG_DFL);
    unblock(signal_number);
    ::raise(signal_number);
    // Going on: on_continue has taken the terminal back.
    set_handler(signal_number, on_suspend);
    errno = saved_errno;
}

void on_continue(int) {
    const int saved_errno = errno;
    TerminalConsole::resume_from_signal();
    errno = saved_errno;
}

// A signal ignored when the program started (nohup, a background job of a
// shell without job control) stays ignored.
bool ignored_at_start(int number) {
    struct sigaction old {};
    return ::sigaction(number, nullptr, &old) == 0 && old.sa_handler == SIG_IGN;
}

}  // namespace

void install_stop_handlers() {
    for (const int number : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        if (!ignored_at_start(number)) set_handler(number, on_stop_request);
    }
    if (!ignored_at_start(SIGTSTP)) set_handler(SIGTSTP, on_suspend);
    set_handler(SIGCONT, on_continue);
    set_handler(SIGWINCH, on_window_change);
    std::signal(SIGPIPE, SIG_IGN);
}

std::string stop_name(int number) {
    return std::string("signal ") + (number == SIGINT    ? "SIGINT"
                                     : number == SIGTERM ? "SIGTERM"
                                     : number == SIGHUP  ? "SIGHUP"
                                     : number == SIGQUIT ? "SIGQUIT"
                                                         : "?");
}

void end_as_stopped(int number) {
    // End as killed by the signal, so that the caller sees it. A quit
    // comes after the files are closed: a core of that is of no use, and it
    // would land in the data folder.
    if (number == SIGQUIT) {
        const rlimit no_core{0, 0};
        ::setrlimit(RLIMIT_CORE, &no_core);
    }
    set_handler(number, SIG_DFL);
    unblock(number);
    ::raise(number);
    ::_exit(128 + number);
}

}  // namespace platform
}  // namespace common
