#include "common/program.h"
#include "nmea/decoder/decoder.h"

int main(int argc, char** argv) {
    return common::run_program(argc, argv, {"nmeadecode", nmea::run_nmeadecode});
}
