// Steps that GGA, GLL and RMC share: the UTC time and the position, each
// read as fixed pieces of its field and shown in the same cells.
#include "common/field_format.h"
#include "nmea/decoder/decoder.h"

namespace nmea {

using common::fixed;

// 123519.00 -> utc_hours, utc_minutes, utc_seconds (whole seconds and one
// decimal) -> (60,4), (63,4), (67,4)
void Decoder::read_utc_time() {
    ReceiverState& s = receiver_state;
    s.utc_hours = real_value(line_text.fixed_piece(1, 2));
    s.utc_minutes = real_value(line_text.fixed_piece(3, 2));
    s.utc_seconds = real_value(line_text.fixed_piece(5, 4));
    line_text.drop_through_comma();
    show(60, 4, fixed(s.utc_hours, 2, 0));
    show(63, 4, fixed(s.utc_minutes, 2, 0));
    show(67, 4, fixed(s.utc_seconds, 4, 1));
}

// 4807.0380,N -> lat_degrees, lat_minutes (four decimals), lat_hemisphere
// -> (27,8), (30,8), (38,8)
void Decoder::read_latitude() {
    ReceiverState& s = receiver_state;
    s.lat_degrees = real_value(line_text.fixed_piece(1, 2));
    s.lat_minutes = real_value(line_text.fixed_piece(3, 7));
    line_text.drop_through_comma();
    s.lat_hemisphere = line_text.first_character();
    line_text.drop_through_comma();
    show(27, 8, fixed(s.lat_degrees, 2, 0));
    show(30, 8, fixed(s.lat_minutes, 7, 4));
    show(38, 8, s.lat_hemisphere);
}

// 01131.0000,E -> lon_degrees, lon_minutes, lon_hemisphere -> (27,9),
// (30,9), (38,9); three-digit degrees widen their cell to column 29.
void Decoder::read_longitude() {
    ReceiverState& s = receiver_state;
    s.lon_degrees = real_value(line_text.fixed_piece(1, 3));
    s.lon_minutes = real_value(line_text.fixed_piece(4, 7));
    line_text.drop_through_comma();
    s.lon_hemisphere = line_text.first_character();
    line_text.drop_through_comma();
    show(27, 9, fixed(s.lon_degrees, 2, 0));
    show(30, 9, fixed(s.lon_minutes, 7, 4));
    show(38, 9, s.lon_hemisphere);
}

}  // namespace nmea
