// ST_DEV: the scatter of the last 16 logged positions, called by GGA for
// every logged fix after it is counted.
//
//   lat_degrees + lat_minutes / 60   position_window[.][0]   std_dev_ns  (64,9)
//   lon_degrees + lon_minutes / 60   position_window[.][1]   std_dev_ew  (64,10)
//   msl_altitude                     position_window[.][2]   std_dev_alt (64,11)
//
// The window starts as 16 rows of zeros, so the deviations are large until
// 16 fixes have been logged. The hemisphere letters are not applied.
#include <cmath>

#include "common/field_format.h"
#include "nmea/decoder/decoder.h"

namespace nmea {

namespace {

constexpr double one_sixteenth = 0.0625;
// Metres per degree: one fixed value for longitude, whatever the latitude.
constexpr double metres_per_degree_latitude = 111100;
constexpr double metres_per_degree_longitude = 77700;
// The dashboard shows small deviations once more than 20 fixes are logged.
constexpr std::int32_t display_fix_count = 20;

}  // namespace

void Decoder::ST_DEV() {
    ReceiverState& s = receiver_state;
    auto& window = s.position_window;

    // Shift out the oldest row, put the new position in row 16, and sum.
    std::array<double, 3> sums{};
    for (std::size_t k = 0; k + 1 < window.size(); ++k) {
        window[k] = window[k + 1];
        for (std::size_t c = 0; c < 3; ++c) sums[c] += window[k][c];
    }
    window.back() = {s.lat_degrees + s.lat_minutes / 60, s.lon_degrees + s.lon_minutes / 60, s.msl_altitude};
    for (std::size_t c = 0; c < 3; ++c) sums[c] += window.back()[c];

    // Population deviations: divided by 16, not 15.
    std::array<double, 3> means{};
    for (std::size_t c = 0; c < 3; ++c) means[c] = sums[c] * one_sixteenth;
    std::array<double, 3> squares{};
    for (const auto& row : window) {
        for (std::size_t c = 0; c < 3; ++c) squares[c] += (row[c] - means[c]) * (row[c] - means[c]);
    }
    s.std_dev_ns = std::sqrt(squares[0] * one_sixteenth) * metres_per_degree_latitude;
    s.std_dev_ew = std::sqrt(squares[1] * one_sixteenth) * metres_per_degree_longitude;
    s.std_dev_alt = std::sqrt(squares[2] * one_sixteenth);

    if (scatter_is_small(s) && s.fix_count > display_fix_count) {
        show(64, 9, common::fixed(s.std_dev_ns, 7, 3));
        show(64, 10, common::fixed(s.std_dev_ew, 7, 3));
        show(64, 11, common::fixed(s.std_dev_alt, 7, 3));
    } else {
        show(64, 9, "       ");
        show(64, 10, "       ");
        show(64, 11, "       ");
    }
}

}  // namespace nmea
