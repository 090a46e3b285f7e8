// The first screen of the surveying programs: texts placed at fixed
// positions, the suite's name among them, and the closing message. The
// file names, the missing-file message and the counts are the shared
// dialogue steps of common/dialogue.h.
#pragma once

#include <span>
#include <string_view>

#include "common/console.h"

namespace survey {

// A text of the screen at (column, row), Windows-1251.
struct PlacedText {
    int column;
    int row;
    std::string_view text;
};

// Writes the suite's name at (57, 3), then each text at its place.
void show_first_screen(common::Console& console, std::span<const PlacedText> texts);

// Writes the closing text at (30, row) and waits for the last key.
void show_end(common::Console& console, int row, std::string_view text);

}  // namespace survey
