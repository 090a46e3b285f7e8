// logconvert: turns the log of the outside NMEA logger ("NMEA_Wsp.txt")
// into a recording that nmeadecode replays ("REC_COM.txt").
#pragma once

#include <filesystem>

#include "common/console.h"

namespace nmea {

// Asks for a key, converts the log group by group (four lines each: the
// time of reception, the sentence, two lines passed over) into recording
// lines, the sentence behind the 15-character PC clock prefix
// (" 12 34 56.789 -"), and waits for a key at the end.
int run_logconvert(common::Console& console, const std::filesystem::path& folder);

}  // namespace nmea
