#include "common/program_options.h"

namespace common {

std::optional<int> answer_program_options(int, char**, const ProgramInfo&) {
    return std::nullopt;
}

}  // namespace common
