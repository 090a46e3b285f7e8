// The platform on Windows: C runtime descriptors in binary mode, pipes
// looked into with PeekNamedPipe, the console API and console control
// events.
#include "common/platform_windows.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <string>
#include <csignal>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <system_error>

#include "common/platform.h"
#include "common/stop_request.h"

namespace common {

namespace platform {

HANDLE stop_event() {
    // Manual reset: once a stop is requested, every later wait ends too.
    static const HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    return event;
}


// --- Live sources ------------------------------------------------------------

namespace {

LinkFailure failure_of_system(DWORD code) {
    wchar_t* text = nullptr;
    ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string reason;
    if (text != nullptr) {
        const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
        reason.resize(static_cast<std::size_t>(std::max(size, 1) - 1));
        ::WideCharToMultiByte(CP_UTF8, 0, text, -1, reason.data(), size, nullptr, nullptr);
        ::LocalFree(text);
    }
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == '.')) {
        reason.pop_back();
    }
    if (reason.empty()) reason = "system error " + std::to_string(code);
    // The exit code of a run that stops for it: the system's codes go
    // beyond what an exit code carries.
    return {EIO, reason};
}

// The waits of the links: an event that the system sets when the link has
// something.
class EventLink : public Link {
public:
    virtual HANDLE event() const = 0;
};

// A COM port, read with one overlapped read always pending: it ends when a
// byte came (or after a second without one), and sets the event.
class SerialLink : public EventLink {
public:
    explicit SerialLink(HANDLE port) : port_(port) {
        overlapped_.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        start_read();
    }
    ~SerialLink() override {
        if (port_ != INVALID_HANDLE_VALUE) {
            ::CancelIo(port_);
            if (pending_) {
                DWORD ignored = 0;
                ::GetOverlappedResult(port_, &overlapped_, &ignored, TRUE);
            }
            ::CloseHandle(port_);
        }
        ::CloseHandle(overlapped_.hEvent);
    }

    std::ptrdiff_t read(char* buffer, std::size_t size) override {
        if (port_ == INVALID_HANDLE_VALUE) return -1;
        if (pending_) {
            DWORD count = 0;
            if (!::GetOverlappedResult(port_, &overlapped_, &count, FALSE)) {
                if (::GetLastError() == ERROR_IO_INCOMPLETE) return 0;
                return gone(::GetLastError());
            }
            pending_ = false;
            taken_ = 0;
            held_ = count;
        }
        const std::size_t n = std::min<std::size_t>(size, held_ - taken_);
        std::copy(buffer_ + taken_, buffer_ + taken_ + n, buffer);
        taken_ += n;
        // The event stays set while bytes are held.
        if (taken_ == held_ && !start_read()) return n > 0 ? static_cast<std::ptrdiff_t>(n) : -1;
        return static_cast<std::ptrdiff_t>(n);
    }
    bool connecting() const override { return false; }
    bool send(std::string_view) override { return true; }
    HANDLE event() const override { return overlapped_.hEvent; }

private:
    bool start_read() {
        held_ = taken_ = 0;
        if (::ReadFile(port_, buffer_, sizeof buffer_, nullptr, &overlapped_) ||
            ::GetLastError() == ERROR_IO_PENDING) {
            pending_ = true;
            return true;
        }
        gone(::GetLastError());
        return false;
    }
    std::ptrdiff_t gone(DWORD code) {
        failure_ = failure_of_system(code);
        ::CloseHandle(port_);
        port_ = INVALID_HANDLE_VALUE;
        pending_ = false;
        ::SetEvent(overlapped_.hEvent);
        return -1;
    }

