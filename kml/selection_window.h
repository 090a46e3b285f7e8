// The selection window of kmlmarks: only points strictly inside it get a
// placemark. Its bounds come from the parameter file "Go_P.par" in the
// working folder, four numbers in decimal degrees separated by blanks, tabs
// or line ends, in the order lat_low lat_high lon_low lon_high; whatever
// follows the fourth number on its line is ignored:
//
//     41 44 22 29      latitudes 41..44, longitudes 22..29, bounds excluded
//
// Without the file the defaults stand (-1 91 -1 181): points a degree or
// more south of the equator or west of the prime meridian are left out.
#pragma once

#include <filesystem>
#include <string_view>

#include "kml/point_list.h"

namespace kml {

struct SelectionWindow {
    static constexpr std::string_view file_name = "Go_P.par";

    double lat_low = -1;
    double lat_high = 91;
    double lon_low = -1;
    double lon_high = 181;

    bool contains(const PointRecord& point) const {
        return lat_low < point.latitude && point.latitude < lat_high && lon_low < point.longitude &&
               point.longitude < lon_high;
    }
};

// The window of "Go_P.par" in `folder`, or the defaults when the file cannot
// be opened. A token that is not a number, or a file that ends before the
// fourth number, raises the invalid-number report.
SelectionWindow read_selection_window(const std::filesystem::path& folder);

}  // namespace kml
