// GGA, fix data: the one sentence that is recorded. It paces the replay,
// and each fix with a time of day goes to the fix log and the track, is
// counted and enters the position scatter.
//
// $GPGGA,123519.00,4807.0380,N,01131.0000,E,1,08,0.9,545.4,M,46.9,M,,*47
//   123519.00     utc_hours, utc_minutes, utc_seconds             (60,4) (63,4) (67,4)
//   4807.0380,N   lat_degrees, lat_minutes, lat_hemisphere        (27,8) (30,8) (38,8)
//   01131.0000,E  lon_degrees, lon_minutes, lon_hemisphere        (27,9) (30,9) (38,9)
//   1             quality_text                                    (69,14)
//   08            satellites_used                                 (59,17)
//   0.9           hdop                                            (49,9)
//   545.4,M       msl_altitude                                    (26,10)
//                 vertical_speed, vertical acceleration           (26,15) (37,15)
//   46.9,M        geoid_separation                                (26,11)
//   (empty)       correction_age                                  (69,24)
//   (empty)       station_id_text                                 (26,23)
//                 fix_count; time since the first fix             (26,6) (26,5)
//                 fix log front part, track point, ST_DEV
#include "common/field_format.h"
#include "nmea/decoder/decoder.h"

namespace nmea {

using common::fixed;
using common::integer;

namespace {

// Fix quality indicator 0 (also an empty field), 1 and 2; any other
// indicator leaves the text as it was.
void set_quality(std::string& quality_text, std::int64_t indicator) {
    switch (indicator) {
        case 0: quality_text = "  No"; break;
        case 1: quality_text = " GPS"; break;
        case 2: quality_text = "DGPS"; break;
        default: break;
    }
}

}  // namespace

void Decoder::handle_gga() {
    for (int i = 0; i < 4; ++i) pause();
    ReceiverState& s = receiver_state;
    line_text.drop_through_comma();

    read_utc_time();
    const bool has_latitude = read_latitude();
    const bool has_longitude = read_longitude();

    const std::int64_t quality = signed_value(line_text.first_character());
    set_quality(s.quality_text, quality);
    line_text.drop_through_comma();
    show(69, 14, s.quality_text);

    s.satellites_used = static_cast<std::uint8_t>(unsigned_value(line_text.next_field()));
    show(59, 17, integer(s.satellites_used, 2));
    s.hdop = read_shown(49, 9, 4, 1);
    s.msl_altitude = read_shown(26, 10, 9, 2);
    line_text.drop_through_comma();

    // A repeated time stamp (dt = 0) leaves the vertical speed and both
    // cells as they were.
    const double dt = seconds_between(s.previous_fix_hours, s.previous_fix_minutes, s.previous_fix_seconds,
                                      s.utc_hours, s.utc_minutes, s.utc_seconds);
    if (dt != 0) {
        s.vertical_speed = (s.msl_altitude - s.previous_altitude) / dt;
        common::FieldText speed = fixed(s.vertical_speed, 5, 1);
        speed.append(' ');
        show(26, 15, speed);
        show(37, 15, fixed((s.vertical_speed - s.previous_vertical_speed) / dt, 6, 1));
    }
    s.previous_altitude = s.msl_altitude;
    s.previous_vertical_speed = s.vertical_speed;
    s.previous_fix_hours = s.utc_hours;
    s.previous_fix_minutes = s.utc_minutes;
    s.previous_fix_seconds = s.utc_seconds;

    s.geoid_separation = read_shown(26, 11, 9, 2);
    line_text.drop_through_comma();
    s.correction_age = read_shown(69, 24, 2, 0);
    s.station_id_text = line_text.last_field();
    show(26, 23, s.station_id_text);
    satellite_view_.count_gga();

    // Only a fix with a time of day is logged; midnight exactly, or an empty
    // time field, is shown and nothing more.
    if (s.utc_hours * 3600 + s.utc_minutes * 60 + s.utc_seconds <= 0) return;
    fix_log.write_front(s);
    // The track gets only real positions: a receiver without a fix (quality
    // 0) reports zeros or nothing, and a sentence cut short lacks a
    // coordinate; neither is drawn through 0,0. The fix log keeps them all.
    if (quality != 0 && has_latitude && has_longitude) track_document.add_point(s);
    ++s.fix_count;
    show(26, 6, integer(s.fix_count, 11));
    ST_DEV();
    if (s.fix_count == 1) {
        s.first_fix_hours = s.utc_hours;
        s.first_fix_minutes = s.utc_minutes;
        s.first_fix_seconds = s.utc_seconds;
    } else {
        show(26, 5,
             fixed(seconds_between(s.first_fix_hours, s.first_fix_minutes, s.first_fix_seconds, s.utc_hours,
                                   s.utc_minutes, s.utc_seconds),
                   11, 0));
    }
}

}  // namespace nmea
