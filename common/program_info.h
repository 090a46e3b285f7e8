// A program's identity: its name, the run of its dialogue and what --help
// says about it; and the suite's version and banner, which every program
// shows alike.
#pragma once

#include <filesystem>
#include <string_view>

namespace common {

class Console;

// The suite's version, "1.0.0", as --version prints it; and its short
// name, " surveykit 1.0" with the major and minor version, shown in the
// banner of the dashboard and on the first screen of the surveying programs
// (14 characters). Both come from the project's version in the build.
extern const std::string_view suite_version;
extern const std::string_view suite_banner;

using ProgramMain = int (*)(Console& console, const std::filesystem::path& folder);

// A program's identity, kept in its own folder beside its main(): its name,
// the run of its dialogue, and what --help says about it (the manual says
// the rest).
struct ProgramInfo {
    std::string_view name;
    ProgramMain main;
    // "name - summary" heads the help and the manual page alike.
    std::string_view summary = {};
    // What it does, a paragraph; then what it asks, reads and writes, each
    // after its label, a line end starting a line indented under the first.
    std::string_view does = {};
    std::string_view asks = {};
    std::string_view reads = {};
    std::string_view writes = {};
};

}  // namespace common