    HANDLE port_;
    OVERLAPPED overlapped_{};
    bool pending_ = false;
    char buffer_[4096];
    std::size_t held_ = 0;
    std::size_t taken_ = 0;
};

bool winsock_started() {
    static const bool started = [] {
        WSADATA data{};
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

// A TCP connection: made without waiting, to each address of the host in
// turn; the socket's events set the event.
class TcpLink : public EventLink {
public:
    explicit TcpLink(addrinfo* addresses) : addresses_(addresses), next_(addresses) {
        event_ = ::WSACreateEvent();
        connect_next();
    }
    ~TcpLink() override {
        if (socket_ != INVALID_SOCKET) ::closesocket(socket_);
        ::WSACloseEvent(event_);
        ::freeaddrinfo(addresses_);
    }

    std::ptrdiff_t read(char* buffer, std::size_t size) override {
        if (socket_ == INVALID_SOCKET) return -1;
        WSANETWORKEVENTS events{};
        ::WSAEnumNetworkEvents(socket_, event_, &events);
        if (connecting_) {
            if ((events.lNetworkEvents & FD_CONNECT) == 0) return 0;
            const int code = events.iErrorCode[FD_CONNECT_BIT];
            if (code == 0) {
                connecting_ = false;
            } else {
                ::closesocket(socket_);
                socket_ = INVALID_SOCKET;
                if (!connect_next()) return -1;
                return 0;
            }
        }
        const int n = ::recv(socket_, buffer, static_cast<int>(std::min<std::size_t>(size, INT_MAX)), 0);
        if (n > 0) return n;
        if (n == SOCKET_ERROR && ::WSAGetLastError() == WSAEWOULDBLOCK) return 0;
        if (n == 0) {
            gone(WSAECONNRESET);
            failure_.reason = "closed by the other end";
            return -1;
        }
        return gone(static_cast<DWORD>(::WSAGetLastError()));
    }
    bool connecting() const override { return connecting_; }
    bool send(std::string_view text) override {
        while (!text.empty()) {
            const int n = ::send(socket_, text.data(), static_cast<int>(text.size()), 0);
            if (n == SOCKET_ERROR && ::WSAGetLastError() == WSAEWOULDBLOCK) {
                ::Sleep(1);
                continue;
            }
            if (n <= 0) return false;
            text.remove_prefix(static_cast<std::size_t>(n));
        }
        return true;
    }
    HANDLE event() const override { return event_; }

private:
    bool connect_next() {
        DWORD code = WSAECONNREFUSED;
        for (; next_ != nullptr; next_ = next_->ai_next) {
            const addrinfo& address = *next_;
            socket_ = ::socket(address.ai_family, address.ai_socktype, address.ai_protocol);
            if (socket_ == INVALID_SOCKET) {
                code = static_cast<DWORD>(::WSAGetLastError());
                continue;
            }
            const BOOL on = TRUE;
            ::setsockopt(socket_, SOL_SOCKET, SO_KEEPALIVE, reinterpret_cast<const char*>(&on), sizeof on);
            ::setsockopt(socket_, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
            // Also makes the socket one that never waits.
            ::WSAEventSelect(socket_, event_, FD_CONNECT | FD_READ | FD_CLOSE);
            if (::connect(socket_, address.ai_addr, static_cast<int>(address.ai_addrlen)) == 0 ||
                ::WSAGetLastError() == WSAEWOULDBLOCK) {
                next_ = next_->ai_next;
                connecting_ = true;
                return true;
            }
            code = static_cast<DWORD>(::WSAGetLastError());
            ::closesocket(socket_);
            socket_ = INVALID_SOCKET;
        }
        connecting_ = false;
        gone(code);
        return false;
    }
    std::ptrdiff_t gone(DWORD code) {
        failure_ = failure_of_system(code);
        if (socket_ != INVALID_SOCKET) ::closesocket(socket_);
        socket_ = INVALID_SOCKET;
        connecting_ = false;
        ::WSASetEvent(event_);
        return -1;
    }

    addrinfo* addresses_;
    addrinfo* next_;
    SOCKET socket_ = INVALID_SOCKET;
    WSAEVENT event_;
    bool connecting_ = false;
};

}  // namespace

WaitResult wait_for(HANDLE handle, Link* link, DWORD timeout_ms) {
    // A stop request comes first.
    HANDLE handles[3] = {stop_event()};
    DWORD count = 1;
    if (link != nullptr) handles[count++] = static_cast<EventLink*>(link)->event();
    if (handle != nullptr) handles[count++] = handle;
    const DWORD result = ::WaitForMultipleObjects(count, handles, FALSE, timeout_ms);
    if (result == WAIT_OBJECT_0) return WaitResult::stopped;
    if (result > WAIT_OBJECT_0 && result < WAIT_OBJECT_0 + count) return WaitResult::ready;
    return result == WAIT_TIMEOUT ? WaitResult::timed_out : WaitResult::failed;
}

WaitResult wait_for(HANDLE handle, DWORD timeout_ms) {
    return wait_for(handle, nullptr, timeout_ms);
}

std::unique_ptr<Link> open_serial_port(const std::string& device, int baud, LinkFailure& failure) {
    if (std::find(std::begin(baud_rates), std::end(baud_rates), baud) == std::end(baud_rates)) {
        failure = {EINVAL, "no such baud rate"};
        return nullptr;
    }
    // COM10 and above are opened only by their device name; the lower ones
    // take it too.
    std::wstring name(device.begin(), device.end());
    if (name.size() > 3 && (name[0] | 0x20) == L'c' && (name[1] | 0x20) == L'o' && (name[2] | 0x20) == L'm') {
        name = L"\\\\.\\" + name;
    }
    const HANDLE port = ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_OVERLAPPED, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        const DWORD code = ::GetLastError();
        failure = failure_of_system(code);
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) failure.code = ENOENT;
        if (code == ERROR_ACCESS_DENIED) failure.code = EACCES;
        return nullptr;
    }
    DCB settings{};
    settings.DCBlength = sizeof settings;
    COMMTIMEOUTS timeouts{};
    // A read ends as soon as bytes came, or after a second without any.
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = MAXDWORD;
    timeouts.ReadTotalTimeoutConstant = 1000;
    if (!::GetCommState(port, &settings)) {
        ::CloseHandle(port);
        failure = {ENOTTY, "not a serial port"};
        return nullptr;
    }
    // Raw bytes at 8N1, no flow control.
    settings.BaudRate = static_cast<DWORD>(baud);
    settings.ByteSize = 8;
    settings.Parity = NOPARITY;
    settings.StopBits = ONESTOPBIT;
    settings.fBinary = TRUE;
    settings.fParity = FALSE;
    settings.fOutxCtsFlow = FALSE;
    settings.fOutxDsrFlow = FALSE;
    settings.fDtrControl = DTR_CONTROL_ENABLE;
    settings.fRtsControl = RTS_CONTROL_ENABLE;
    settings.fOutX = FALSE;
    settings.fInX = FALSE;
    settings.fNull = FALSE;
    settings.fAbortOnError = FALSE;
    if (!::SetCommState(port, &settings) || !::SetCommTimeouts(port, &timeouts)) {
        failure = failure_of_system(::GetLastError());
        ::CloseHandle(port);
        return nullptr;
    }
    return std::make_unique<SerialLink>(port);
}

std::unique_ptr<Link> connect_tcp(const std::string& host, const std::string& port, LinkFailure& failure) {
    if (!winsock_started()) {
        failure = {EIO, "the network cannot be used"};
        return nullptr;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* addresses = nullptr;
    if (const int result = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &addresses); result != 0) {
        failure = failure_of_system(static_cast<DWORD>(result));
        failure.code = EHOSTUNREACH;
        return nullptr;
    }
    return std::make_unique<TcpLink>(addresses);
}

ClockTime local_clock() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return {now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
}

}  // namespace platform

