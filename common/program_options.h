// The command line of every program, read once before its dialogue starts,
// by the table of options beside the program's identity (ProgramInfo), in
// the POSIX way: short options ("-t 2", "-t2", bundled flags "-qy"), long
// ones ("--height=2", "--height 2"), the operands after them, and "--"
// ending the options. Every program also takes -h/--help, --version and
// -q/--quiet.
#pragma once

#include <optional>

#include "common/given_answers.h"
#include "common/program_info.h"

namespace common {

// An unknown option, a value not of its kind, a missing value or an operand
// too many: one line on standard error, before any file is touched.
inline constexpr int exit_usage = 64;

struct ProgramArguments {
    GivenAnswers answers;
    // No screen at all: no final screen printed, the reports on standard
    // error.
    bool quiet = false;
};

// Reads the arguments into `arguments`. When they ask for a text (--help,
// --version) it is printed; when they are wrong the line saying so is
// printed on standard error. The exit code then, nothing when the program
// is to run.
std::optional<int> read_program_options(int argc, char** argv, const ProgramInfo& program,
                                        ProgramArguments& arguments);

// The help that --help prints.
std::string help_text(const ProgramInfo& program);

}  // namespace common
