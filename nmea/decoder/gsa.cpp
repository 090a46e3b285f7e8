// GSA, dilutions and active satellites: shown, and the tail of the fix log
// line of the fix before it (the dilutions and, when the scatter is small,
// the deviations). Only the first GSA after a fix ends its line: the others
// of the epoch (one per constellation) update the dashboard alone.
//
// $GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39
//   A                 (not used)
//   3                 fix_mode_text              (69,15)
//   04,05,,09 ... 12  sat_id, satellite k        (27 + 4(k - 1), 18), only when not 0
//   2.5               pdop                       (49,8)
//   1.3               hdop                       (49,9)
//   2.1               vdop                       (49,10)
//                     fix log tail: hdop, vdop, std_dev_ns, std_dev_ew, std_dev_alt
#include "common/field_format.h"
#include "nmea/decoder/decoder.h"

namespace nmea {

void Decoder::handle_gsa() {
    ReceiverState& s = receiver_state;
    line_text.drop_through_comma();
    line_text.drop_through_comma();

    // Modes 1, 2 and 3; any other leaves the text, which is written again.
    switch (signed_value(line_text.first_character())) {
        case 1: s.fix_mode_text = "  No"; break;
        case 2: s.fix_mode_text = "  2D"; break;
        case 3: s.fix_mode_text = "  3D"; break;
        default: break;
    }
    line_text.drop_through_comma();
    show(69, 15, s.fix_mode_text);

    // An empty or zero id leaves its cell as it was (a GSV id, or an older
    // GSA id).
    for (int k = 1; k <= 12; ++k) {
        s.sat_id = static_cast<std::uint16_t>(unsigned_value(line_text.next_field()));
        if (s.sat_id != 0) show(27 + 4 * (k - 1), 18, common::integer(s.sat_id, 2));
    }

    s.pdop = read_shown(49, 8, 4, 1);
    s.hdop = read_shown(49, 9, 4, 1);
    s.vdop = read_shown(49, 10, 4, 1);

    fix_log.write_tail(s);
}

}  // namespace nmea
