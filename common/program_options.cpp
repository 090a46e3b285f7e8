#include "common/program_options.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace common {

namespace {

// "Asks:    " and the text, its further lines under the first.
void append_field(std::string& text, std::string_view label, std::string_view field) {
    constexpr std::string_view indent = "         ";
    text.append(label).append(indent.substr(label.size()));
    for (const char c : field) {
        text += c;
        if (c == '\n') text.append(indent);
    }
    text += '\n';
}

std::string help_text(const ProgramInfo& program) {
    const std::string_view name = program.name;
    std::string text(name);
    if (!program.summary.empty()) text.append(" - ").append(program.summary);
    text.append("\n\nUsage: ").append(name).append("\n       ").append(name).append(" --help | --version\n\n");
    if (!program.does.empty()) {
        text.append(program.does).append("\n\n");
        append_field(text, "Asks:", program.asks);
        append_field(text, "Reads:", program.reads);
        append_field(text, "Writes:", program.writes);
        text += '\n';
    }
    text.append(
        "Start it without arguments in the folder that holds the data. It runs on an\n"
        "80 x 25 terminal; with keys piped in, it prints its final screen at the end.\n"
        "See \"man ");
    text.append(name).append("\" for the questions, the file formats, the messages and\nthe exit codes.\n");
    return text;
}

// A text that does not reach its reader is no answer: end with 1, as other
// tools do when their help cannot be written.
int print(std::string_view name, const std::string& text) {
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    if (std::fflush(stdout) == 0 && written) return 0;
    std::fprintf(stderr, "%s: cannot write to standard output\n", std::string(name).c_str());
    return 1;
}

}  // namespace

std::optional<int> answer_program_options(int argc, char** argv, const ProgramInfo& program) {
    // The first of the two options decides; every other argument is ignored,
    // as it always was, and so is everything after "--".
    for (int index = 1; index < argc; ++index) {
        const std::string_view argument = argv[index];
        if (argument == "--") break;
        if (argument == "--help") return print(program.name, help_text(program));
        if (argument == "--version") {
            return print(program.name, std::string(program.name) + " (surveykit) " + std::string(suite_version) + "\n");
        }
    }
    return std::nullopt;
}

}  // namespace common
