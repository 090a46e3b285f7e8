// GLL, geographic position: refreshes position, time and mode on the
// dashboard. Never logged, never counted, no pause.
//
// $GPGLL,4807.0380,N,01131.0000,E,123519.00,A,A*hh
//   4807.0380,N   lat_degrees, lat_minutes, lat_hemisphere  (27,8) (30,8) (38,8)
//   01131.0000,E  lon_degrees, lon_minutes, lon_hemisphere  (27,9) (30,9) (38,9)
//   123519.00     utc_hours, utc_minutes, utc_seconds       (60,4) (63,4) (67,4)
//   A             status (not used: V is shown like A)
//   A             quality_text                              (69,14)
#include "nmea/decoder/decoder.h"

namespace nmea {

void Decoder::handle_gll() {
    line_text.drop_through_comma();
    read_latitude();
    read_longitude();
    read_utc_time();
    // Without the mode field (before NMEA 0183 2.3) the status letter is
    // read as the mode: A shows " GPS", V shows "V".
    read_mode();
}

}  // namespace nmea
