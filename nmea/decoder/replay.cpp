// The start-up dialogue and the replay loop of nmeadecode.
#include <algorithm>
#include <array>
#include <cmath>

#include "common/dialogue.h"
#include "common/field_format.h"
#include "common/run_error.h"
#include "common/stop_request.h"
#include "common/typed_answer.h"
#include "nmea/decoder/dashboard.h"
#include "nmea/decoder/decoder.h"

namespace nmea {

namespace {

// The eight sentence handlers in the order in which they are tried. Every
// row is tried in turn, on what the previous handler left of the line.
struct SentenceHandler {
    std::string_view tag;
    void (Decoder::*handle)();
};

constexpr std::array<SentenceHandler, 8> sentence_handlers{{
    {"GGA", &Decoder::handle_gga},
    {"GLL", &Decoder::handle_gll},
    {"GSA", &Decoder::handle_gsa},
    {"GSV", &Decoder::handle_gsv},
    {"MSS", &Decoder::handle_mss},
    {"RMC", &Decoder::handle_rmc},
    {"VTG", &Decoder::handle_vtg},
    {"ZDA", &Decoder::handle_zda},
}};

// The DELAY answer is the seconds that each GGA sentence waits, spent as
// four pauses of a quarter each: 0.5 replays two fixes a second. A negative
// answer waits not at all, and more than a day is taken as a day, a typing
// error rather than a replay speed.
std::chrono::microseconds pause_length_of(double delay) {
    if (!(delay > 0)) return {};
    constexpr double longest = 86400;
    return std::chrono::microseconds(std::llround(std::min(delay, longest) * 250000));
}

// An output of the replay, created (or truncated) in the working folder.
common::TextWriter create_in(const std::filesystem::path& folder, std::string_view name) {
    return common::TextWriter::create(folder / name, std::string(name));
}

}  // namespace

void refuse_the_recording_as_output(const std::filesystem::path& folder, const common::NamedFile& recording) {
    for (const std::string_view output : {fix_log_name, track_document_name}) {
        common::refuse_input_as_output(common::named_file(folder, std::string(output)), recording);
    }
}

Decoder::Decoder(common::Console& console, const std::filesystem::path& folder, double delay)
    : console_(console),
      fix_log(create_in(folder, fix_log_name)),
      track_document(create_in(folder, track_document_name)),
      pause_length_(pause_length_of(delay)) {}

void Decoder::show(int column, int row, std::string_view text) {
    nmea::show(console_, column, row, text);
}

double Decoder::read_shown(int column, int row, int width, int decimals) {
    const double value = real_value(line_text.next_field());
    show(column, row, common::fixed(value, width, decimals));
    return value;
}

void Decoder::pause() {
    if (pause_length_.count() > 0) console_.delay(pause_length_);
}

void Decoder::show_pc_clock() {
    const ReceiverState& s = receiver_state;
    if (s.pc_hours + s.pc_minutes + s.pc_seconds + s.pc_milliseconds > 0) {
        show(60, 6, common::integer(s.pc_hours, 2));
        show(63, 6, common::integer(s.pc_minutes, 2));
        show(66, 6, common::fixed(s.pc_seconds + s.pc_milliseconds / 1000.0, 4, 1));
    } else {
        show(60, 6, "  ");
        show(63, 6, "  ");
        show(66, 6, "    ");
    }
}

void Decoder::process_line(std::string_view line) {
    // A line carries a PC clock prefix when its 15th character is "-":
    // hours, minutes, seconds and milliseconds in characters 2-3, 5-6, 8-9
    // and 11-13.
    if (line.size() >= 15 && line[14] == '-') {
        receiver_state.pc_hours = static_cast<std::uint16_t>(unsigned_value(line.substr(1, 2)));
        receiver_state.pc_minutes = static_cast<std::uint16_t>(unsigned_value(line.substr(4, 2)));
        receiver_state.pc_seconds = static_cast<std::uint16_t>(unsigned_value(line.substr(7, 2)));
        receiver_state.pc_milliseconds = static_cast<std::uint16_t>(unsigned_value(line.substr(10, 3)));
    }
    show_pc_clock();

    // The sentence tag follows the "$" and the two talker letters, whatever
    // the talker; a last line without "$" just loses its first two characters.
    const std::size_t dollar = line.find('$');
    const std::size_t tag_start = dollar == std::string_view::npos ? 2 : dollar + 3;
    const std::string_view talker_letters = line.substr(std::min(tag_start - 2, line.size()), 2);
    talker_ = {};
    std::copy(talker_letters.begin(), talker_letters.end(), talker_.begin());
    line_text = LineText(line.substr(std::min(tag_start, line.size())));

    for (const SentenceHandler& handler : sentence_handlers) {
        if (line_text.starts_with(handler.tag)) (this->*handler.handle)();
    }
}

void Decoder::close_outputs() {
    fix_log.close();
    track_document.finish();
}

void Decoder::flush_outputs() {
    fix_log.flush();
    track_document.flush();
}

int run_nmeadecode(common::Console& console, const std::filesystem::path& folder) {
    console.clear_screen();
    console.write_line_end();
    console.write_line_end();

    const common::NamedFile recording_file = common::named_file(folder, std::string(recording_name));
    auto recording = common::TextReader::open(console, recording_file.path, recording_file.name);
    if (!recording) {
        console.set_colour(12);
        console.write("     \"REC_COM.txt\" - source file must exist in directory ! ");
        console.final_line();
        return common::exit_input_missing;
    }

    console.set_colour(7);
    console.write("     DELAY on presentation of DATA ( 0.0 - 1.0 sec. ) ? ... ");
    console.set_colour(15);
    const double delay = common::read_real_answer(console, "delay");

    console.write_line_end();
    console.write_line_end();
    console.set_colour(7);
    console.write("     For START and STOP  press a key ...  ");
    // A delay given as an argument starts the replay at once.
    if (!console.given().has("delay")) console.read_key();

    refuse_the_recording_as_output(folder, recording_file);
    Decoder decoder(console, folder, delay);
    draw_frame(console);

    // A stop request (Ctrl-C, a closed window) ends the replay as the stop
    // key does: the outputs are closed whole.
    common::run_then_close(
        [&] {
            for (;;) {
                const std::string_view line = recording->read_line();
                const bool last = recording->eof();
                // Lines without a sentence are passed over at once, without
                // a look at the keyboard, unless they are the last line.
                if (line.find('$') == std::string_view::npos && !last) continue;
                decoder.process_line(line);
                if (console.key_pressed() || last) break;
            }
        },
        [&] { decoder.close_outputs(); });
    return 0;
}

}  // namespace nmea
