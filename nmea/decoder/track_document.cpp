#include "nmea/decoder/track_document.h"

#include <utility>

#include "common/kml_skeleton.h"

namespace nmea {

TrackDocument::TrackDocument(common::TextWriter file) : file_(std::move(file)) {
    common::write_kml_head(file_, common::kml_namespace_2_2);
    common::write_line_string_opening(file_);
}

// "11.516667,48.117300": longitude first, signed by the hemisphere (S and W
// negative), as map viewers read it. 0 - x keeps a zero unsigned.
void TrackDocument::add_point(const ReceiverState& s) {
    const double latitude = s.lat_degrees + s.lat_minutes / 60;
    const double longitude = s.lon_degrees + s.lon_minutes / 60;
    common::write_coordinates(file_, s.lon_hemisphere == "W" ? 0.0 - longitude : longitude,
                              s.lat_hemisphere == "S" ? 0.0 - latitude : latitude);
    file_.line_end();
}

void TrackDocument::finish() {
    file_.write_line();
    common::write_line_string_closing(file_);
    file_.close();
}

}  // namespace nmea
