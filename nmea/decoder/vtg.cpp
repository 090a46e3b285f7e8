// VTG, course and speed over ground: heading, horizontal speed and the mode
// under "mode:". The RMC rates never see these values.
//
// $GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A*25
//   054.7               heading                      (26,14)
//   T,034.4,M,005.5,N   (not used)
//   010.2               ground_speed = km/h / 3.6    (26,13)
//   K                   (not used)
//   A                   quality_text                 (69,14)
#include "common/field_format.h"
#include "nmea/decoder/decoder.h"

namespace nmea {

void Decoder::handle_vtg() {
    ReceiverState& s = receiver_state;
    line_text.drop_through_comma();
    s.heading = read_shown(26, 14, 5, 1);
    for (int i = 0; i < 5; ++i) line_text.drop_through_comma();
    s.ground_speed = real_value(line_text.next_field()) / 3.6;
    show(26, 13, common::fixed(s.ground_speed, 5, 1));
    // Without the mode field (before NMEA 0183 2.3) the unit letter K is
    // shown as the mode.
    read_mode();
}

}  // namespace nmea
