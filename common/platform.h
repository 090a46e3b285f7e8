// The operating system's part of the shared code: files of the working
// folder, the standard streams, waits on descriptors, the keys of a console
// window, and the user's requests to stop. platform_posix.cpp and
// platform_windows.cpp each implement the system's part of it (platform.cpp
// what is the same everywhere); the build compiles the one of the target
// system, so the shared code has no system calls and no #ifdefs of its own.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace common {

// Sleeps, waking early only for a stop request (which it then raises).
void sleep_for(std::chrono::microseconds length);

namespace platform {

// Standard input, output and error that are closed when the program starts
// are opened on the null device, before any file is opened: a file opened
// later must never become the keyboard or the screen.
void open_standard_streams();

// Files are C runtime descriptors on every system, read and written as
// bytes: CR LF and Ctrl-Z pass through untouched. On failure each returns
// -1 and leaves the system's error code in errno; a folder fails with
// EISDIR. An open that a stop request interrupts raises the stop.
int open_for_reading(const std::filesystem::path& path);
// Outputs are files (or the null device, which takes everything): an open
// never waits. A pipe that nobody reads fails with ENXIO, a device or a
// socket with ENODEV; a pipe with a reader is taken.
//
// Creates a file, or truncates the one that is there.
int create_file(const std::filesystem::path& path);
// Opens an existing file; writing continues after its end.
int open_for_appending(const std::filesystem::path& path);
// The count of bytes, 0 at the end, -1 on failure (errno EINTR when a
// signal or a stop request broke the wait).
std::ptrdiff_t read(int descriptor, char* buffer, std::size_t size);
std::ptrdiff_t write(int descriptor, const char* data, std::size_t size);
int close(int descriptor);

// Waits at most `timeout_ms` (-1: as long as it takes) until a read of the
// descriptor would not wait: 1 when it would not (bytes, or the end, are
// there), 0 when the time ran out, -1 on failure (errno EINTR when a signal
// or a stop request broke the wait). A plain file is always ready.
int wait_readable(int descriptor, int timeout_ms);

// --- Live sources: a receiver on a serial port or on the network -----------

// Why a link could not be made, or was lost: the system's error code and
// its text, as the reports and the dashboard's bottom row show them.
struct LinkFailure {
    int code = 0;
    std::string reason;
};

// A connection to a receiver, read without waiting. A TCP connection is
// made while the program waits on it (wait_readable below): until then it
// is `connecting`, and reads give nothing.
class Link {
public:
    Link() = default;
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;
    virtual ~Link() = default;

    // What came, without waiting: the count of bytes, 0 when nothing did;
    // -1 when the link is gone or could not be made (`failure` says why).
    virtual std::ptrdiff_t read(char* buffer, std::size_t size) = 0;
    virtual bool connecting() const = 0;
    // Sends a request (gpsd's WATCH); false when the link is gone.
    virtual bool send(std::string_view text) = 0;
    const LinkFailure& failure() const { return failure_; }

protected:
    LinkFailure failure_;
};

// The baud rates a serial port is opened at.
constexpr int baud_rates[] = {4800, 9600, 19200, 38400, 57600, 115200, 230400, 460800};

// Opens a serial port (a path; on Windows COM1 ... COM256) raw at 8N1 and
// `baud`, one of `baud_rates`. Nothing when it cannot be opened, or is no
// serial port; `failure` says why.
std::unique_ptr<Link> open_serial_port(const std::string& device, int baud, LinkFailure& failure);
// Starts a TCP connection to each address of `host` in turn. Nothing when
// the host has no address; `failure` says why.
std::unique_ptr<Link> connect_tcp(const std::string& host, const std::string& port, LinkFailure& failure);

// As wait_readable, and `link` too: 1 when the descriptor (-1: none) or the
// link has something (bytes, the end, a connection made or refused).
int wait_readable(int descriptor, Link& link, int timeout_ms);

// The PC clock: the local time of day.
struct ClockTime {
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    int milliseconds = 0;
};
ClockTime local_clock();

// Standard input and output carry the keys and the final screen as bytes.
void use_binary_mode(int descriptor);
// Writes all of `text`; false when the descriptor refuses (errno says why).
bool write_all(int descriptor, std::string_view text);
// Writes UTF-8 text for people to read (the final screen, a report): as
// bytes, but to a Windows console as characters, which it shows right in
// every code page. False when the output refuses it (errno says why).
bool write_text(int descriptor, std::string_view utf8);
// Whether both standard input and standard output are a terminal (a console
// window on Windows): then the window backend runs, otherwise the stream one.
bool standard_streams_are_console();

// The keys of a console window (the terminal of `input` and `output`) are
// taken raw for the window backend: one by one, without echo; Ctrl-C stays
// a stop request, and on Windows a change of the buffer's size comes as an
// event. They are given back as they were on every way out: by
// give_back_keys, and by the signal handlers before the process ends at
// once. On a terminal a stop of the job (Ctrl-Z) gives them back with the
// colours reset and the cursor below the shown screen, and going on takes
// them again and notes the screen lost.
void take_raw_keys(int input, int output);
// A key left pending (the stop key of a replay) must not reach the shell:
// it is dropped. On a terminal the colours are reset and the cursor shown
// first.
void give_back_keys();
// The rows of the screen as the window shows it: where a stop of the job
// puts the cursor.
void note_shown_rows(int rows);

// The user's requests to stop (SIGINT, SIGTERM, SIGHUP, SIGQUIT; on
// Windows Ctrl-C, Ctrl-Break and closing the console window) only note the
// request (stop_request.h); the program stops at its next console operation
// or file read and completes its outputs on the way out. Requests repeated
// while it does so wait for it; only a third request more than 2 seconds
// after the first restores the window and ends the process at once.
// Signals that were ignored when the program started (nohup) stay ignored.
//
// On a terminal, a stop of the job (SIGTSTP, Ctrl-Z) restores the terminal
// before the process stops, and going on (SIGCONT) takes the raw keys back
// and draws the whole screen anew. Windows has no such stop.
void install_stop_handlers();
// Ends the process the way the system shows a stop of that kind to the
// caller, once the program's way out has closed its files.
[[noreturn]] void end_as_stopped(int number);
// The wait that a third request may cut short.
constexpr std::chrono::seconds patience_with_requests{2};

}  // namespace platform
}  // namespace common
