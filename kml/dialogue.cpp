#include "kml/dialogue.h"

#include <cerrno>
#include <string>
#include <system_error>
#include <utility>

#include "common/field_format.h"

namespace kml {

namespace {
// The second letter is the Latin H.
constexpr common::Cp1251Text not_found{" HЕ НАМИРА ФАЙЛ "};
}  // namespace

void line_ends(common::Console& console, int count) {
    for (int i = 0; i < count; ++i) console.write_line_end();
}

std::optional<ListAndDocument> ask_files(common::Console& console, const std::filesystem::path& folder,
                                         std::string_view list_prompt, std::string_view document_prompt) {
    console.write(list_prompt);
    const std::string list_name = console.read_line();
    auto point_list = common::TextReader::open(console, common::file_path(folder, list_name), list_name);
    if (!point_list) {
        console.go_to(28, 24);
        console.write(not_found);
        console.write(list_name);
        console.final_key();
        return std::nullopt;
    }

    console.write(document_prompt);
    const std::string name = console.read_line();
    const std::filesystem::path path = common::file_path(folder, name);
    std::error_code not_there;
    if (std::filesystem::equivalent(path, common::file_path(folder, list_name), not_there)) {
        throw common::RunError(EEXIST, "cannot create \"" + common::printable_token(name, 255) +
                                           "\": it is the point list being read");
    }
    return ListAndDocument{std::move(*point_list), name, path};
}

void show_count(common::Console& console, int column, int row, std::string_view label, std::int64_t count) {
    console.go_to(column, row);
    console.write(label);
    console.write(common::integer(count));
}

common::RunError cut_short(const common::RunError& error) {
    return common::RunError(error.code(), std::string(error.what()) + "; the list is cut short there");
}

}  // namespace kml
