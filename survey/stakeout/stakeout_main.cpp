// stakeout: the program's identity (its name and what --help says about it)
// and its main(), the shared program shell over its dialogue.
#include "common/program.h"
#include "survey/stakeout/stakeout.h"

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
};

int main(int argc, char** argv) {
    return common::run_program(argc, argv, stakeout);
}
