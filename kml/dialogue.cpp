#include "kml/dialogue.h"

#include <cerrno>
#include <string>
#include <system_error>

#include "common/field_format.h"

namespace kml {

namespace {
// The second letter is the Latin H.
constexpr common::Cp1251Text not_found{" HЕ НАМИРА ФАЙЛ "};
}  // namespace

void line_ends(common::Console& console, int count) {
    for (int i = 0; i < count; ++i) console.write_line_end();
}

std::optional<common::TextReader> ask_point_list(common::Console& console, const std::filesystem::path& folder) {
    const std::string name = console.read_line();
    auto list = common::TextReader::open(common::file_path(folder, name), name);
    if (!list) {
        console.go_to(28, 24);
        console.write(not_found);
        console.write(name);
        console.final_key();
    }
    return list;
}

common::TextWriter ask_document(common::Console& console, const std::filesystem::path& folder,
                                const common::TextReader& point_list) {
    const std::string name = console.read_line();
    const std::filesystem::path path = common::file_path(folder, name);
    std::error_code not_there;
    if (std::filesystem::equivalent(path, common::file_path(folder, point_list.name()), not_there)) {
        throw common::RunError(EEXIST, "cannot create \"" + common::printable_token(name, 255) +
                                           "\": it is the point list being read");
    }
    return common::TextWriter::create(path, name);
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
