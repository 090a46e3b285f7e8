// The platform on POSIX systems: descriptors, poll, termios terminals and
// signals.
#include "common/platform.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "common/stop_request.h"

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

// --- Live sources ------------------------------------------------------------

namespace {

LinkFailure failure_of(int code) {
    return {code, std::strerror(code)};
}

// A serial port or a connected socket: a descriptor read without waiting.
class DescriptorLink : public Link {
public:
    explicit DescriptorLink(int descriptor) : descriptor_(descriptor) {}
    ~DescriptorLink() override {
        if (descriptor_ >= 0) ::close(descriptor_);
    }

    std::ptrdiff_t read(char* buffer, std::size_t size) override {
        if (descriptor_ < 0) return -1;
        const ssize_t n = ::read(descriptor_, buffer, size);
        if (n > 0) return n;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
            // A port that the wait found hung up, yet gives nothing to read,
            // must not wake every wait at once.
            return hung_up_ ? gone(EIO) : 0;
        }
        // The end of a connection, or a port that went away (EIO when a
        // USB adapter is pulled out).
        if (n == 0) {
            gone(ECONNRESET);
            failure_.reason = "closed by the other end";
            return -1;
        }
        return gone(errno);
    }
    bool connecting() const override { return false; }
    bool send(std::string_view text) override {
        while (!text.empty()) {
            const ssize_t n = ::send(descriptor_, text.data(), text.size(), MSG_NOSIGNAL);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            text.remove_prefix(static_cast<std::size_t>(n));
        }
        return true;
    }
    int descriptor() const { return descriptor_; }
    // What the wait watches for: bytes, or a connection being made.
    virtual short events() const { return POLLIN; }
    // What the wait found besides bytes: a hang-up or an error.
    void note_wake(short events) {
        if (!connecting()) hung_up_ = (events & (POLLERR | POLLHUP | POLLNVAL)) != 0;
    }

protected:
    std::ptrdiff_t gone(int code) {
        failure_ = failure_of(code);
        if (descriptor_ >= 0) ::close(descriptor_);
        descriptor_ = -1;
        return -1;
    }

    int descriptor_;
    bool hung_up_ = false;
};

// A TCP connection: made without waiting, to each address of the host in
// turn, while the program waits on it.
class TcpLink : public DescriptorLink {
public:
    TcpLink(addrinfo* addresses) : DescriptorLink(-1), addresses_(addresses), next_(addresses) { connect_next(); }
    ~TcpLink() override { ::freeaddrinfo(addresses_); }

    std::ptrdiff_t read(char* buffer, std::size_t size) override {
        if (connecting_ && !finish_connecting()) return descriptor_ < 0 ? -1 : 0;
        return DescriptorLink::read(buffer, size);
    }
    bool connecting() const override { return connecting_; }
    short events() const override { return connecting_ ? POLLOUT : POLLIN; }

private:
    // Starts a connection to the next address; false when none is left.
    bool connect_next() {
        int code = ECONNREFUSED;
        for (; next_ != nullptr; next_ = next_->ai_next) {
            const addrinfo& address = *next_;
            descriptor_ = ::socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                                   address.ai_protocol);
            if (descriptor_ < 0) {
                code = errno;
                continue;
            }
            // A connection whose other end went away without a word is
            // found out in the end, and lines go out at once.
            const int on = 1;
            ::setsockopt(descriptor_, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
            ::setsockopt(descriptor_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            if (::connect(descriptor_, address.ai_addr, address.ai_addrlen) == 0 || errno == EINPROGRESS) {
                next_ = next_->ai_next;
                connecting_ = true;
                return true;
            }
            code = errno;
            ::close(descriptor_);
            descriptor_ = -1;
        }
        connecting_ = false;
        gone(code);
        return false;
    }

    // True once the connection is made; on a refusal the next address is
    // tried.
    bool finish_connecting() {
        pollfd request{descriptor_, POLLOUT, 0};
        if (::poll(&request, 1, 0) <= 0) return false;
        int code = 0;
        socklen_t length = sizeof code;
        if (::getsockopt(descriptor_, SOL_SOCKET, SO_ERROR, &code, &length) != 0) code = errno;
        if (code == 0) {
            connecting_ = false;
            return true;
        }
        ::close(descriptor_);
        descriptor_ = -1;
        if (next_ == nullptr) {
            connecting_ = false;
            gone(code);
        } else {
            connect_next();
        }
        return false;
    }

    addrinfo* addresses_;
    addrinfo* next_;
    bool connecting_ = false;
};

speed_t speed_of(int baud) {
    switch (baud) {
        case 4800: return B4800;
        case 9600: return B9600;
        case 19200: return B19200;
        case 38400: return B38400;
        case 57600: return B57600;
        case 115200: return B115200;
        case 230400: return B230400;
#ifdef B460800
        case 460800: return B460800;
#endif
        default: return B0;
    }
}

}  // namespace

