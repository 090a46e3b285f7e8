#include "survey/dxf/dxfpoints.h"

#include <array>
#include <cerrno>
#include <string_view>

#include "common/cp1251.h"
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

std::string_view without_blanks_around(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

PointEntities::PointEntities(common::TextReader& drawing) : drawing_(drawing) {
    has_code_ = read_code();
}

// Reads the next group code line; false at the end of the drawing.
bool PointEntities::read_code() {
    if (drawing_.eof()) return false;
    const long line = drawing_.line_number();
    std::string_view text = drawing_.read_line();
    if (line == 1) {
        if (text.starts_with(binary_dxf)) {
            throw common::RunError(EINVAL, "cannot read \"" + common::printable_token(drawing_.name(), 255) +
                                               "\": binary DXF, save it as ASCII DXF");
        }
        if (text.starts_with(utf8_byte_order_mark)) text.remove_prefix(utf8_byte_order_mark.size());
    }
    const std::string_view code = without_blanks_around(text);
    if (common::parse_int32(code, code_)) return true;
    // Blank lines after the last pair end the drawing as its end does.
    if (code.empty() && drawing_.seek_eof()) return false;
    if (code.empty()) throw invalid_line(drawing_.name(), line, "no group code");
    throw common::invalid_number(code, drawing_.name(), line);
}

// The value line of code 10, 20 or 30 of a POINT: the whole line, blanks
// around it aside, is one number.
void PointEntities::take_coordinate() {
    bool& taken = code_ == 10 ? has_x_ : code_ == 20 ? has_y_ : has_z_;
    if (taken) {
        drawing_.skip_line();
        return;
    }
    const long line = drawing_.line_number();
    const std::string_view text = drawing_.read_line_text();
    // A line longer than a line buffer is never one number.
    const bool whole = drawing_.eoln();
    drawing_.skip_line();
    const std::string_view token = without_blanks_around(text);
    if (token.empty()) throw invalid_line(drawing_.name(), line, "no value");
    double value = 0;
    if (!whole || !common::parse_real(token, value)) throw common::invalid_number(token, drawing_.name(), line);
    (code_ == 10 ? point_.east : code_ == 20 ? point_.north : point_.elevation) = value;
    taken = true;
}

std::optional<PointEntity> PointEntities::close_entity() {
    if (!in_point_) return std::nullopt;
    const PointEntity entity{point_, has_x_ && has_y_};
    in_point_ = has_x_ = has_y_ = has_z_ = false;
    point_ = {};
    return entity;
}

std::optional<PointEntity> PointEntities::next() {
    // A group code whose value line is missing ends the drawing.
    while (has_code_ && !drawing_.eof()) {
        std::optional<PointEntity> closed;
        bool more = true;
        if (code_ == 0) {
            const std::string_view value = drawing_.read_line();
            more = value != "EOF";
            const bool point = value == "POINT";
            closed = close_entity();
            in_point_ = point;
        } else if (in_point_ && (code_ == 10 || code_ == 20 || code_ == 30)) {
            take_coordinate();
        } else {
            drawing_.skip_line();
        }
        has_code_ = more && read_code();
        if (closed) return closed;
    }
    has_code_ = false;
    return close_entity();
}

int run_dxfpoints(common::Console& console, const std::filesystem::path& folder) {
    show_first_screen(console, screen_texts);

    const NamedFile input = ask_file_name(console, folder, answer_column, 9);
    auto drawing = open_input(console, input, 23);
    if (!drawing) return 0;
    PointEntities entities(*drawing);
    const NamedFile output = ask_file_name(console, folder, answer_column, 11);
    common::TextWriter file = create_output(output, input);

    std::int64_t point_count = 0;
    std::int64_t skipped = 0;
    while (const auto entity = entities.next()) {
        if (entity->has_x_and_y) {
            write_register_point(file, entity->point);
            show_count(console, 64, 11, point_mark, ++point_count, 8);
        } else {
            show_count(console, 33, 13, skipped_points, ++skipped, 12);
        }
    }
    drawing.reset();
    file.close();

    show_end(console, 18, finished);
    return 0;
}

}  // namespace survey
