// GSV, satellites in view: the satellite table. Message m of a cycle owns
// slots 4m - 3 .. 4m; it clears its block and fills the slots the count
// says are occupied. The table is only on the screen.
//
// $GPGSV,3,3,09,27,21,066,38*4D
//   3        number of messages (not used)
//   3        gsv_message_number (its first character)
//   09       satellites_in_view              (27,17)
//   27       sat_id of slot k                (c(k),18)      c(k) = 27 + 4(k - 1)
//   21       sat_elevation                   (c(k),19)
//   066      sat_azimuth                     (c(k) - 1,20)
//   38       sat_snr                         (c(k),21)
#include "common/field_format.h"
#include "nmea/decoder/decoder.h"

namespace nmea {

using common::integer;

void Decoder::handle_gsv() {
    ReceiverState& s = receiver_state;
    line_text.drop_through_comma();
    line_text.drop_through_comma();
    // Only the first character counts: "12" is message 1. Messages beyond
    // the third (satellites 13 on) have no place in the table.
    s.gsv_message_number = static_cast<std::uint8_t>(unsigned_value(line_text.first_character()));
    line_text.drop_through_comma();
    const int m = s.gsv_message_number;
    if (m < 1 || m > 3) return;

    const int block_column = 26 + 16 * (m - 1);
    for (int row = 18; row <= 21; ++row) show(block_column, row, "                ");
    s.satellites_in_view = static_cast<std::uint8_t>(unsigned_value(line_text.next_field()));
    show(27, 17, integer(s.satellites_in_view, 2));

    for (int k = 4 * m - 3; k <= 4 * m && s.satellites_in_view > k - 1; ++k) {
        const int column = 27 + 4 * (k - 1);
        s.sat_id = static_cast<std::uint16_t>(unsigned_value(line_text.next_field()));
        show(column, 18, integer(s.sat_id, 2));
        s.sat_elevation = static_cast<std::uint16_t>(unsigned_value(line_text.next_field()));
        show(column, 19, integer(s.sat_elevation, 2));
        s.sat_azimuth = static_cast<std::uint16_t>(unsigned_value(line_text.next_field()));
        show(column - 1, 20, integer(s.sat_azimuth, 3));
        // The SNR may be the last field of the message; an NMEA 4.10 signal
        // id after it does not hide it. An empty SNR (not tracked) shows 0.
        s.sat_snr = static_cast<std::uint16_t>(unsigned_value(line_text.next_field()));
        show(column, 21, integer(s.sat_snr, 2));
    }
}

}  // namespace nmea
