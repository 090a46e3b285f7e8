// The dashboard: the static frame of labels drawn once at start-up, and the
// value fields that the replay loop and the sentence handlers overwrite in
// place. A value is written over whatever stands at its position, without
// clearing: a shorter text leaves the end of the earlier one visible.
#pragma once

#include <string_view>

#include "common/console.h"

namespace nmea {

constexpr int frame_colour_title = 15;
constexpr int frame_colour_label = 7;
constexpr int frame_colour_banner = 9;
constexpr int value_colour = 15;

// Draws the frame; the colour is 15 afterwards, for every value field.
void draw_frame(common::Console& console);

// Writes one value field: go to its position and write it. A value that
// needs more characters than its width widens to the right, but never past
// column 80: wrapped, it would overwrite the rows below, and on the last rows
// it would scroll the whole dashboard away.
inline void show(common::Console& console, int column, int row, std::string_view text) {
    console.go_to(column, row);
    console.write_value(text.substr(0, static_cast<std::size_t>(common::Screen::columns + 1 - column)));
}
inline void show(common::Console& console, int column, int row, const common::FieldText& field) {
    show(console, column, row, field.view());
}

}  // namespace nmea
