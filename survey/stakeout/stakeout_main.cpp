// stakeout: the program's identity (its name and what --help says about it)
// and its main(), the shared program shell over its dialogue.
#include "common/program.h"
#include "survey/stakeout/stakeout.h"

namespace {

constexpr common::ProgramInfo stakeout{
    .name = "stakeout",
    .main = survey::run_stakeout,
    .summary = "list directions and distances for staking out",
    .help = R"(Lists, for a station of a coordinate register, the direction in grads and the
horizontal distance to every register point within a radius.

Asks:    the register, the listing file, the station (a point number of the
         register) and the region radius in metres; then D at "Следваща
         станция  D/N" for another station, any other key to end.
Reads:   the register: point number, north, east and an optional elevation.
Writes:  the listing (Windows-1251, CR LF), extended when it exists.
)",
};

}  // namespace

int main(int argc, char** argv) {
    return common::run_program(argc, argv, stakeout);
}
