#include "survey/register/dialogue.h"

#include <cerrno>
#include <system_error>

#include "common/cp1251.h"
#include "common/field_format.h"
#include "common/program.h"
#include "common/run_error.h"

namespace survey {

namespace {
// The second character is the Latin capital H.
constexpr common::Cp1251Text file_not_found{" HЕ НАМИРА ФАЙЛ "};
}  // namespace

void show_first_screen(common::Console& console, std::span<const PlacedText> texts) {
    console.clear_screen();
    console.go_to(57, 3);
    console.write(common::suite_banner);
    for (const PlacedText& text : texts) {
        console.go_to(text.column, text.row);
        console.write(text.text);
    }
}

NamedFile ask_file_name(common::Console& console, const std::filesystem::path& folder, int column, int row) {
    console.go_to(column, row);
    NamedFile file{console.read_line(), {}};
    file.path = common::file_path(folder, file.name);
    return file;
}

std::optional<common::TextReader> open_input(common::Console& console, const NamedFile& input, int message_row) {
    auto reader = common::TextReader::open(console, input.path, input.name);
    if (!reader) {
        console.go_to(28, message_row);
        console.write(file_not_found);
        console.write(input.name);
        console.final_key();
    }
    return reader;
}

void refuse_input_as_output(const NamedFile& output, const NamedFile& input) {
    std::error_code ignored;
    if (!output.path.empty() && std::filesystem::equivalent(output.path, input.path, ignored)) {
        throw common::RunError(EACCES, "cannot create \"" + common::printable_token(output.name, 255) +
                                           "\": it is the file being read");
    }
}

common::TextWriter create_output(const NamedFile& output, const NamedFile& input) {
    refuse_input_as_output(output, input);
    return common::TextWriter::create(output.path, output.name);
}

void show_count(common::Console& console, int column, int row, std::string_view label, std::int64_t count,
                int width) {
    console.go_to(column, row);
    console.write(label);
    console.write(common::integer(count, width));
}

void show_end(common::Console& console, int row, std::string_view text) {
    console.go_to(30, row);
    console.write(text);
    console.final_key();
}

}  // namespace survey
