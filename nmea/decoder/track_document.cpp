#include "nmea/decoder/track_document.h"

#include "common/kml_skeleton.h"

namespace nmea {

TrackDocument::TrackDocument(const std::filesystem::path& folder)
    : file_(common::TextWriter::create(folder / file_name, std::string(file_name))) {
    common::write_kml_head(file_, common::kml_namespace_2_2);
    file_.write_line("<Placemark>");
    file_.write_line("<LineString>");
    file_.write_line("<coordinates>");
    file_.write_line();
}

// "11.516667,48.117300": longitude first, signed by the hemisphere (S and W
// negative), as map viewers read it.
void TrackDocument::add_point(const ReceiverState& s) {
    const double latitude = s.lat_degrees + s.lat_minutes / 60;
    const double longitude = s.lon_degrees + s.lon_minutes / 60;
    common::write_coordinates(file_, s.lon_hemisphere == "W" ? -longitude : longitude,
                              s.lat_hemisphere == "S" ? -latitude : latitude);
    file_.line_end();
}

void TrackDocument::finish() {
    file_.write_line();
    for (const std::string_view line : {"</coordinates>", "</LineString>", "</Placemark>", "</Document>", "</kml>"}) {
        file_.write_line(line);
    }
    file_.close();
}

}  // namespace nmea
