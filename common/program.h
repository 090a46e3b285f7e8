// The main() shell shared by the nine programs: picks the console backend,
// runs the program, reports a runtime error, restores the terminal and
// returns the exit code.
#pragma once

#include <filesystem>

#include "common/console.h"
#include "common/program_info.h"

namespace common {

int run_program(int argc, char** argv, const ProgramInfo& program);

// Runs a program on a console of the caller's choice and shows a runtime
// error report on it, as the shell does; returns the exit code and, when
// asked, the report.
int run_on_console(Console& console, const ProgramInfo& program, const std::filesystem::path& folder,
                   std::string* report = nullptr);

}  // namespace common
