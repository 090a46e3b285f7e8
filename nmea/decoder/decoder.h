// nmeadecode: replays a recording of NMEA 0183 sentences ("REC_COM.txt"),
// shows the receiver values on the dashboard, and writes the fix log
// "GPS_CORE.txt" and the track "GPS_CORE.kml".
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

#include "common/console.h"
#include "nmea/decoder/fields.h"
#include "nmea/decoder/fix_log.h"
#include "nmea/decoder/receiver_state.h"
#include "nmea/decoder/satellite_view.h"
#include "nmea/decoder/track_document.h"

namespace common {
struct NamedFile;
}

namespace nmea {

int run_nmeadecode(common::Console& console, const std::filesystem::path& folder);

// The recording and the two outputs, the fix log and the track document.
inline constexpr std::string_view recording_name = "REC_COM.txt";
inline constexpr std::string_view fix_log_name = "GPS_CORE.txt";
inline constexpr std::string_view track_document_name = "GPS_CORE.kml";

// An output that is the recording itself (a link to it) would empty it
// before a line of it is read, or while it is being recorded.
void refuse_the_recording_as_output(const std::filesystem::path& folder, const common::NamedFile& recording);

// The state of one replay: the receiver values, the line being processed and
// the two output files. The sentence handlers are members without arguments;
// each works on `line_text` and `receiver_state`.
class Decoder {
public:
    // Creates both output files; `delay` is the DELAY answer, the seconds
    // that each GGA sentence waits.
    Decoder(common::Console& console, const std::filesystem::path& folder, double delay);

    // Processes one recording line (at most 255 characters): the PC clock,
    // then the handler of its sentence tag.
    void process_line(std::string_view line);

    // Closes the fix log and finishes the track document.
    void close_outputs();
    // Writes what the outputs hold through to their files.
    void flush_outputs();

    const ReceiverState& state() const { return receiver_state; }

    void handle_gga();
    void handle_gll();
    void handle_gsa();
    void handle_gsv();
    void handle_mss();
    void handle_rmc();
    void handle_vtg();
    void handle_zda();

private:
    void show_pc_clock();
    // The replay pause before each GGA: four of these, each ended at once
    // by a key press (which then stops the replay after the line).
    void pause();
    // Writes a value field at (column, row) of the dashboard.
    void show(int column, int row, std::string_view text);
    void show(int column, int row, const common::FieldText& field) { show(column, row, field.view()); }
    // The step of most value fields: the next field read as a real number
    // and shown at (column, row) as x:width:decimals.
    double read_shown(int column, int row, int width, int decimals);
    // ST_DEV: the scatter of the last 16 logged positions.
    void ST_DEV();

    // Steps shared by GGA, GLL, RMC and ZDA: the time field (hhmmss.s; ZDA
    // whole seconds) and the latitude and longitude fields with their
    // hemisphere letters, read and then shown. A coordinate tells whether
    // its field and its hemisphere letter were both there, not empty.
    void read_utc_time(int second_width = 4, int second_decimals = 1);
    bool read_latitude();
    bool read_longitude();
    // Whole degrees of `degree_digits` digits, minutes (seven characters)
    // and the hemisphere letter, shown on `row`.
    bool read_coordinate(std::size_t degree_digits, int row, double& degrees, double& minutes,
                         std::string& hemisphere);
    // The positioning mode letter of GLL and VTG into `quality_text`, shown
    // under "mode:": the field after the one in front, or the one in front
    // when it is the last field (a sentence without the mode field).
    void read_mode();

    // The members the system names (receiver_state, line_text, fix_log,
    // track_document) keep their names; the others end in "_" as private
    // members do everywhere.
    common::Console& console_;
    ReceiverState receiver_state;
    LineText line_text;
    // The two letters after the "$" of the line: GSV groups are kept per
    // talker.
    Talker talker_{};
    SatelliteView satellite_view_;
    FixLog fix_log;
    TrackDocument track_document;
    // One pause: a quarter of the DELAY answer; 0 for none.
    std::chrono::microseconds pause_length_;
};

}  // namespace nmea
