// regscript: the layout menu, the register check and the record loop.
#include "survey/script/regscript.h"

#include <array>

#include "common/cp1251.h"
#include "common/field_format.h"
#include "common/typed_answer.h"
#include "survey/register/coordinate_register.h"
#include "survey/script/script_dialogue.h"
#include "survey/script/script_writer.h"

namespace survey {

namespace {

constexpr common::Cp1251Text choose_layout{"От изброените варианти на Координатен Регистър:"};
constexpr common::Cp1251Text layout_prompt{"                 Кой е вашият вариант ? :"};
constexpr common::Cp1251Text input_prompt{"                Вход  от файл (*.txt) ? :"};
constexpr common::Cp1251Text output_prompt{"               Изход към Файл (*.scr) ? :"};
constexpr common::Cp1251Text height_prompt{" Височина на текст в [м.] извън мащаб ? :"};
constexpr common::Cp1251Text decimals_prompt{"    Брой знаци след дес.точка за коти ? :"};
constexpr common::Cp1251Text check_failed{"ГРЕШКА В КООРДИНАТНИЯ ФАЙЛ. БРОЯЧ НА ЦИФРИ = "};
constexpr common::Cp1251Text point_mark{"т. "};
constexpr common::Cp1251Text finished{"Регистър - ЗАВЪРШЕН.  "};

// Every prompt is shown, also when its question is not asked.
constexpr std::array<PlacedText, 6> screen_texts{{
    {13, 5, choose_layout},
    {10, 17, layout_prompt},
    {10, 19, input_prompt},
    {10, 20, output_prompt},
    {10, 21, height_prompt},
    {10, 22, decimals_prompt},
}};

void show_screen(common::Console& console) {
    show_first_screen(console, screen_texts);
    // Layouts 1 to 4 on rows 7 to 10, 5 to 8 on rows 12 to 15.
    for (int number = 1; number <= layout_count; ++number) {
        console.go_to(13, number <= 4 ? 6 + number : 7 + number);
        console.write(register_layout(number).menu_text);
    }
}

void clear_answer(common::Console& console, int row) {
    console.go_to(answer_column, row);
    console.clear_to_end_of_line();
    console.go_to(answer_column, row);
}

// One key at a time, not echoed: a digit gives its value, any other key 0.
// The value is shown; a value outside 1..8 is cleared at once.
const RegisterLayout& choose_register_layout(common::Console& console) {
    console.type_given("layout");
    for (;;) {
        clear_answer(console, 17);
        const char key = console.read_key();
        const int value = key >= '0' && key <= '9' ? key - '0' : 0;
        clear_answer(console, 17);
        console.write(common::integer(value));
        if (value >= 1 && value <= layout_count) return register_layout(value);
    }
}

void write_record(ScriptWriter& script, const RegisterLayout& layout, const RegisterPoint& point) {
    // Without an elevation column the point is written with Z = 0 (the
    // point's elevation is 0 then), but the circle and label are plane.
    script.write_point(point);
    if (layout.has_number() && layout.has_elevation()) {
        script.write_circle(point);
        script.write_number_label(point);
        script.write_elevation_label(point);
    } else if (layout.has_number()) {
        script.write_plane_circle(point);
        script.write_plane_number_label(point);
    } else if (layout.has_elevation()) {
        script.write_circle(point);
        script.write_elevation_label(point);
    }
}

}  // namespace

int run_regscript(common::Console& console, const std::filesystem::path& folder) {
    show_screen(console);
    const RegisterLayout& layout = choose_register_layout(console);

    CheckedRegister input = open_checked_register(console, folder, 19, 24, check_failed);
    if (!input.reader) return input.exit_code;
    common::TextReader& reader = *input.reader;

    ScriptAnswers answers{common::ask_file_name(console, folder, "script", answer_column, 20)};
    common::refuse_input_as_output(answers.output, input.file);
    if (layout.has_number() || layout.has_elevation()) {
        console.go_to(answer_column, 21);
        answers.text_height = common::read_real_answer(console, "height");
    }
    if (layout.has_elevation()) {
        console.go_to(answer_column, 22);
        answers.elevation_decimals = read_elevation_decimals(console);
        clear_answer(console, 22);
        console.write(common::integer(answers.elevation_decimals, 1));
        console.write_line_end();
    }

    write_script(input, answers, [&](ScriptWriter& script) {
        // At least one record is attempted: a register of blank lines, or
        // blank lines after the last point, give one more that finds
        // nothing. That one and a record left out write nothing but are
        // still counted.
        std::int64_t record_count = 0;
        std::int64_t left_out = 0;
        do {
            const RegisterRecord record = read_in_layout(reader, layout);
            switch (record.kind) {
                case RegisterRecord::Kind::point: write_record(script, layout, record.point); break;
                // The elevation-less twin of an odd layout is the next one.
                case RegisterRecord::Kind::plane_point:
                    write_record(script, register_layout(layout.number + 1), record.point);
                    break;
                case RegisterRecord::Kind::left_out: show_left_out(console, 23, ++left_out, record.line); break;
                case RegisterRecord::Kind::end: break;
            }
            common::show_count(console, 68, 19, point_mark, ++record_count, 6);
        } while (!reader.eof());
    });
    show_end(console, 24, finished);
    return 0;
}

}  // namespace survey
