// Steps that GGA, GLL and RMC share: the UTC time and the position, each
// read as fixed pieces of its field and shown in the same cells; and the
// mode letter that GLL and VTG show under "mode:".
#include "common/field_format.h"
#include "nmea/decoder/decoder.h"

namespace nmea {

using common::fixed;

// 123519.00 -> utc_hours, utc_minutes, utc_seconds (whole seconds and one
// decimal) -> (60,4), (63,4), (67,4). The seconds piece is as wide as its
// cell: ZDA reads and shows whole seconds in columns 67-68, and columns
// 69-70 keep the decimals that GGA, GLL or RMC wrote there.
void Decoder::read_utc_time(int second_width, int second_decimals) {
    ReceiverState& s = receiver_state;
    s.utc_hours = real_value(line_text.fixed_piece(1, 2));
    s.utc_minutes = real_value(line_text.fixed_piece(3, 2));
    s.utc_seconds = real_value(line_text.fixed_piece(5, static_cast<std::size_t>(second_width)));
    line_text.drop_through_comma();
    show(60, 4, fixed(s.utc_hours, 2, 0));
    show(63, 4, fixed(s.utc_minutes, 2, 0));
    show(67, 4, fixed(s.utc_seconds, second_width, second_decimals));
}

// 4807.0380,N -> lat_degrees, lat_minutes (four decimals), lat_hemisphere
// -> (27,8), (30,8), (38,8)
bool Decoder::read_latitude() {
    ReceiverState& s = receiver_state;
    return read_coordinate(2, 8, s.lat_degrees, s.lat_minutes, s.lat_hemisphere);
}

// 01131.0000,E -> lon_degrees, lon_minutes, lon_hemisphere -> (27,9),
// (30,9), (38,9); three-digit degrees widen their cell to column 29.
bool Decoder::read_longitude() {
    ReceiverState& s = receiver_state;
    return read_coordinate(3, 9, s.lon_degrees, s.lon_minutes, s.lon_hemisphere);
}

bool Decoder::read_coordinate(std::size_t degree_digits, int row, double& degrees, double& minutes,
                              std::string& hemisphere) {
    const bool has_value = !line_text.field_is_empty();
    degrees = real_value(line_text.fixed_piece(1, degree_digits));
    minutes = real_value(line_text.fixed_piece(degree_digits + 1, 7));
    line_text.drop_through_comma();
    const bool has_hemisphere = !line_text.field_is_empty();
    // An empty letter field gives its comma as the letter.
    hemisphere = line_text.first_character();
    line_text.drop_through_comma();
    show(27, row, fixed(degrees, 2, 0));
    show(30, row, fixed(minutes, 7, 4));
    show(38, row, hemisphere);
    return has_value && has_hemisphere;
}

// A (autonomous), D (differential) and E (dead reckoning) have their
// four-character texts; any other letter is shown alone, so the three cells
// after it keep the end of the previous text. A sentence of before NMEA
// 0183 2.3 ends with the status (GLL) or the unit (VTG) where the mode
// would follow: that last letter is shown as the mode.
void Decoder::read_mode() {
    if (!line_text.at_last_field()) line_text.drop_through_comma();
    const std::string_view letter = line_text.first_character();
    std::string& quality = receiver_state.quality_text;
    if (letter == "A") {
        quality = " GPS";
    } else if (letter == "D") {
        quality = "DGPS";
    } else if (letter == "E") {
        quality = "  DR";
    } else {
        quality = letter;
    }
    show(69, 14, quality);
}

}  // namespace nmea
