#include "common/program.h"

#include <csignal>
#include <cstdio>
#include <exception>
#include <memory>
#include <unistd.h>

#include "common/cp1251.h"
#include "common/program_options.h"
#include "common/run_error.h"
#include "common/stream_console.h"
#include "common/terminal.h"

namespace common {

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

void install_signal_handlers() {
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a blocked read returns to check
    for (const int number : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(number, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    action.sa_handler = on_window_change;
    ::sigaction(SIGWINCH, &action, nullptr);
}

// The report takes the bottom row, cleared, so that it neither mixes with
// what a prompt row held nor covers the dashboard; a long one scrolls.
void show_report(Console& console, const std::string& report) {
    console.set_colour(7);
    console.go_to(1, Screen::rows);
    console.clear_to_end_of_line();
    console.write(report);
}

}  // namespace

int run_on_console(Console& console, const ProgramInfo& program, const std::filesystem::path& folder,
                   std::string* report) {
    RunError failure(0, "");
    try {
        return program.main(console, folder);
    } catch (const RunError& error) {
        failure = error;
    } catch (const std::bad_alloc&) {
        failure = RunError(203, "out of memory");
    }
    show_report(console, failure.report());
    if (report != nullptr) *report = failure.report();
    return failure.code();
}

int run_program(int argc, char** argv, const ProgramInfo& program) {
    if (const auto code = answer_program_options(argc, argv, program)) return *code;
    install_signal_handlers();
    const bool terminal = ::isatty(0) && ::isatty(1);
    std::unique_ptr<Console> console;
    if (terminal) {
        console = std::make_unique<TerminalConsole>();
    } else {
        console = std::make_unique<StreamConsole>();
    }
    int code = 0;
    std::string report;
    try {
        code = run_on_console(*console, program, ".", &report);
    } catch (const std::exception& error) {
        code = 255;
        report = std::string("Runtime error 255: ") + error.what();
    } catch (...) {
        code = 255;
        report = "Runtime error 255: unexpected failure";
    }
    if (const int failed = console->finish(); failed != 0) {
        const RunError error = file_error(failed, "cannot write", "the final screen");
        report = error.report();
        if (code == 0) code = failed;
    }
    console.reset();
    // Scripts see the report on standard error as well.
    if (!report.empty() && !terminal) std::fprintf(stderr, "%s: %s\n", std::string(program.name).c_str(), cp1251_to_utf8(report).c_str());
    if (const int number = pending_signal(); number != 0) {
        // End as killed by the signal, so that the caller sees it.
        std::signal(number, SIG_DFL);
        std::raise(number);
    }
    return code;
}

}  // namespace common
