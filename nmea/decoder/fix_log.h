// The fix log "GPS_CORE.txt": a fixed-column table with one line per
// receiver epoch. The GGA handler writes the front of a line (PC clock, UTC
// time, position, altitude); the GSA handler appends the dilutions and, when
// the scatter is small, the three deviations, and ends the line.
#pragma once

#include <filesystem>

#include "common/text_writer.h"
#include "nmea/decoder/receiver_state.h"

namespace nmea {

class FixLog {
public:
    static constexpr std::string_view file_name = "GPS_CORE.txt";

    // Creates (or truncates) the file and writes its three header lines.
    explicit FixLog(const std::filesystem::path& folder);

    // Columns 1 to 64, no line end.
    void write_front(const ReceiverState& state);
    // Columns 65 to 74, the deviations under their condition, and CR LF.
    void write_tail(const ReceiverState& state);

    // Nothing is written at closing: a pending front part stays without a
    // line end.
    void close() { file_.close(); }

private:
    common::TextWriter file_;
};

}  // namespace nmea