std::unique_ptr<Link> open_serial_port(const std::string& device, int baud, LinkFailure& failure) {
    const speed_t speed = speed_of(baud);
    if (speed == B0) {
        failure = failure_of(EINVAL);
        return nullptr;
    }
    // Without becoming the program's controlling terminal, and without
    // waiting for a carrier.
    const int descriptor = open_interruptibly(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        failure = failure_of(errno);
        return nullptr;
    }
    auto link = std::make_unique<DescriptorLink>(descriptor);
    // The terminal the program runs on gives keys, not sentences.
    struct stat port {};
    struct stat console {};
    for (const int standard : {0, 1}) {
        if (::fstat(descriptor, &port) == 0 && ::fstat(standard, &console) == 0 && S_ISCHR(port.st_mode) &&
            port.st_rdev == console.st_rdev) {
            failure = {EBUSY, "the terminal the program runs on"};
            return nullptr;
        }
    }
    // Two programs reading one port would each get a part of what it sends:
    // the port is taken by one at a time.
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        failure = errno == EWOULDBLOCK ? LinkFailure{EBUSY, "in use by another program"} : failure_of(errno);
        return nullptr;
    }
    termios settings{};
    if (::tcgetattr(descriptor, &settings) != 0) {
        failure = {ENOTTY, "not a serial port"};
        return nullptr;
    }
    // Raw bytes, 8 data bits, no parity, one stop bit, no flow control.
    ::cfmakeraw(&settings);
    settings.c_cflag &= static_cast<tcflag_t>(~(CSTOPB | PARENB | CRTSCTS | CSIZE));
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    settings.c_iflag &= static_cast<tcflag_t>(~(IXON | IXOFF | IXANY));
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    ::cfsetispeed(&settings, speed);
    ::cfsetospeed(&settings, speed);
    if (::tcsetattr(descriptor, TCSANOW, &settings) != 0) {
        failure = failure_of(errno);
        return nullptr;
    }
    return link;
}

std::unique_ptr<Link> connect_tcp(const std::string& host, const std::string& port, LinkFailure& failure) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* addresses = nullptr;
    const int result = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &addresses);
    if (result != 0) {
        failure = {result == EAI_SYSTEM ? errno : EHOSTUNREACH, ::gai_strerror(result)};
        return nullptr;
    }
    return std::make_unique<TcpLink>(addresses);
}

int wait_readable(int descriptor, Link& link, int timeout_ms) {
    auto& watched = static_cast<DescriptorLink&>(link);
    // A negative descriptor is passed over by poll.
    pollfd requests[2] = {{descriptor, POLLIN, 0}, {watched.descriptor(), watched.events(), 0}};
    const int ready = ::poll(requests, 2, timeout_ms);
    if (ready > 0) watched.note_wake(requests[1].revents);
    return ready > 0 ? 1 : ready;
}

ClockTime local_clock() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    ::localtime_r(&now.tv_sec, &local);
    return {local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(now.tv_nsec / 1000000)};
}

void use_binary_mode(int) {}

bool write_text(int descriptor, std::string_view utf8) {
    return write_all(descriptor, utf8);
}

bool standard_streams_are_console() {
    return ::isatty(0) && ::isatty(1);
}

