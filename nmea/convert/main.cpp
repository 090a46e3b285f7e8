#include "common/program.h"
#include "nmea/convert/log_converter.h"

int main(int argc, char** argv) {
    return common::run_program(argc, argv, {"logconvert", nmea::run_logconvert});
}
