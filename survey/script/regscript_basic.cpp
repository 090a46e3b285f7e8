// regscript_basic: the fixed layout, number, north, east and an optional
// elevation at the end of the line.
#include <array>

#include "common/cp1251.h"
#include "common/typed_answer.h"
#include "survey/register/coordinate_register.h"
#include "survey/script/regscript.h"
#include "survey/script/script_dialogue.h"
#include "survey/script/script_writer.h"

namespace survey {

namespace {

constexpr common::Cp1251Text title{"      { номер  север  изток (надм.вис.) } - към AutoCAD Script."};
constexpr common::Cp1251Text input_prompt{"                        Чете  от файл ? :"};
constexpr common::Cp1251Text output_prompt{"                        Пише във Файл ? :"};
constexpr common::Cp1251Text height_prompt{" Височина на букви в [м.] извън мащаб ? :"};
constexpr common::Cp1251Text decimals_prompt{"           Брой знаци след дес. точка ? :"};
constexpr common::Cp1251Text check_failed{"ГРЕШКА ВЪВ ФАЙЛА С КООРДИНАТИ. БРОЯЧ НА ЦИФРИ = "};
constexpr common::Cp1251Text point_mark{"т. "};
constexpr common::Cp1251Text finished{"Регистъра е завършен.  "};

constexpr std::array<PlacedText, 5> screen_texts{{
    {10, 6, title},
    {10, 9, input_prompt},
    {10, 11, output_prompt},
    {10, 13, height_prompt},
    {10, 15, decimals_prompt},
}};

void write_record(ScriptWriter& script, const RegisterPoint& point) {
    if (point.elevation == no_elevation) {
        script.write_plane_point(point);
        script.write_plane_circle(point);
        script.write_plane_number_label(point);
    } else {
        script.write_point(point);
        script.write_circle(point);
        script.write_number_label(point);
        script.write_elevation_label(point);
    }
}

}  // namespace

int run_regscript_basic(common::Console& console, const std::filesystem::path& folder) {
    show_first_screen(console, screen_texts);

    CheckedRegister input = open_checked_register(console, folder, 9, 23, check_failed);
    if (!input.reader) return input.exit_code;
    common::TextReader& reader = *input.reader;

    ScriptAnswers answers{common::ask_file_name(console, folder, "script", answer_column, 11)};
    common::refuse_input_as_output(answers.output, input.file);
    console.go_to(answer_column, 13);
    answers.text_height = common::read_real_answer(console, "height");
    console.go_to(answer_column, 15);
    answers.elevation_decimals = read_elevation_decimals(console);

    write_script(input, answers, [&](ScriptWriter& script) {
        // Blanks and blank lines after the last record end the register: no
        // record is attempted there.
        std::int64_t record_count = 0;
        std::int64_t left_out = 0;
        while (!reader.seek_eof()) {
            common::show_count(console, 65, 9, point_mark, ++record_count, 6);
            const RegisterRecord record = read_fixed_with_elevation(reader);
            if (record.kind == RegisterRecord::Kind::point) {
                write_record(script, record.point);
            } else {
                show_left_out(console, 21, ++left_out, record.line);
            }
        }
    });
    show_end(console, 18, finished);
    return 0;
}

}  // namespace survey