void sleep_for(std::chrono::microseconds length) {
    // The system waits in whole milliseconds: a part of one counts whole.
    std::uint64_t milliseconds = length.count() <= 0 ? 0 : (static_cast<std::uint64_t>(length.count()) + 999) / 1000;
    while (milliseconds > 0) {
        const auto step = static_cast<DWORD>(std::min<std::uint64_t>(milliseconds, INFINITE - 1));
        if (::WaitForSingleObject(platform::stop_event(), step) == WAIT_OBJECT_0) check_interrupted();
        milliseconds -= step;
    }
}

namespace platform {

namespace {

// Opening a folder fails with "access denied" on Windows; report it as on
// other systems, which says what is wrong.
bool is_folder(const std::filesystem::path& path) {
    std::error_code ignored;
    if (!std::filesystem::is_directory(path, ignored)) return false;
    errno = EISDIR;
    return true;
}

// NUL, also with an extension ("nul.txt") or a colon, as the system takes
// those names.
bool names_null_device(const std::filesystem::path& path) {
    std::wstring stem = path.filename().wstring();
    stem = stem.substr(0, stem.find_first_of(L".:"));
    return stem.size() == 3 && (stem[0] | 0x20) == L'n' && (stem[1] | 0x20) == L'u' && (stem[2] | 0x20) == L'l';
}

// An output is a file on a disk, the null device or a pipe; a device (CON,
// COM1, PRN ...) is refused with ENODEV. A pipe without a reader cannot be
// opened at all on Windows.
int checked_output(int descriptor, const std::filesystem::path& path) {
    if (descriptor < 0) return -1;
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(descriptor));
    if (::GetFileType(handle) != FILE_TYPE_CHAR || names_null_device(path)) return descriptor;
    ::_close(descriptor);
    errno = ENODEV;
    return -1;
}

}  // namespace

