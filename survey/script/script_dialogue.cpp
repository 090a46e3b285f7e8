#include "survey/script/script_dialogue.h"

#include "common/field_format.h"
#include "common/run_error.h"
#include "survey/register/coordinate_register.h"

namespace survey {

std::optional<CheckedRegister> open_checked_register(common::Console& console, const std::filesystem::path& folder,
                                                     int row, int message_row, std::string_view check_failed) {
    NamedFile file = ask_file_name(console, folder, answer_column, row);
    auto reader = open_input(console, file, message_row);
    if (!reader) return std::nullopt;
    if (const auto ordinal = register_check(*reader)) {
        show_count(console, 12, message_row, check_failed, *ordinal);
        console.final_key();
        return std::nullopt;
    }
    // The check read the file to its end: the records are read afresh.
    common::TextReader records = common::TextReader::open_or_fail(file.path, file.name);
    return CheckedRegister{std::move(file), std::move(records)};
}

int read_elevation_decimals(common::Console& console) {
    const std::int64_t value = common::read_integer_answer(console);
    if (value < 0) throw common::invalid_number(common::integer(value), "keyboard", 0);
    return value > 4 ? 4 : static_cast<int>(value);
}

}  // namespace survey
