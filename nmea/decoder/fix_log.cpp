#include "nmea/decoder/fix_log.h"

#include <utility>

#include "common/field_format.h"

namespace nmea {

namespace {

constexpr std::string_view header[] = {
    " PC clock,    UTC time,    Position                            , Quality   Standard Deviation     ",
    " ho mi sec    ho mi sec    latitude    h longitude    h elev     hdop vdop   N/S     E/W   Altit. ",
    " -- -- --.--- -- -- --.--- --.-------- - ---.-------- - -----.-- --.- --.- ---.--- ---.--- ---.---",
};

// A hemisphere field that a sentence cut short left out still takes its
// column.
void write_hemisphere(common::TextWriter& file, std::string_view letter) {
    if (letter.empty()) {
        file.write(' ');
    } else {
        file.write(letter);
    }
}

}  // namespace

FixLog::FixLog(common::TextWriter file) : file_(std::move(file)) {
    for (const std::string_view line : header) file_.write_line(line);
}

// " 12 35 20.125 12 35 19.000 48.11730000 N  11.51666667 E   545.40": the PC
// clock (13 blanks before the first prefixed line), the UTC time, the
// position in unsigned decimal degrees with the hemisphere letters as
// received, and the altitude. A number wider than its column shifts the rest
// of the line.
void FixLog::write_front(const ReceiverState& s) {
    using common::fixed;
    end_pending_line();
    if (s.pc_hours + s.pc_minutes + s.pc_seconds + s.pc_milliseconds > 0) {
        file_.write(common::integer(s.pc_hours, 3));
        file_.write(common::integer(s.pc_minutes, 3));
        file_.write(fixed(s.pc_seconds + s.pc_milliseconds / 1000.0, 7, 3));
    } else {
        file_.write("             ");
    }
    file_.write(fixed(s.utc_hours, 3, 0));
    file_.write(fixed(s.utc_minutes, 3, 0));
    file_.write(fixed(s.utc_seconds, 7, 3));
    file_.write(fixed(s.lat_degrees + s.lat_minutes / 60, 12, 8));
    file_.write(' ');
    write_hemisphere(file_, s.lat_hemisphere);
    file_.write(fixed(s.lon_degrees + s.lon_minutes / 60, 13, 8));
    file_.write(' ');
    write_hemisphere(file_, s.lon_hemisphere);
    file_.write(fixed(s.msl_altitude, 9, 2));
    front_pending_ = true;
}

// "  0.9  1.4", then the three deviations once more than 16 fixes are logged
// and the scatter is small, and the line end.
void FixLog::write_tail(const ReceiverState& s) {
    constexpr std::int32_t deviation_fix_count = 16;
    if (!front_pending_) return;
    file_.write(common::fixed(s.hdop, 5, 1));
    file_.write(common::fixed(s.vdop, 5, 1));
    if (scatter_is_small(s) && s.fix_count > deviation_fix_count) {
        file_.write(common::fixed(s.std_dev_ns, 8, 3));
        file_.write(common::fixed(s.std_dev_ew, 8, 3));
        file_.write(common::fixed(s.std_dev_alt, 8, 3));
    }
    file_.line_end();
    front_pending_ = false;
}

void FixLog::close() {
    end_pending_line();
    file_.close();
}

// A fix without dilutions: its line ends right after the altitude.
void FixLog::end_pending_line() {
    if (!front_pending_) return;
    file_.line_end();
    front_pending_ = false;
}

}  // namespace nmea
