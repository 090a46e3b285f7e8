// The main() shell shared by the nine programs: picks the console backend,
// runs the program, reports a runtime error, restores the terminal and
// returns the exit code.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "common/console.h"

namespace common {

// The short name of the suite, shown in the banner of the dashboard and on
// the first screen of the surveying programs (14 characters).
constexpr std::string_view suite_banner = " surveykit 1.0";

using ProgramMain = int (*)(Console& console, const std::filesystem::path& folder);

struct ProgramInfo {
    std::string_view name;
    ProgramMain main;
};

int run_program(int argc, char** argv, const ProgramInfo& program);

// Runs a program on a console of the caller's choice and shows a runtime
// error report on it, as the shell does; returns the exit code and, when
// asked, the report.
int run_on_console(Console& console, const ProgramInfo& program, const std::filesystem::path& folder,
                   std::string* report = nullptr);

}  // namespace common