void open_standard_streams() {
    for (int descriptor = 0; descriptor <= 2; ++descriptor) {
        const intptr_t handle = ::_get_osfhandle(descriptor);
        if (handle != -1 && handle != -2) continue;
        const int opened = ::_open("NUL", descriptor == 0 ? _O_RDONLY : _O_WRONLY);
        if (opened >= 0 && opened != descriptor) {
            ::_dup2(opened, descriptor);
            ::_close(opened);
        }
    }
}

int open_for_reading(const std::filesystem::path& path) {
    if (is_folder(path)) return -1;
    return ::_wopen(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}

int create_file(const std::filesystem::path& path) {
    if (is_folder(path)) return -1;
    return checked_output(
        ::_wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE),
        path);
}

int open_for_appending(const std::filesystem::path& path) {
    if (is_folder(path)) return -1;
    return checked_output(::_wopen(path.c_str(), _O_WRONLY | _O_APPEND | _O_BINARY | _O_NOINHERIT), path);
}

std::ptrdiff_t read(int descriptor, char* buffer, std::size_t size) {
    return ::_read(descriptor, buffer, static_cast<unsigned>(std::min<std::size_t>(size, INT_MAX)));
}

std::ptrdiff_t write(int descriptor, const char* data, std::size_t size) {
    return ::_write(descriptor, data, static_cast<unsigned>(std::min<std::size_t>(size, INT_MAX)));
}

int close(int descriptor) {
    return ::_close(descriptor);
}

namespace {

// The wait of both wait_readable: the keys' descriptor (-1: none) and,
// when given, a link.
int wait_readable(int descriptor, Link* link, int timeout_ms) {
    const auto handle = descriptor < 0 ? nullptr : reinterpret_cast<HANDLE>(::_get_osfhandle(descriptor));
    if (handle == INVALID_HANDLE_VALUE) {
        errno = EBADF;
        return -1;
    }
    const DWORD timeout = timeout_ms < 0 ? INFINITE : static_cast<DWORD>(timeout_ms);
    HANDLE watched = nullptr;
    switch (handle == nullptr ? FILE_TYPE_UNKNOWN : ::GetFileType(handle)) {
        case FILE_TYPE_PIPE: {
            // A pipe signals nothing when bytes arrive: look into it, and
            // between looks wait briefly for a stop request (or the link).
            const ULONGLONG start = ::GetTickCount64();
            for (DWORD step = 1;; step = std::min<DWORD>(step * 2, 16)) {
                DWORD available = 0;
                // A pipe whose writer is gone fails here; the read then
                // sees the end.
                if (!::PeekNamedPipe(handle, nullptr, 0, nullptr, &available, nullptr) || available > 0) return 1;
                const ULONGLONG waited = ::GetTickCount64() - start;
                if (timeout != INFINITE && waited >= timeout) return 0;
                switch (wait_for(nullptr, link, step)) {
                    case WaitResult::ready: return 1;
                    case WaitResult::stopped: errno = EINTR; return -1;
                    case WaitResult::failed: errno = EIO; return -1;
                    case WaitResult::timed_out: break;
                }
            }
        }
        case FILE_TYPE_CHAR: {
            DWORD mode = 0;
            if (!::GetConsoleMode(handle, &mode)) return 1;  // NUL or a serial port
            watched = handle;
            break;
        }
        case FILE_TYPE_UNKNOWN:
            if (handle == nullptr) break;  // no keys: the link alone
            return 1;
        default:
            return 1;  // a plain file never waits
    }
    switch (wait_for(watched, link, timeout)) {
        case WaitResult::ready: return 1;
        case WaitResult::timed_out: return 0;
        case WaitResult::stopped: errno = EINTR; return -1;
        case WaitResult::failed: break;
    }
    errno = EIO;
    return -1;
}

}  // namespace

int wait_readable(int descriptor, int timeout_ms) {
    return wait_readable(descriptor, nullptr, timeout_ms);
}

int wait_readable(int descriptor, Link& link, int timeout_ms) {
    return wait_readable(descriptor, &link, timeout_ms);
}

void use_binary_mode(int descriptor) {
    ::_setmode(descriptor, _O_BINARY);
}

