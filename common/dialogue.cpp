#include "common/dialogue.h"

#include <system_error>
#include <utility>

#include "common/cp1251.h"
#include "common/field_format.h"
#include "common/run_error.h"

namespace common {

namespace {
// The second character is the Latin capital H.
constexpr Cp1251Text file_not_found{" HЕ НАМИРА ФАЙЛ "};
}  // namespace

NamedFile named_file(const std::filesystem::path& folder, std::string name) {
    std::filesystem::path path = file_path(folder, name);
    return NamedFile{std::move(name), std::move(path)};
}

NamedFile ask_file_name(Console& console, const std::filesystem::path& folder, std::string_view question) {
    console.type_given(question);
    return named_file(folder, console.read_line());
}

NamedFile ask_file_name(Console& console, const std::filesystem::path& folder, std::string_view question,
                        int column, int row) {
    console.go_to(column, row);
    return ask_file_name(console, folder, question);
}

std::optional<TextReader> open_input(Console& console, const NamedFile& input, int message_row) {
    auto reader = TextReader::open(console, input.path, input.name);
    if (!reader) {
        console.go_to(28, message_row);
        console.write(file_not_found);
        console.write(input.name);
        console.final_key();
    }
    return reader;
}

void refuse_input_as_output(const NamedFile& output, const NamedFile& input, OutputIsInputWords words) {
    std::error_code not_there;
    if (!output.path.empty() && std::filesystem::equivalent(output.path, input.path, not_there)) {
        throw RunError(error_output_is_input, std::string(words.before_name) + printable_token(output.name, 255) +
                                                  std::string(words.after_name));
    }
}

TextWriter create_output(const NamedFile& output, const NamedFile& input) {
    refuse_input_as_output(output, input);
    return TextWriter::create(output.path, output.name);
}

void show_count(Console& console, int column, int row, std::string_view label, std::int64_t count, int width) {
    console.go_to(column, row);
    console.write(label);
    console.write(integer(count, width));
}

}  // namespace common
