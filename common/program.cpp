#include "common/program.h"

#include <exception>
#include <memory>

#include "common/cp1251.h"
#include "common/platform.h"
#include "common/program_options.h"
#include "common/run_error.h"
#include "common/stream_console.h"

namespace common {

namespace {

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
    platform::install_stop_handlers();
    const bool terminal = platform::standard_streams_are_console();
    std::unique_ptr<Console> console;
    if (terminal) {
        console = platform::make_window_console();
    } else {
        console = std::make_unique<StreamConsole>();
        // The report on standard error ends its line as the screen does.
        platform::use_binary_mode(2);
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
    if (!report.empty() && !terminal) {
        platform::write_text(2, std::string(program.name) + ": " + cp1251_to_utf8(report) + "\n");
    }
    if (const int number = pending_signal(); number != 0) platform::end_as_stopped(number);
    return code;
}

}  // namespace common
