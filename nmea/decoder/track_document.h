// The track document "GPS_CORE.kml": one placemark whose line string runs
// through every logged fix of the replay, in replay order.
#pragma once

#include <filesystem>

#include "common/text_writer.h"
#include "nmea/decoder/receiver_state.h"

namespace nmea {

class TrackDocument {
public:
    static constexpr std::string_view file_name = "GPS_CORE.kml";

    // Creates (or truncates) the file and writes the opening lines.
    explicit TrackDocument(const std::filesystem::path& folder);

    // One coordinate line for a logged fix.
    void add_point(const ReceiverState& state);

    // The closing lines; then the file is closed.
    void finish();

private:
    common::TextWriter file_;
};

}  // namespace nmea
