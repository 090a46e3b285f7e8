#include "kml/point_list.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "common/cp1251.h"
#include "common/field_format.h"
#include "common/run_error.h"

namespace kml {

void PointRecord::set_name(std::string_view name) {
    name_size_ = std::min(name.size(), max_name);
    std::memcpy(name_, name.data(), name_size_);
}

// A Windows-1251 name has a character in every byte; a UTF-8 one is cut
// before the character that straddles the cut, so that it stays UTF-8 and
// is not taken for Windows-1251 when it is written.
void PointRecord::end_at_whole_character(std::string_view rest) {
    const std::string_view name = this->name();
    for (std::size_t kept = 1; kept <= 3 && kept <= name.size(); ++kept) {
        // The bytes of the character that may start `kept` bytes before the
        // cut, with those that follow it.
        char bytes[4];
        const std::size_t size = std::min(sizeof bytes, kept + rest.size());
        std::memcpy(bytes, name.data() + name.size() - kept, kept);
        std::memcpy(bytes + kept, rest.data(), size - kept);
        char32_t character = 0;
        if (common::decode_utf8({bytes, size}, character) > kept) {
            const std::string_view whole = name.substr(0, name.size() - kept);
            if (common::is_valid_utf8(whole)) name_size_ = whole.size();
            return;
        }
    }
}

PointList::PointList(common::TextReader reader, AngleNotation angle_notation, FieldOrder field_order)
    : reader_(std::move(reader)),
      numbers_per_angle_(static_cast<char>(angle_notation) - '0'),
      numbered_(field_order == FieldOrder::number_latitude_longitude ||
                field_order == FieldOrder::number_longitude_latitude),
      latitude_first_(field_order == FieldOrder::number_latitude_longitude ||
                      field_order == FieldOrder::latitude_longitude_name) {}

double read_due_real(common::TextReader& reader) {
    if (reader.seek_eof()) throw common::invalid_number({}, reader.name(), reader.line_number());
    return reader.read_real();
}

// A minus on the degrees is the sign of the whole angle, as surveyors write
// southern and western points: -33 51 24.5 is 33 degrees 51 minutes 24.5
// seconds south. -0 30 carries it too (the token's sign survives in -0.0).
// Multiplying by the sign is exact, and without a branch the reading stays
// small enough to be inlined into the loop.
double PointList::read_angle() {
    const double degrees = read_due_real(reader_);
    if (numbers_per_angle_ == 1) return degrees;
    const double sign = std::copysign(1.0, degrees);
    const double minutes = read_due_real(reader_);
    if (numbers_per_angle_ == 2) return degrees + sign * (minutes / 60);
    const double seconds = read_due_real(reader_);
    return (degrees + sign * (minutes / 60)) + sign * (seconds / 3600);
}

bool PointList::next(PointRecord& point) {
    if (reader_.seek_eof()) return false;
    if (numbered_) point.number = reader_.read_int32();
    const double first = read_angle();
    const double second = read_angle();
    point.latitude = latitude_first_ ? first : second;
    point.longitude = latitude_first_ ? second : first;
    if (numbered_) {
        point.set_name(common::integer(point.number).view());
    } else {
        point.set_name(reader_.read_line_text());
        if (point.name().size() == PointRecord::max_name && !reader_.eoln()) {
            point.end_at_whole_character(reader_.read_line_text());
        }
    }
    reader_.skip_line();
    return true;
}

}  // namespace kml
