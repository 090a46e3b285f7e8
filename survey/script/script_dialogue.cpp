#include "survey/script/script_dialogue.h"

#include "common/cp1251.h"
#include "common/field_format.h"
#include "common/run_error.h"
#include "common/typed_answer.h"
#include "survey/register/coordinate_register.h"

namespace survey {

namespace {
constexpr common::Cp1251Text line_mark{", ред "};
constexpr common::Cp1251Text left_out_records{"Пропуснати записи: "};
constexpr common::Cp1251Text last_left_out{"   последният е на ред "};
}  // namespace

CheckedRegister open_checked_register(common::Console& console, const std::filesystem::path& folder, int row,
                                      int message_row, std::string_view check_failed) {
    CheckedRegister checked{common::ask_file_name(console, folder, "register", answer_column, row), std::nullopt};
    auto reader = common::open_input(console, checked.file, message_row);
    if (!reader) {
        checked.exit_code = common::exit_input_missing;
        return checked;
    }
    if (const auto bad = register_check(*reader)) {
        common::show_count(console, 12, message_row, check_failed, bad->ordinal);
        console.write(line_mark);
        console.write(common::integer(bad->line));
        console.final_key();
        checked.exit_code = common::error_invalid_numeric_format;
        return checked;
    }
    // The check read the file to its end: the records are read afresh.
    checked.reader = common::TextReader::open_or_fail(console, checked.file.path, checked.file.name);
    return checked;
}

void show_left_out(common::Console& console, int row, std::int64_t count, long line) {
    common::show_count(console, 12, row, left_out_records, count, 6);
    console.write(last_left_out);
    console.write(common::integer(line, 6));
}

int read_elevation_decimals(common::Console& console) {
    const std::int64_t value = common::read_integer_answer(console, "decimals", 0);
    return value > 4 ? 4 : static_cast<int>(value);
}

}  // namespace survey
