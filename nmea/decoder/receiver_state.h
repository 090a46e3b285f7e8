// Every value decoded from the recording, in one record for the whole run.
// Fields keep their last value until a sentence sets them again.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace nmea {

struct ReceiverState {
    // PC clock of the last line that carried a prefix (replay loop).
    std::uint16_t pc_hours = 0, pc_minutes = 0, pc_seconds = 0, pc_milliseconds = 0;

    // UTC time of day of the last time-bearing sentence (GGA, GLL, RMC, ZDA).
    double utc_hours = 0, utc_minutes = 0, utc_seconds = 0;

    // Position in whole degrees and minutes, with the hemisphere letters as
    // received (GGA, GLL, RMC).
    double lat_degrees = 0, lat_minutes = 0;
    double lon_degrees = 0, lon_minutes = 0;
    std::string lat_hemisphere, lon_hemisphere;

    // Fix quality or positioning mode shown under "mode:" (GGA, GLL, VTG).
    std::string quality_text;

    // GGA.
    std::uint8_t satellites_used = 0;
    double hdop = 0;  // also GSA
    double msl_altitude = 0;
    double geoid_separation = 0;
    double correction_age = 0;
    std::string station_id_text;
    double vertical_speed = 0, previous_vertical_speed = 0;
    double previous_altitude = 0;
    double previous_fix_hours = 0, previous_fix_minutes = 0, previous_fix_seconds = 0;
    double first_fix_hours = 0, first_fix_minutes = 0, first_fix_seconds = 0;
    std::int32_t fix_count = 0;

    // Position scatter: the last 16 logged positions (latitude and longitude
    // in decimal degrees, altitude), oldest first.
    std::array<std::array<double, 3>, 16> position_window{};
    double std_dev_ns = 0, std_dev_ew = 0, std_dev_alt = 0;

    // GSA.
    double pdop = 0, vdop = 0;
    std::string fix_mode_text;

    // GSV; the satellite working values are shared with GSA.
    std::uint8_t satellites_in_view = 0, gsv_message_number = 0;
    std::uint16_t sat_id = 0, sat_elevation = 0, sat_azimuth = 0, sat_snr = 0;

    // RMC and VTG.
    double ground_speed = 0, previous_ground_speed = 0;
    double heading = 0, previous_heading = 0;
    double previous_rmc_hours = 0, previous_rmc_minutes = 0, previous_rmc_seconds = 0;

    // RMC and ZDA.
    double date_day = 0, date_month = 0, date_year = 0;
    // ZDA.
    double zone_hours = 0, zone_minutes = 0;

    // MSS.
    double beacon_signal_strength = 0, beacon_snr = 0, beacon_frequency = 0, beacon_bit_rate = 0;
};

// The three deviations of the last ST_DEV are all below 5 metres: the
// dashboard and the fix log show them only then (each with its own minimum
// count of fixes).
inline bool scatter_is_small(const ReceiverState& s) {
    constexpr double limit = 5;
    return s.std_dev_ns < limit && s.std_dev_ew < limit && s.std_dev_alt < limit;
}

// Seconds from an earlier UTC time of day to a later one. A difference below
// minus half a day is a crossing of midnight, so rates and durations stay
// right across it.
inline double seconds_between(double earlier_hours, double earlier_minutes, double earlier_seconds,
                              double hours, double minutes, double seconds) {
    constexpr double day = 86400;
    const double difference =
        (hours - earlier_hours) * 3600 + (minutes - earlier_minutes) * 60 + seconds - earlier_seconds;
    return difference < -day / 2 ? difference + day : difference;
}

}  // namespace nmea
