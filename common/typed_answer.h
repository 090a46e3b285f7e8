// Numbers typed as answers on the console: keyboard line input read by the
// number rules of the text reader. An answer is the first token typed (an
// empty line waits for the next one); the rest of its line is discarded.
// An invalid answer raises runtime error 106, reported as typed on the
// "keyboard", without a line number.
#pragma once

#include <cstdint>

#include "common/console.h"

namespace common {

double read_real_answer(Console& console);
std::int64_t read_integer_answer(Console& console);
// Also 106 beyond the signed 32-bit range, never wrapped.
std::int32_t read_int32_answer(Console& console);

}  // namespace common
