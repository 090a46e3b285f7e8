// What the signal handlers (on Windows the console's control handler, on a
// thread of its own) note for the program's own flow: the user's requests
// to stop, and a screen that the terminal lost. Only lock-free atomics
// change here from a handler.
//
// A request to stop (SIGINT, SIGTERM, SIGHUP, SIGQUIT; on Windows Ctrl-C,
// Ctrl-Break and closing the console window) only sets a flag; the program
// stops at its next console operation or file read, through the same way
// out as a runtime error, so that its outputs are completed, flushed and
// closed and the terminal is restored. The process then ends by the first
// request.
#pragma once

#include <vector>

#include "common/run_error.h"

namespace common {

// A kind of request, as the system names it in a report ("signal SIGINT",
// "Ctrl-C"); the platform keeps one for each, for as long as the process
// lives.
struct StopRequest {
    int number;
    const char* name;
};

// Notes a request and returns how many have come, this one included; only
// the first one is kept.
int note_signal(const StopRequest& request);
// The number of the first request, 0 when none came.
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

// Runs `body`, then `close`, which completes the outputs; also on the way
// out of a stop request (Ctrl-C, a closed window), which ends a run as its
// own end does. Any other failure leaves them as far as they were written.
template <typename Body, typename Close>
void run_then_close(Body&& body, Close&& close) {
    try {
        body();
    } catch (const RunError&) {
        if (pending_signal() != 0) clean_up_on_the_way_out(close);
        throw;
    }
    close();
}

// The screen shown on the terminal was lost: its size changed (SIGWINCH),
// or the program comes back from a stop (SIGCONT). Noted by the signal
// handler; the wait that it interrupted shows the screen anew, and the
// presenter takes the request and draws every cell.
void note_screen_lost();
bool screen_lost();
bool take_screen_lost();

}  // namespace common
