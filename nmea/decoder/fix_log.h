// The fix log "GPS_CORE.txt": a fixed-column table with one line per
// logged fix. The GGA handler writes the front of a line (PC clock, UTC
// time, position, altitude); the next GSA appends the dilutions and, when
// the scatter is small, the three deviations, and ends the line. A line
// whose fix gets no GSA (a receiver that sends none) ends after the
// altitude, at the next fix or at closing; a GSA without a fix waiting for
// it (a second GSA of the epoch, one per constellation) writes nothing.
#pragma once

#include "common/text_writer.h"
#include "nmea/decoder/receiver_state.h"

namespace nmea {

class FixLog {
public:
    // Writes the three header lines into the new file.
    explicit FixLog(common::TextWriter file);

    // Columns 1 to 64, no line end; a front part still waiting for its
    // tail is ended first.
    void write_front(const ReceiverState& state);
    // Columns 65 to 74, the deviations under their condition, and CR LF;
    // nothing when no front part is waiting.
    void write_tail(const ReceiverState& state);

    // Writes what is buffered through to the file (a live run, once a
    // pass).
    void flush() { file_.flush(); }

    // Ends a waiting front part, so the last line is whole, and closes.
    void close();

private:
    void end_pending_line();

    common::TextWriter file_;
    bool front_pending_ = false;
};

}  // namespace nmea
