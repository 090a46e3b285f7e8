// The steps that kmlmarks, kmlmarks_basic and kmlpath share: asking for the
// point list and the document, the conversion loop and the running count.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/console.h"
#include "common/cp1251.h"
#include "common/dialogue.h"
#include "common/run_error.h"
#include "common/stop_request.h"
#include "common/text_reader.h"
#include "common/text_writer.h"
#include "kml/documents.h"
#include "kml/point_list.h"

namespace kml {

inline constexpr common::Cp1251Text count_of_points{"Брой точки: "};

void line_ends(common::Console& console, int count);

// The point list, open, and the document's name.
struct ListAndDocument {
    common::TextReader point_list;
    common::NamedFile document;

    // Creates the document; an existing file of that name is replaced. Done
    // after the menus, the last answers that can be refused, so that a
    // refused answer never empties an existing file.
    common::TextWriter create_document() const { return common::TextWriter::create(document.path, document.name); }
};

// Asks for the point list after `list_prompt` and opens it, then for the
// document's name after `document_prompt` on the next row. When the list
// cannot be opened, " HЕ НАМИРА ФАЙЛ " and its name stand on row 24, the
// program waits for a key, and nothing is returned. The list's own name as
// the document would empty it before it is read: the run stops there
// instead.
std::optional<ListAndDocument> ask_files(common::Console& console, const std::filesystem::path& folder,
                                         std::string_view list_prompt, std::string_view document_prompt);

// The report of a record that could not be read, saying that the document
// ends before it.
common::RunError cut_short(const common::RunError& error);

// Writes the document's head, hands every record of the list to `take` and
// finishes the document. When a record cannot be read, the document still
// gets its closing lines, so that what was written stays a whole document,
// before the report goes on its way.
template <typename Take>
void convert_list(PointList& point_list, PointDocument& document, Take&& take) {
    document.write_head();
    PointRecord point_record;
    for (;;) {
        bool more = false;
        try {
            more = point_list.next(point_record);
        } catch (const common::RunError& error) {
            common::clean_up_on_the_way_out([&] { document.finish(); });
            throw cut_short(error);
        }
        if (!more) break;
        take(point_record);
    }
    document.finish();
}

}  // namespace kml
