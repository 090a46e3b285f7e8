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

void TrackDocument::add_point(const ReceiverState&) {}

void TrackDocument::finish() {
    file_.write_line();
    for (const std::string_view line : {"</coordinates>", "</LineString>", "</Placemark>", "</Document>", "</kml>"}) {
        file_.write_line(line);
    }
    file_.close();
}

}  // namespace nmea
