// The questions both script programs ask: the register, checked before it
// is used, and the decimals of the elevation labels.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

#include "common/console.h"
#include "common/dialogue.h"
#include "common/text_reader.h"
#include "survey/register/dialogue.h"
#include "survey/script/script_writer.h"

namespace survey {

// Every answer is typed at column 53 of its prompt's row.
constexpr int answer_column = 53;

// The register named, open at its start after the number check; no reader
// when the run ends at the question, with the exit code it ends with.
struct CheckedRegister {
    common::NamedFile file;
    std::optional<common::TextReader> reader;
    int exit_code = 0;
};

// Asks for the register at (answer_column, row), opens it and runs the
// number check over it. When it cannot be opened (exit_input_missing) or a
// token is not a number (error_invalid_numeric_format, as such a token
// ends a run elsewhere), the message (the missing-file message, or
// `check_failed` followed by the ordinal of the token and its line, "= 5,
// ред 2") stands at row `message_row` and the last key is answered.
CheckedRegister open_checked_register(common::Console& console, const std::filesystem::path& folder, int row,
                                      int message_row, std::string_view check_failed);

// The answers after the register that shape the script: its file, the text
// height in metres and the decimals of the elevation labels.
struct ScriptAnswers {
    common::NamedFile output;
    double text_height = 0;
    int elevation_decimals = 0;
};

// Creates the script (never the register itself), writes its header, the
// records that `write_records(script)` writes and its footer; then closes
// the register and the script.
template <typename WriteRecords>
void write_script(CheckedRegister& input, const ScriptAnswers& answers, WriteRecords&& write_records) {
    common::TextWriter file = common::create_output(answers.output, input.file);
    ScriptWriter script(file, answers.text_height, answers.elevation_decimals);
    script.write_header();
    write_records(script);
    script.write_footer();
    input.reader.reset();
    file.close();
}

// A record that is left out (too few numbers on its line, or a point number
// such as 12.0) writes nothing; the count of such records and the line of
// the last of them stay at (12, row), so that the surveyor can mend the
// register: "Пропуснати записи:      2   последният е на ред      4".
void show_left_out(common::Console& console, int row, std::int64_t count, long line);

// The decimals of the elevation label, typed on the keyboard: a whole number
// not below 0 (else runtime error 106); anything above 4 gives 4.
int read_elevation_decimals(common::Console& console);

}  // namespace survey
