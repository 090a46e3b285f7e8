// The powers of ten, once for the number reading and the field formats.
#pragma once

#include <cstdint>

namespace common {

// The powers of ten that a double holds exactly.
inline constexpr double exact_powers_of_ten[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                 1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The powers of ten that 64 bits hold.
inline constexpr std::uint64_t powers_of_ten[] = {1,
                                                  10,
                                                  100,
                                                  1'000,
                                                  10'000,
                                                  100'000,
                                                  1'000'000,
                                                  10'000'000,
                                                  100'000'000,
                                                  1'000'000'000,
                                                  10'000'000'000,
                                                  100'000'000'000,
                                                  1'000'000'000'000,
                                                  10'000'000'000'000,
                                                  100'000'000'000'000,
                                                  1'000'000'000'000'000,
                                                  10'000'000'000'000'000,
                                                  100'000'000'000'000'000,
                                                  1'000'000'000'000'000'000,
                                                  10'000'000'000'000'000'000u};

}  // namespace common
