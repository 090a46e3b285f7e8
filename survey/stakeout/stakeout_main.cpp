// stakeout: the program's identity (its name and what --help says about it)
// and its main(), the shared program shell over its dialogue.
#include <array>

#include "common/program.h"
#include "survey/stakeout/stakeout.h"

constexpr std::array<common::ProgramOption, 2> options{{
    {.short_name = 's',
     .long_name = "station",
     .value = common::OptionValue::whole,
     .value_name = "N",
     .help = "a station to list, in the order given; then no \"next\n"
             "station\" question",
     .lowest = -2147483648LL,
     .highest = 2147483647,
     .repeats = true},
    {.short_name = 'r',
     .long_name = "radius",
     .value = common::OptionValue::real,
     .value_name = "R",
     .help = "the region radius in metres, for every station"},
}};
constexpr std::array<common::ProgramOperand, 2> operands{{{"REGISTER", "register"}, {"LISTING", "listing"}}};

constexpr common::ProgramInfo stakeout{
    .name = "stakeout",
    .main = survey::run_stakeout,
    .summary = "list directions and distances for staking out",
    .does = "Lists, for a station of a coordinate register, the direction in grads and the\n"
            "horizontal distance to every register point within a radius.",
    .asks = "the register, the listing file, the station (a point number of the\n"
            "register) and the region radius in metres; then D at \"Следваща\n"
            "станция  D/N\" for another station, any other key to end.",
    .reads = "the register: point number, north, east and an optional elevation.",
    .writes = "the listing (Windows-1251, CR LF), extended when it exists.",
    .options = options,
    .operands = operands,
};

int main(int argc, char** argv) {
    return common::run_program(argc, argv, stakeout);
}
