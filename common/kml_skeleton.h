// The skeleton shared by the three KML documents of the suite (the track of
// a replay, placemarks and paths): the XML declaration, the kml start tag
// with its namespace and "<Document>"; no indentation, CR LF line ends;
// coordinates longitude first, each as x:0:6.
#pragma once

#include <string_view>

#include "common/field_format.h"
#include "common/text_writer.h"

namespace common {

// The OGC KML 2.2 namespace (track and path documents).
constexpr std::string_view kml_namespace_2_2 = "http://www.opengis.net/kml/2.2";

// "<?xml ...?>", "<kml xmlns="...">" and "<Document>", each on its own line.
inline void write_kml_head(TextWriter& document, std::string_view xml_namespace) {
    document.write_line("<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    document.write("<kml xmlns=\"");
    document.write(xml_namespace);
    document.write_line("\">");
    document.write_line("<Document>");
}

// "lon,lat" with six decimals each, no line end.
inline void write_coordinates(TextWriter& document, double longitude, double latitude) {
    document.write(fixed(longitude, 0, 6));
    document.write(',');
    document.write(fixed(latitude, 0, 6));
}

}  // namespace common
