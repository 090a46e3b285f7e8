// The few command-line options every program answers before it starts its
// dialogue: --help and --version print a short text and end with 0. Without
// arguments, or with any others, a program runs as always.
#pragma once

#include <optional>

#include "common/program_info.h"

namespace common {

// The exit code when the arguments asked for a text, nothing otherwise.
std::optional<int> answer_program_options(int argc, char** argv, const ProgramInfo& program);

}  // namespace common
