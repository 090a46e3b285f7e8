#include "common/program.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <utility>
#include <vector>

#include "common/cp1251.h"
#include "common/platform.h"
#include "common/program_options.h"
#include "common/run_error.h"
#include "common/screen_renderer.h"
#include "common/stop_request.h"
#include "common/stream_console.h"

namespace common {

namespace {

// A report takes the bottom row, cleared, so that it neither mixes with
// what a prompt row held nor covers the dashboard; a long one scrolls, and
// so does the screen for each report after the first.
void show_report(Console& console, const std::string& report, bool first) {
    console.set_colour(7);
    if (first) {
        console.go_to(1, Screen::rows);
    } else if (console.screen().column() != 1) {
        console.write_line_end();
    }
    console.clear_to_end_of_line();
    console.write_value(report);
}

}  // namespace

int run_on_console(Console& console, const ProgramInfo& program, const std::filesystem::path& folder,
                   std::string* report) {
    int code = 0;
    std::vector<RunError> failures;
    try {
        code = program.main(console, folder);
    } catch (const RunError& error) {
        failures.push_back(error);
    } catch (const std::bad_alloc&) {
        failures.emplace_back(203, "out of memory");
    }
    // Failures found while closing on the way out come after the one that
    // stopped the run; alone, they are what the run ends with.
    for (RunError& late : take_late_failures()) failures.push_back(std::move(late));
    if (failures.empty()) return code;
    std::string reports;
    for (const RunError& failure : failures) {
        show_report(console, failure.report(), reports.empty());
        reports += (reports.empty() ? "" : "\n") + failure.report();
    }
    if (report != nullptr) *report = reports;
    return failures.front().code();
}

int run_program(int argc, char** argv, const ProgramInfo& program) {
    platform::open_standard_streams();
    ProgramArguments arguments;
    if (const auto code = read_program_options(argc, argv, program, arguments)) return *code;
    platform::install_stop_handlers();
    const bool terminal = !arguments.quiet && platform::standard_streams_are_console();
    std::unique_ptr<Console> console;
    if (terminal) {
        console = make_window_console();
    } else {
        console = std::make_unique<StreamConsole>(0, arguments.quiet ? -1 : 1);
        // The report on standard error ends its line as the screen does.
        platform::use_binary_mode(2);
    }
    console->give(std::move(arguments.answers));
    int code = 0;
    std::string report;
    try {
        code = run_on_console(*console, program, ".", &report);
    } catch (const std::exception& error) {
        code = 255;
        report = std::string("Runtime error 255: ") + error.what();
        show_report(*console, report, true);
    } catch (...) {
        code = 255;
        report = "Runtime error 255: unexpected failure";
        show_report(*console, report, true);
    }
    if (const int failed = console->finish(); failed != 0) {
        const RunError error = file_error(failed, "cannot write", "the final screen");
        report += (report.empty() ? "" : "\n") + error.report();
        if (code == 0) code = failed;
    }
    console.reset();
    // Scripts see the reports on standard error as well, each once, after
    // the program's name.
    if (!report.empty() && !terminal) {
        std::string lines;
        for (std::size_t start = 0; start < report.size();) {
            const std::size_t end = std::min(report.find('\n', start), report.size());
            lines += std::string(program.name) + ": " + report.substr(start, end - start) + "\n";
            start = end + 1;
        }
        platform::write_text(2, cp1251_to_utf8(lines));
    }
    if (const int number = pending_signal(); number != 0) platform::end_as_stopped(number);
    return code;
}

}  // namespace common