namespace {

// The terminal's settings before the program started and the program's
// own, kept where a signal handler can reach them, with the rows of the
// screen as it is shown.
termios saved_settings{};
termios raw_settings{};
std::atomic<bool> keys_taken{false};
std::atomic<int> shown_rows{25};
int terminal_input = 0;
int terminal_output = 1;

constexpr char reset_sequence[] = "\x1b[0m\x1b[?25h";

// "ESC [ row ; 1 H" and a line end: the cursor to the bottom row and on to
// the next, so that what the shell writes comes below the screen. Made
// without the library, which a signal handler must not call.
std::size_t below_screen_sequence(char (&out)[24], int row) {
    std::size_t n = 0;
    out[n++] = '\x1b';
    out[n++] = '[';
    char digits[8];
    int count = 0;
    for (int value = row < 1 ? 1 : row; value > 0 && count < 8; value /= 10) {
        digits[count++] = static_cast<char>('0' + value % 10);
    }
    while (count > 0) out[n++] = digits[--count];
    for (const char c : {';', '1', 'H', '\r', '\n'}) out[n++] = c;
    return n;
}

// From the signal handlers, with only async-signal-safe calls: restore the
// terminal before the process ends at once; give it back to the shell as
// it was before the job stops; take the raw keys back when it goes on,
// asking for the whole screen to be drawn anew.
void give_back_keys_at_once() {
    if (!keys_taken) return;
    ::write(terminal_output, reset_sequence, sizeof reset_sequence - 1);
    ::write(terminal_output, "\r\n", 2);
    ::tcsetattr(terminal_input, TCSAFLUSH, &saved_settings);
}

void give_back_keys_for_a_stop() {
    if (!keys_taken) return;
    char below[24];
    const std::size_t length = below_screen_sequence(below, shown_rows);
    ::write(terminal_output, reset_sequence, sizeof reset_sequence - 1);
    ::write(terminal_output, below, length);
    ::tcsetattr(terminal_input, TCSANOW, &saved_settings);
}

void take_keys_again() {
    if (!keys_taken) return;
    ::tcsetattr(terminal_input, TCSANOW, &raw_settings);
    // The shell wrote over the screen while the job was stopped.
    note_screen_lost();
}

}  // namespace

void take_raw_keys(int input, int output) {
    terminal_input = input;
    terminal_output = output;
    if (::tcgetattr(input, &saved_settings) != 0) return;
    termios raw = saved_settings;
    // Keys one by one, no echo, Enter as CR; Ctrl-C still interrupts.
    raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO | IEXTEN));
    raw.c_iflag &= static_cast<tcflag_t>(~(ICRNL | IXON));
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    raw_settings = raw;
    keys_taken = true;
    ::tcsetattr(input, TCSAFLUSH, &raw);
}

void give_back_keys() {
    write_all(terminal_output, reset_sequence);
    if (keys_taken.exchange(false)) ::tcsetattr(terminal_input, TCSAFLUSH, &saved_settings);
}

void note_shown_rows(int rows) {
    shown_rows = rows;
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

// The requests as reports name them.
constexpr StopRequest interrupt{SIGINT, "signal SIGINT"};
constexpr StopRequest termination{SIGTERM, "signal SIGTERM"};
constexpr StopRequest hang_up{SIGHUP, "signal SIGHUP"};
constexpr StopRequest quit{SIGQUIT, "signal SIGQUIT"};

// Only async-signal-safe calls from here to the end of the handlers.
void on_stop_request(int signal_number) {
    const int saved_errno = errno;
    const StopRequest& request = signal_number == SIGINT    ? interrupt
                                 : signal_number == SIGTERM ? termination
                                 : signal_number == SIGHUP  ? hang_up
                                                            : quit;
    const int count = note_signal(request);
    if (count == 1) ::clock_gettime(CLOCK_MONOTONIC, &first_request);
    if (count >= 3 && seconds_since(first_request) >= static_cast<double>(patience_with_requests.count())) {
        // Asked again and again: the way out is stuck (an output that
        // does not take its bytes). End now, with the terminal restored.
        give_back_keys_at_once();
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
    give_back_keys_for_a_stop();
    set_handler(signal_number, SIG_DFL);
    unblock(signal_number);
    ::raise(signal_number);
    // Going on: on_continue has taken the terminal back.
    set_handler(signal_number, on_suspend);
    errno = saved_errno;
}

void on_continue(int) {
    const int saved_errno = errno;
    take_keys_again();
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
