// A program's identity: its name, the run of its dialogue and what --help
// says about it; and the suite's version and banner, which every program
// shows alike.
#pragma once

#include <cstdint>
#include <filesystem>
#include <limits>
#include <span>
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

// What the value of an option is. The shell checks it before the run
// starts: a value that is not of its kind is a usage error.
enum class OptionValue {
    none,      // a flag: given or not
    text,      // a line, as a file name is typed
    real,      // a number, "." its only decimal point
    whole,     // a whole number from `lowest` to `highest`
    menu_key,  // one digit from `lowest` to `highest`: the key of a one-key menu
};

// An option of a program. A program's options are a table beside its
// identity; an option answers the question named by its long name (the
// dialogue then does not ask it), or is a setting the program reads from
// the console's given answers (Console::given) under that name.
struct ProgramOption {
    char short_name = 0;
    std::string_view long_name;
    OptionValue value = OptionValue::none;
    // "N", "H": the value in the usage line and the help.
    std::string_view value_name = {};
    // What it gives, for --help: "the text height in metres".
    std::string_view help = {};
    std::int64_t lowest = std::numeric_limits<std::int64_t>::min();
    std::int64_t highest = std::numeric_limits<std::int64_t>::max();
    // Given more than once, each is one more answer to its question, in the
    // order given; otherwise the last one counts.
    bool repeats = false;
    // A value of its kind may yet be refused: one of a few baud rates, a
    // source in one of its forms. `refused` says what it must be.
    bool (*accepts)(std::string_view value) = nullptr;
    std::string_view refused = {};
};

// The arguments after the options, in order, each the answer to a file
// question: "REGISTER" answers "register".
struct ProgramOperand {
    std::string_view name;
    std::string_view question;
};

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
    std::span<const ProgramOption> options = {};
    std::span<const ProgramOperand> operands = {};
};

}  // namespace common
