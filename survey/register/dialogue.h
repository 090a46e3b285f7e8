// The first screen of the surveying programs: texts placed at fixed
// positions, file names typed at fixed columns, the missing-file message and
// the closing message.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "common/console.h"
#include "common/text_reader.h"
#include "common/text_writer.h"

namespace survey {

// A text of the screen at (column, row), Windows-1251.
struct PlacedText {
    int column;
    int row;
    std::string_view text;
};

// Writes the suite's name at (57, 3), then each text at its place.
void show_first_screen(common::Console& console, std::span<const PlacedText> texts);

// A file named by the user: the name as typed (Windows-1251) and its path in
// the working folder (empty for an empty name, which opens nothing).
struct NamedFile {
    std::string name;
    std::filesystem::path path;
};

// Reads a file name typed at (column, row).
NamedFile ask_file_name(common::Console& console, const std::filesystem::path& folder, int column, int row);

// Opens the file to read. When it cannot be opened (an empty name included),
// writes " HЕ НАМИРА ФАЙЛ " and the name at (28, message_row), waits for the
// last key and gives nothing: the program then ends with exit code 0.
std::optional<common::TextReader> open_input(common::Console& console, const NamedFile& input, int message_row);

// Refuses the file being read as the output, with an error report:
// creating it would empty the input before it is read. Asked at the name,
// before the questions that follow it.
void refuse_input_as_output(const NamedFile& output, const NamedFile& input);
// Creates (or truncates) the output file, the input refused as above. A
// program creates it after its last answer that can be refused, so that a
// refused answer never empties an existing file.
common::TextWriter create_output(const NamedFile& output, const NamedFile& input);

// Writes a label and a count right after it at (column, row): n:width.
void show_count(common::Console& console, int column, int row, std::string_view label, std::int64_t count,
                int width = 0);

// Writes the closing text at (30, row) and waits for the last key.
void show_end(common::Console& console, int row, std::string_view text);

}  // namespace survey
