// RMC, recommended minimum: time, position, speed, heading and date, and the
// only source of the horizontal acceleration and turning rate, each derived
// from this RMC and the one before it.
//
// $GPRMC,123519.00,A,4807.0380,N,01131.0000,E,022.4,084.4,230394,003.1,W*44
//   123519.00     utc_hours, utc_minutes, utc_seconds             (60,4) (63,4) (67,4)
//   A             status (not used: V is shown like A)
//   4807.0380,N   lat_degrees, lat_minutes, lat_hemisphere        (27,8) (30,8) (38,8)
//   01131.0000,E  lon_degrees, lon_minutes, lon_hemisphere        (27,9) (30,9) (38,9)
//   022.4         ground_speed = knots * 1.852 / 3.6              (26,13)
//                 horizontal acceleration                         (37,13)
//   084.4         heading                                         (26,14)
//                 turning rate                                    (37,14)
//   230394        date_day, date_month, date_year (two digits)    (26,4) (29,4) (33,4)
//   003.1,W ...   (not used)
#include <cmath>

#include "common/field_format.h"
#include "nmea/decoder/decoder.h"

namespace nmea {

using common::fixed;

namespace {

// A jump of this much in speed (m/s) or heading (degrees), as when the
// course passes north, leaves the previous rate on the screen.
constexpr double rate_guard = 100;

}  // namespace

void Decoder::handle_rmc() {
    ReceiverState& s = receiver_state;
    line_text.drop_through_comma();
    read_utc_time();
    line_text.drop_through_comma();
    read_latitude();
    read_longitude();

    s.ground_speed = real_value(line_text.next_field()) * 1.852 / 3.6;
    show(26, 13, fixed(s.ground_speed, 5, 1));
    // A repeated time stamp (interval 0) writes no rate but still moves the
    // previous speed and heading on.
    const double interval = seconds_between(s.previous_rmc_hours, s.previous_rmc_minutes, s.previous_rmc_seconds,
                                            s.utc_hours, s.utc_minutes, s.utc_seconds);
    if (interval != 0 && std::fabs(s.ground_speed - s.previous_ground_speed) < rate_guard) {
        show(37, 13, fixed((s.ground_speed - s.previous_ground_speed) / interval, 6, 1));
    }
    s.previous_ground_speed = s.ground_speed;

    s.heading = read_shown(26, 14, 5, 1);
    if (interval != 0 && std::fabs(s.heading - s.previous_heading) < rate_guard) {
        show(37, 14, fixed((s.heading - s.previous_heading) / interval, 6, 1));
    }
    s.previous_heading = s.heading;
    s.previous_rmc_hours = s.utc_hours;
    s.previous_rmc_minutes = s.utc_minutes;
    s.previous_rmc_seconds = s.utc_seconds;

    s.date_day = real_value(line_text.fixed_piece(1, 2));
    s.date_month = real_value(line_text.fixed_piece(3, 2));
    s.date_year = real_value(line_text.fixed_piece(5, 2));
    show(26, 4, fixed(s.date_day, 2, 0));
    show(29, 4, fixed(s.date_month, 2, 0));
    show(33, 4, fixed(s.date_year, 4, 0));
}

}  // namespace nmea
