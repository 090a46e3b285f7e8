// MSS, beacon receiver status: the beacon block beside the GGA station id
// and correction age.
//
// $GPMSS,55,27,318.0,100,1*57
//   55     beacon_signal_strength   (49,23) scientific, two digits
//   27     beacon_snr               (49,24) scientific, two digits
//   318.0  beacon_frequency         (26,24)
//   100    beacon_bit_rate          (69,23)
//   1      channel (not used)
#include "common/field_format.h"
#include "nmea/decoder/decoder.h"

namespace nmea {

void Decoder::handle_mss() {
    ReceiverState& s = receiver_state;
    line_text.drop_through_comma();
    s.beacon_signal_strength = real_value(line_text.next_field());
    show(49, 23, common::scientific(s.beacon_signal_strength, 2));
    // Nine characters: on row 24 they reach into the "age of corr:" label.
    s.beacon_snr = real_value(line_text.next_field());
    show(49, 24, common::scientific(s.beacon_snr, 2));
    s.beacon_frequency = read_shown(26, 24, 5, 1);
    // The bit rate is also read right when the channel field is left out.
    s.beacon_bit_rate = read_shown(69, 23, 3, 0);
}

}  // namespace nmea
