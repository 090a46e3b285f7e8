// The three programs that turn point lists into KML documents.
#pragma once

#include <array>
#include <filesystem>
#include <string_view>

#include "common/console.h"
#include "common/program_info.h"

namespace kml {

// What --help says that kmlmarks_basic and kmlpath ask, read and write.
inline constexpr std::string_view numbered_list_asks =
    "the point list (*.txt), the document (*.kml) and the angle notation\n"
    "(1 degrees, 2 degrees and minutes, 3 degrees, minutes and seconds).";
inline constexpr std::string_view numbered_list_reads = "the point list.";
inline constexpr std::string_view numbered_list_writes = "the KML document, created or replaced.";

// The options and operands the three programs share: the angle notation,
// the point list and the document.
inline constexpr common::ProgramOption notation_option{
    .short_name = 'n',
    .long_name = "notation",
    .value = common::OptionValue::menu_key,
    .value_name = "N",
    .help = "the angle notation, 1 to 3",
    .lowest = 1,
    .highest = 3,
};
inline constexpr std::array<common::ProgramOperand, 2> list_operands{{{"LIST", "list"}, {"DOCUMENT", "document"}}};

// Placemarks for the points of a list in any notation and field order that
// lie inside the selection window of "Go_P.par".
int run_kmlmarks(common::Console& console, const std::filesystem::path& folder);
// Placemarks for every point of a numbered list (number, latitude, longitude).
int run_kmlmarks_basic(common::Console& console, const std::filesystem::path& folder);
// One path through the points of a numbered list, in list order.
int run_kmlpath(common::Console& console, const std::filesystem::path& folder);

}  // namespace kml
