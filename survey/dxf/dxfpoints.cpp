#include "survey/dxf/dxfpoints.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <string_view>

#include "common/cp1251.h"
#include "common/dialogue.h"
#include "common/run_error.h"
#include "common/text_writer.h"
#include "survey/register/dialogue.h"

namespace survey {

namespace {

constexpr common::Cp1251Text title{"           От AutoCAD *.DXF формат - към координатен регистър"};
constexpr common::Cp1251Text input_prompt{"                       Чете от  *.DXF  файл ? :"};
constexpr common::Cp1251Text output_prompt{"                       Пише  в  *.TXT  Файл ? :"};
constexpr common::Cp1251Text point_mark{"т. "};
constexpr common::Cp1251Text skipped_points{"Пропуснати точки без X или Y :"};
constexpr common::Cp1251Text finished{"Регистъра е завършен.  "};

constexpr std::array<PlacedText, 3> screen_texts{{
    {10, 6, title},
    {5, 9, input_prompt},
    {5, 11, output_prompt},
}};

constexpr int answer_column = 54;

// A binary DXF starts with this line; the pairs that follow are no text.
constexpr std::string_view binary_dxf = "AutoCAD Binary DXF";
constexpr std::string_view utf8_byte_order_mark = "\xEF\xBB\xBF";

// The usual code line, one to three characters, digits right-aligned after
// blanks ("  0", " 10", "100", "8"), read without a branch per character:
// every other line of a drawing is a code line.
bool short_group_code(std::string_view line, std::int32_t& code) {
    const std::size_t size = line.size();
    if (size == 0 || size > 3) return false;
    // Right-aligned in three characters, the missing ones blanks.
    const char c0 = size == 3 ? line[0] : ' ';
    const char c1 = size >= 2 ? line[size - 2] : ' ';
    const char c2 = line[size - 1];
    const unsigned d0 = static_cast<unsigned char>(c0) - '0';
    const unsigned d1 = static_cast<unsigned char>(c1) - '0';
    const unsigned d2 = static_cast<unsigned char>(c2) - '0';
    const bool b0 = c0 == ' ';
    const bool b1 = c1 == ' ';
    // Digits or leading blanks only, and the last one a digit.
    if ((d2 > 9) | ((d1 > 9) & !b1) | ((d0 > 9) & !b0) | (b1 & !b0)) return false;
    code = static_cast<std::int32_t>((b0 ? 0 : d0 * 100) + (b1 ? 0 : d1 * 10) + d2);
    return true;
}

std::string_view without_blanks_around(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

PointEntities::PointEntities(common::TextReader& drawing) : drawing_(drawing) {
    if (drawing_.eof()) return;
    // The first line tells a binary drawing, and may carry a byte order mark.
    std::string_view text = drawing_.read_line();
    if (text.starts_with(binary_dxf)) {
        throw common::RunError(EINVAL, "cannot read \"" + common::printable_token(drawing_.name(), 255) +
                                           "\": binary DXF, save it as ASCII DXF");
    }
    if (text.starts_with(utf8_byte_order_mark)) text.remove_prefix(utf8_byte_order_mark.size());
    has_code_ = code_line(text, 1);
}

// Reads the next group code line; false at the end of the drawing.
bool PointEntities::read_code() {
    const long line = drawing_.line_number();
    const std::string_view text = drawing_.read_line();
    if (short_group_code(text, code_)) return true;
    return code_line(text, line);
}

bool PointEntities::code_line(std::string_view text, long line) {
    const std::string_view code = without_blanks_around(text);
    if (common::parse_int32(code, code_)) return true;
    // Blank lines after the last pair end the drawing as its end does.
    if (code.empty() && drawing_.seek_eof()) return false;
    if (code.empty()) throw invalid_line(drawing_.name(), line, "no group code");
    throw common::invalid_number(code, drawing_.name(), line);
}

// The value line of code 10, 20 or 30 of a POINT: a number, the rest of
// the line discarded.
void PointEntities::take_coordinate() {
    bool& taken = code_ == 10 ? has_x_ : code_ == 20 ? has_y_ : has_z_;
    if (!taken) {
        if (drawing_.seek_eoln()) throw invalid_line(drawing_.name(), drawing_.line_number(), "no value");
        (code_ == 10 ? point_.east : code_ == 20 ? point_.north : point_.elevation) = drawing_.read_real();
        taken = true;
    }
    drawing_.skip_line();
}

std::optional<PointEntity> PointEntities::close_entity() {
    if (!in_point_) return std::nullopt;
    const PointEntity entity{point_, has_x_ && has_y_};
    in_point_ = has_x_ = has_y_ = has_z_ = false;
    point_ = {};
    return entity;
}

std::optional<PointEntity> PointEntities::next() {
    while (has_code_) {
        if (code_ != 0) {
            if (!in_point_ || (code_ != 10 && code_ != 20 && code_ != 30)) {
                drawing_.skip_line();
            } else if (drawing_.eof()) {
                break;  // a coordinate's group code without its value
            } else {
                take_coordinate();
            }
            has_code_ = read_code();
            continue;
        }
        // Group code 0 ends the entity before it and starts the next one.
        const std::string_view value = drawing_.read_line();
        const bool point = value == "POINT";
        const bool end = value == "EOF";
        std::optional<PointEntity> closed = close_entity();
        in_point_ = point;
        has_code_ = !end && read_code();
        if (closed) return closed;
    }
    has_code_ = false;
    return close_entity();
}

int run_dxfpoints(common::Console& console, const std::filesystem::path& folder) {
    show_first_screen(console, screen_texts);

    const common::NamedFile input = common::ask_file_name(console, folder, "drawing", answer_column, 9);
    auto drawing = common::open_input(console, input, 23);
    if (!drawing) return common::exit_input_missing;
    PointEntities entities(*drawing);
    const common::NamedFile output = common::ask_file_name(console, folder, "register", answer_column, 11);
    common::TextWriter file = common::create_output(output, input);

    std::int64_t point_count = 0;
    std::int64_t skipped = 0;
    while (const auto entity = entities.next()) {
        if (entity->has_x_and_y) {
            write_register_point(file, entity->point);
            common::show_count(console, 64, 11, point_mark, ++point_count, 8);
        } else {
            common::show_count(console, 33, 13, skipped_points, ++skipped, 12);
        }
    }
    drawing.reset();
    file.close();

    show_end(console, 18, finished);
    return 0;
}

}  // namespace survey
