// Numbers typed as answers on the console: keyboard line input read by the
// number rules of the text reader. An answer is the first token typed (an
// empty line waits for the next one); the rest of its line is discarded.
//
// Each question is named (the long name of the option that answers it);
// an answer given as an argument is typed ahead (Console::type_given).
//
// With piped keys an invalid answer raises runtime error 106, reported as
// typed on the "keyboard", without a line number: a script fails fast. Typed
// by hand (Console::typed_by_hand), it is refused in place instead: a short
// note on the bottom row, the answer cleared and the same question again;
// and a decimal comma reads as a point there ("2,5" is 2.5), as people
// write decimals in the language of the screens.
#pragma once

#include <cstdint>
#include <limits>
#include <string_view>

#include "common/console.h"

namespace common {

double read_real_answer(Console& console, std::string_view question);
// A whole number; one below `lowest` is invalid as a token that is no
// number is.
std::int64_t read_integer_answer(Console& console, std::string_view question,
                                 std::int64_t lowest = std::numeric_limits<std::int64_t>::min());
// Also invalid beyond the signed 32-bit range, never wrapped.
std::int32_t read_int32_answer(Console& console, std::string_view question);

}  // namespace common
