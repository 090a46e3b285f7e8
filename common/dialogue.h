// The dialogue steps that every program shares: naming a file, opening the
// input or saying that it is missing, refusing an output that is the input,
// and showing a count. The prompts, places and words stay each program's
// own; these steps are the same in all of them.
#pragma once

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/console.h"
#include "common/text_reader.h"
#include "common/text_writer.h"

namespace common {

// A file of the dialogue: its name as typed (or as the program fixes it),
// Windows-1251, which reports show; and its path in the working folder,
// empty for an empty name, which opens nothing.
struct NamedFile {
    std::string name;
    std::filesystem::path path;
};

NamedFile named_file(const std::filesystem::path& folder, std::string name);

// Reads a file name typed at the cursor, or at (column, row); `question`
// names it for an answer given as an argument ("register").
NamedFile ask_file_name(Console& console, const std::filesystem::path& folder, std::string_view question);
NamedFile ask_file_name(Console& console, const std::filesystem::path& folder, std::string_view question,
                        int column, int row);

// The exit code of a run that ends because its input is missing: the
// program said so in its own words and waited for the last key. A script
// must see the failure: the system's code for a missing file.
inline constexpr int exit_input_missing = ENOENT;

// Opens the input. When it cannot be opened (an empty name included),
// writes " HЕ НАМИРА ФАЙЛ " and the name at (28, message_row), waits for the
// last key and gives nothing: the program then ends with exit_input_missing.
std::optional<TextReader> open_input(Console& console, const NamedFile& input, int message_row);

// The one exit code of an output that is the input, in every program. The
// name is a wrong answer, not a fault of the system: the file is there and
// could be written. EACCES would send the user to the permissions and
// EEXIST would blame a file that exists, while outputs are replaced as a
// rule; EINVAL, an invalid argument, blames the answer, as the refusal of a
// binary drawing does.
inline constexpr int error_output_is_input = EINVAL;

// The words of that refusal around the output's name, in the program's
// terms: "cannot create "reg.txt": it is the file being read".
struct OutputIsInputWords {
    std::string_view before_name = "cannot create \"";
    std::string_view after_name = "\": it is the file being read";
};

// Stops the run with error_output_is_input when the output is the input
// (the same name, or a link to it): creating it would empty the input
// before it is read. Asked at the output's name, before the questions that
// follow it, so that nothing is written on the way.
void refuse_input_as_output(const NamedFile& output, const NamedFile& input, OutputIsInputWords words = {});

// Creates (or truncates) the output, the input refused as above. A program
// creates it after its last answer that can be refused, so that a refused
// answer never empties an existing file.
TextWriter create_output(const NamedFile& output, const NamedFile& input);

// Writes a label and a count right after it at (column, row): n:width.
void show_count(Console& console, int column, int row, std::string_view label, std::int64_t count, int width = 0);

}  // namespace common
