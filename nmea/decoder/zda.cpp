// ZDA, time and date: the only source of the local zone.
//
// $GPZDA,201530.00,04,07,2002,00,00*60
//   201530.00  utc_hours, utc_minutes, utc_seconds (whole)  (60,4) (63,4) (67,4)
//   04         date_day                                     (26,4)
//   07         date_month                                   (29,4)
//   2002       date_year                                    (33,4)
//   00         zone_hours                                   (60,5)
//   00         zone_minutes                                 (63,5)
#include "nmea/decoder/decoder.h"

namespace nmea {

void Decoder::handle_zda() {
    ReceiverState& s = receiver_state;
    line_text.drop_through_comma();
    // Whole seconds in columns 67-68.
    read_utc_time(2, 0);

    s.date_day = read_shown(26, 4, 2, 0);
    s.date_month = read_shown(29, 4, 2, 0);
    s.date_year = read_shown(33, 4, 4, 0);
    s.zone_hours = read_shown(60, 5, 2, 0);
    s.zone_minutes = read_shown(63, 5, 2, 0);
}

}  // namespace nmea
