#include "kml/dialogue.h"

#include <string>
#include <utility>

namespace kml {

namespace {
constexpr common::OutputIsInputWords document_is_the_list{"cannot create \"", "\": it is the point list being read"};
}  // namespace

void line_ends(common::Console& console, int count) {
    for (int i = 0; i < count; ++i) console.write_line_end();
}

std::optional<ListAndDocument> ask_files(common::Console& console, const std::filesystem::path& folder,
                                         std::string_view list_prompt, std::string_view document_prompt) {
    console.write(list_prompt);
    const common::NamedFile list = common::ask_file_name(console, folder, "list");
    auto point_list = common::open_input(console, list, 24);
    if (!point_list) return std::nullopt;

    console.write(document_prompt);
    common::NamedFile document = common::ask_file_name(console, folder, "document");
    common::refuse_input_as_output(document, list, document_is_the_list);
    return ListAndDocument{std::move(*point_list), std::move(document)};
}

common::RunError cut_short(const common::RunError& error) {
    return common::RunError(error.code(), std::string(error.what()) + "; the list is cut short there");
}

}  // namespace kml
