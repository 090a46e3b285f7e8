// The track document "GPS_CORE.kml": one placemark whose line string runs
// through every logged fix of the replay, in replay order.
#pragma once

#include "common/text_writer.h"
#include "nmea/decoder/receiver_state.h"

namespace nmea {

class TrackDocument {
public:
    // Writes the opening lines into the new file.
    explicit TrackDocument(common::TextWriter file);

    // One coordinate line for a logged fix.
    void add_point(const ReceiverState& state);

    // Writes what is buffered through to the file (a live run, once a
    // pass).
    void flush() { file_.flush(); }

    // The closing lines; then the file is closed.
    void finish();

private:
    common::TextWriter file_;
};

}  // namespace nmea
