// The three programs that turn point lists into KML documents.
#pragma once

#include <filesystem>

#include "common/console.h"

namespace kml {

// Placemarks for the points of a list in any notation and field order that
// lie inside the selection window of "Go_P.par".
int run_kmlmarks(common::Console& console, const std::filesystem::path& folder);
// Placemarks for every point of a numbered list (number, latitude, longitude).
int run_kmlmarks_basic(common::Console& console, const std::filesystem::path& folder);
// One path through the points of a numbered list, in list order.
int run_kmlpath(common::Console& console, const std::filesystem::path& folder);

}  // namespace kml
