#include "survey/register/dialogue.h"

#include "common/program.h"

namespace survey {

void show_first_screen(common::Console& console, std::span<const PlacedText> texts) {
    console.clear_screen();
    console.go_to(57, 3);
    console.write(common::suite_banner);
    for (const PlacedText& text : texts) {
        console.go_to(text.column, text.row);
        console.write(text.text);
    }
}

void show_end(common::Console& console, int row, std::string_view text) {
    console.go_to(30, row);
    console.write(text);
    console.final_key();
}

}  // namespace survey
