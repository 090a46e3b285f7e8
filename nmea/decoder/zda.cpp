// ZDA, time and date: the only source of the local zone.
//
// $GPZDA,201530.00,04,07,2002,00,00*60
//   201530.00  utc_hours, utc_minutes, utc_seconds (whole)  (60,4) (63,4) (67,4)
//   04         date_day                                     (26,4)
//   07         date_month                                   (29,4)
//   2002       date_year                                    (33,4)
//   00         zone_hours                                   (60,5)
//   00         zone_minutes                                 (63,5)
#include "common/field_format.h"
#include "nmea/decoder/decoder.h"

namespace nmea {

using common::fixed;

void Decoder::handle_zda() {
    ReceiverState& s = receiver_state;
    line_text.drop_through_comma();
    // Whole seconds in columns 67-68: columns 69-70 keep the decimals that
    // GGA, GLL or RMC wrote there.
    s.utc_hours = real_value(line_text.fixed_piece(1, 2));
    s.utc_minutes = real_value(line_text.fixed_piece(3, 2));
    s.utc_seconds = real_value(line_text.fixed_piece(5, 2));
    line_text.drop_through_comma();
    show(60, 4, fixed(s.utc_hours, 2, 0));
    show(63, 4, fixed(s.utc_minutes, 2, 0));
    show(67, 4, fixed(s.utc_seconds, 2, 0));

    s.date_day = real_value(line_text.next_field());
    show(26, 4, fixed(s.date_day, 2, 0));
    s.date_month = real_value(line_text.next_field());
    show(29, 4, fixed(s.date_month, 2, 0));
    s.date_year = real_value(line_text.next_field());
    show(33, 4, fixed(s.date_year, 4, 0));
    s.zone_hours = real_value(line_text.next_field());
    show(60, 5, fixed(s.zone_hours, 2, 0));
    s.zone_minutes = real_value(line_text.next_field());
    show(63, 5, fixed(s.zone_minutes, 2, 0));
}

}  // namespace nmea