bool write_text(int descriptor, std::string_view utf8) {
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(descriptor));
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || !::GetConsoleMode(handle, &mode)) return write_all(descriptor, utf8);
    if (utf8.empty()) return true;
    const int size = static_cast<int>(std::min<std::size_t>(utf8.size(), INT_MAX));
    std::wstring text(static_cast<std::size_t>(::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0)), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, text.data(), static_cast<int>(text.size()));
    for (std::size_t done = 0; done < text.size();) {
        DWORD written = 0;
        const auto piece = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 8192));
        if (!::WriteConsoleW(handle, text.data() + done, piece, &written, nullptr) || written == 0) {
            errno = EIO;
            return false;
        }
        done += written;
    }
    return true;
}

bool standard_streams_are_console() {
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(STD_INPUT_HANDLE), &mode) &&
           ::GetConsoleMode(::GetStdHandle(STD_OUTPUT_HANDLE), &mode);
}

namespace {

// The console's input mode before the program started, kept where the
// control event handler can reach it.
HANDLE saved_input = INVALID_HANDLE_VALUE;
HANDLE saved_output = INVALID_HANDLE_VALUE;
DWORD saved_mode = 0;
std::atomic<bool> keys_taken{false};

}  // namespace

void take_raw_keys(int input, int output) {
    const auto input_handle = reinterpret_cast<HANDLE>(::_get_osfhandle(input));
    DWORD mode = 0;
    if (!::GetConsoleMode(input_handle, &mode)) return;
    saved_input = input_handle;
    saved_output = reinterpret_cast<HANDLE>(::_get_osfhandle(output));
    saved_mode = mode;
    keys_taken = true;
    // Key events one by one, no echo; Ctrl-C still interrupts, and a change
    // of the buffer's size is an event that redraws.
    ::SetConsoleMode(input_handle, ENABLE_PROCESSED_INPUT | ENABLE_WINDOW_INPUT);
}

void give_back_keys() {
    if (!keys_taken.exchange(false)) return;
    ::FlushConsoleInputBuffer(saved_input);
    ::SetConsoleMode(saved_input, saved_mode);
}

void note_shown_rows(int) {}

namespace {

// When the first stop request came; a third one is taken as an order to
// end at once only after `patience_with_requests`.
std::atomic<ULONGLONG> first_request{0};

// The requests as reports name them.
constexpr StopRequest control_c{SIGINT, "Ctrl-C"};
constexpr StopRequest control_break{SIGBREAK, "Ctrl-Break"};
constexpr StopRequest window_closing{SIGTERM, "closing the console window"};

// Restores the console on the thread of the control event, before the
// process ends at once.
void give_back_keys_at_once() {
    if (!keys_taken.exchange(false)) return;
    ::SetConsoleMode(saved_input, saved_mode);
    ::FlushConsoleInputBuffer(saved_input);
    DWORD written = 0;
    ::WriteConsoleW(saved_output, L"\r\n", 2, &written, nullptr);
}

// Runs on a thread of its own, which the system starts for each event.
BOOL WINAPI on_control(DWORD event) {
    const StopRequest& request = event == CTRL_C_EVENT       ? control_c
                                 : event == CTRL_BREAK_EVENT ? control_break
                                                             : window_closing;
    const int count = note_signal(request);
    if (count == 1) first_request = ::GetTickCount64();
    const auto patience = static_cast<ULONGLONG>(std::chrono::milliseconds(patience_with_requests).count());
    if (count >= 3 && ::GetTickCount64() - first_request >= patience) {
        // Asked again and again: the way out is stuck (an output that does
        // not take its bytes). Restore the console here and end at once.
        give_back_keys_at_once();
        ::ExitProcess(STATUS_CONTROL_C_EXIT);
    }
    ::SetEvent(stop_event());
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) {
        // The window is closing and the system ends the process as soon as
        // this returns: give the program time to reach its way out and
        // close its files (the system allows a few seconds).
        ::Sleep(4000);
    }
    return TRUE;
}

}  // namespace

void install_stop_handlers() {
    ::SetConsoleCtrlHandler(on_control, TRUE);
}

void end_as_stopped(int) {
    // What a console program stopped by Ctrl-C ends with; cmd.exe knows it.
    ::ExitProcess(STATUS_CONTROL_C_EXIT);
}

}  // namespace platform
}  // namespace common
