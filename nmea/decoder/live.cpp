// The live run of nmeadecode: one wait on the source and the keyboard
// together, the received lines through the decoder and into the recording,
// the source's troubles on the bottom row, and a source that went away
// opened again every second.
#include "nmea/decoder/live.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <fstream>
#include <memory>

#include "common/dialogue.h"
#include "common/field_format.h"
#include "common/platform.h"
#include "common/run_error.h"
#include "common/stop_request.h"
#include "common/text_writer.h"
#include "nmea/decoder/dashboard.h"
#include "nmea/decoder/decoder.h"

namespace nmea {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::seconds;

// A source that went away is opened again this often; a connection not made
// in `connect_patience` is given up and tried again.
constexpr seconds reopen_interval{1};
constexpr seconds connect_patience{10};
// Silence, or bytes without a sentence, for this long is shown.
constexpr seconds trouble_after{2};
// The recording line: the prefix " hh mm ss.sss -" and the sentence, at
// most a line of the replay.
constexpr std::size_t prefix_length = 15;
constexpr std::size_t sentence_room = common::TextReader::max_line - prefix_length;
constexpr int status_row = common::Screen::rows;
constexpr int source_row = 1;
constexpr int trouble_colour = 14;
constexpr int source_colour = 7;

constexpr std::string_view watch_request = "?WATCH={\"enable\":true,\"nmea\":true}\n";

// "[::1]:2947" or "host:2947": the host (without its brackets) and what
// follows its colon; the port is empty without one.
bool split_host_port(std::string_view text, std::string& host, std::string& port) {
    std::size_t colon;
    if (!text.empty() && text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos) return false;
        host = text.substr(1, close - 1);
        colon = close + 1;
        if (colon < text.size() && text[colon] != ':') return false;
    } else {
        colon = text.find(':');
        host = text.substr(0, colon);
    }
    port = colon < text.size() ? text.substr(colon + 1) : std::string_view();
    if (colon < text.size() && port.empty()) return false;
    return !host.empty();
}

bool valid_port(std::string_view port) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), value);
    return error == std::errc() && end == port.data() + port.size() && value >= 1 && value <= 65535;
}

// A line that looks like a sentence: "$", five letters or digits, a comma
// or the end. Bytes at a wrong baud rate hold a "$" now and then, never this.
bool looks_like_sentence(std::string_view line) {
    if (line.size() < 6 || line.front() != '$') return false;
    for (std::size_t i = 1; i < 6; ++i) {
        const char c = line[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
    }
    return line.size() == 6 || line[6] == ',' || line[6] == '*';
}

std::string describe(const LiveSource& source) {
    std::string text = source.name;
    if (source.kind == LiveSource::Kind::serial) text += " at " + std::to_string(source.baud) + " baud";
    return text;
}

std::unique_ptr<common::platform::Link> open_link(const LiveSource& source, common::platform::LinkFailure& failure) {
    namespace platform = common::platform;
    if (source.kind == LiveSource::Kind::serial) return platform::open_serial_port(source.device, source.baud, failure);
    return platform::connect_tcp(source.device, source.port, failure);
}

common::RunError cannot_open(const LiveSource& source, const common::platform::LinkFailure& failure) {
    return common::RunError(failure.code, "cannot open \"" + common::printable_token(source.name, 255) +
                                              "\": " + failure.reason);
}

// The recording, extended when it is there: nothing recorded before is
// lost. A recording whose last line has no line end gets one first, so
// that the next line stays a line of its own.
common::TextWriter open_recording(const std::filesystem::path& folder) {
    const std::filesystem::path path = folder / recording_name;
    int error = 0;
    auto writer = common::TextWriter::append(path, std::string(recording_name), &error);
    if (!writer) {
        if (error != ENOENT) throw common::output_error(error, "cannot open", recording_name);
        return common::TextWriter::create(path, std::string(recording_name));
    }
    std::error_code ignored;
    if (std::filesystem::is_regular_file(path, ignored)) {
        std::ifstream file(path, std::ios::binary);
        char last = '\n';
        if (file.seekg(-1, std::ios::end)) file.get(last);
        if (last != '\n' && last != '\r') writer->line_end();
    }
    return std::move(*writer);
}

// One live run: the source's link, the line being received, the decoder
// and the recording, and what the bottom row says.
class LiveRun {
public:
    LiveRun(common::Console& console, const std::filesystem::path& folder, const LiveSource& source,
            std::unique_ptr<common::platform::Link> link)
        : console_(console),
          source_(source),
          link_(std::move(link)),
          recording_(open_recording(folder)),
          decoder_(console, folder, 0) {
        sentence_.reserve(sentence_room);
        record_.reserve(prefix_length + sentence_room);
        last_bytes_ = Clock::now();
    }

    // Runs until a key is pressed; the key stays pending.
    void run(std::string_view early_bytes) {
        draw_frame_and_source();
        take(early_bytes, common::platform::local_clock());
        for (;;) {
            const auto now = Clock::now();
            if (!link_ && now >= next_open_) reopen(now);
            if (link_) receive(now);
            recording_.flush();
            decoder_.flush_outputs();
            show_status(Clock::now());
            if (console_.key_pressed()) return;
            if (link_) {
                console_.wait_for_keys_or(*link_, seconds(1));
            } else if (console_.delay(std::max(std::chrono::duration_cast<std::chrono::microseconds>(next_open_ - now),
                                               std::chrono::microseconds(1000)))) {
                return;
            }
        }
    }

    // The closing of the outputs, as at the end of a replay.
    void close() {
        recording_.close();
        decoder_.close_outputs();
    }

private:
    void draw_frame_and_source();
    void reopen(Clock::time_point now);
    void receive(Clock::time_point now);
    void lose_link(Clock::time_point now, const common::platform::LinkFailure& failure);
    void take(std::string_view bytes, const common::platform::ClockTime& clock);
    void end_line(const common::platform::ClockTime& clock);
    void show_status(Clock::time_point now);

    common::Console& console_;
    const LiveSource& source_;
    std::unique_ptr<common::platform::Link> link_;
    common::TextWriter recording_;
    Decoder decoder_;
    // The line being received (its first `sentence_room` characters) and
    // the recording line made of it.
    std::string sentence_;
    std::string record_;
    bool watching_ = false;  // gpsd has been asked for its sentences
    Clock::time_point connect_started_{};
    Clock::time_point next_open_{};
    // When bytes last came; whether bytes came since the last sentence, and
    // since when.
    Clock::time_point last_bytes_;
    bool bytes_without_sentence_ = false;
    Clock::time_point without_sentence_since_;
    std::string lost_reason_;
    std::string status_;
};

void LiveRun::draw_frame_and_source() {
    draw_frame(console_);
    const std::string line = "live from " + describe(source_) + "; recording " + std::string(recording_name) +
                             "; a key stops";
    console_.set_colour(source_colour);
    console_.go_to(1, source_row);
    console_.write_value(std::string_view(line).substr(0, common::Screen::columns - 1));
    console_.set_colour(15);
}

void LiveRun::reopen(Clock::time_point now) {
    common::platform::LinkFailure failure;
    link_ = open_link(source_, failure);
    watching_ = false;
    connect_started_ = now;
    if (!link_) lose_link(now, failure);
}

void LiveRun::lose_link(Clock::time_point now, const common::platform::LinkFailure& failure) {
    // The failure may be the link's own.
    lost_reason_ = failure.reason;
    link_.reset();
    next_open_ = now + reopen_interval;
    // A line cut off by the loss is no line; what comes next starts anew.
    sentence_.clear();
    bytes_without_sentence_ = false;
}

// Takes what came, a few buffers at most: a source that sends without end
// still lets the keyboard be looked at.
void LiveRun::receive(Clock::time_point now) {
    std::array<char, 4096> buffer;
    for (int pass = 0; pass < 16 && link_; ++pass) {
        const std::ptrdiff_t n = link_->read(buffer.data(), buffer.size());
        if (n < 0) return lose_link(now, link_->failure());
        if (link_->connecting()) {
            if (now - connect_started_ >= connect_patience) {
                lose_link(now, {ETIMEDOUT, "no answer within 10 s"});
            }
            return;
        }
        if (source_.kind == LiveSource::Kind::gpsd && !watching_) {
            watching_ = link_->send(watch_request);
            if (!watching_) return lose_link(now, {ECONNRESET, "gpsd took no request"});
        }
        lost_reason_.clear();
        if (n == 0) return;
        last_bytes_ = now;
        take(std::string_view(buffer.data(), static_cast<std::size_t>(n)), common::platform::local_clock());
    }
}

void LiveRun::take(std::string_view bytes, const common::platform::ClockTime& clock) {
    if (!bytes.empty() && !bytes_without_sentence_) {
        bytes_without_sentence_ = true;
        without_sentence_since_ = Clock::now();
    }
    for (const char c : bytes) {
        if (c == '\n' || c == '\r') {
            end_line(clock);
        } else if (c != 26 && sentence_.size() < sentence_room) {
            // Ctrl-Z would end the replay of the recording there: it is
            // left out. A line longer than the replay reads is cut.
            sentence_ += c;
        }
    }
}

void LiveRun::end_line(const common::platform::ClockTime& clock) {
    if (sentence_.empty()) return;
    // gpsd's own messages are JSON objects, one a line.
    if (source_.kind == LiveSource::Kind::gpsd && sentence_.front() == '{') {
        sentence_.clear();
        return;
    }
    record_.clear();
    record_.append(common::integer(clock.hours, 3).view());
    record_.append(common::integer(clock.minutes, 3).view());
    record_.append(common::fixed(clock.seconds + clock.milliseconds / 1000.0, 7, 3).view());
    record_.append(" -");
    record_.append(sentence_);
    recording_.write_line(record_);
    // Lines without a sentence are passed over, as the replay passes them.
    if (sentence_.find('$') != std::string::npos) decoder_.process_line(record_);
    if (looks_like_sentence(sentence_)) bytes_without_sentence_ = false;
    sentence_.clear();
}

// The bottom row: a source gone (and opened again), silent, or sending
// what is no NMEA; empty while sentences come.
void LiveRun::show_status(Clock::time_point now) {
    const auto silent = std::chrono::duration_cast<seconds>(now - last_bytes_).count();
    const auto without_sentence = std::chrono::duration_cast<seconds>(now - without_sentence_since_).count();
    std::string status;
    if (!link_ || link_->connecting() || !lost_reason_.empty()) {
        status = "no data from " + source_.name + " for " + std::to_string(silent) + " s";
        if (!lost_reason_.empty()) status += ": " + lost_reason_;
        status += "; reconnecting";
    } else if (now - last_bytes_ >= trouble_after) {
        status = "no data from " + source_.name + " for " + std::to_string(silent) + " s";
    } else if (bytes_without_sentence_ && now - without_sentence_since_ >= trouble_after) {
        status = "no NMEA sentence from " + source_.name + " for " + std::to_string(without_sentence) + " s";
        if (source_.kind == LiveSource::Kind::serial) {
            status += ": is " + std::to_string(source_.baud) + " baud right? (-b N)";
        }
    }
    if (status == status_) return;
    status_ = status;
    console_.go_to(1, status_row);
    console_.set_colour(trouble_colour);
    console_.write_value(std::string_view(status).substr(0, common::Screen::columns - 1));
    console_.clear_to_end_of_line();
    console_.set_colour(15);
}

// Opens the source before any file is touched: a source that cannot be
// opened is reported, and a key while a connection is being made gives up.
// Bytes that came with the connection are kept for the run.
std::unique_ptr<common::platform::Link> open_at_start(common::Console& console, const LiveSource& source,
                                                      std::string& early_bytes) {
    common::platform::LinkFailure failure;
    auto link = open_link(source, failure);
    if (!link) throw cannot_open(source, failure);
    const auto started = Clock::now();
    while (link->connecting()) {
        if (Clock::now() - started >= connect_patience) {
            throw cannot_open(source, {ETIMEDOUT, "no answer within 10 s"});
        }
        console.wait_for_keys_or(*link, seconds(1));
        if (console.key_pressed()) return nullptr;
        std::array<char, 4096> buffer;
        const std::ptrdiff_t n = link->read(buffer.data(), buffer.size());
        if (n < 0) throw cannot_open(source, link->failure());
        early_bytes.append(buffer.data(), static_cast<std::size_t>(n));
    }
    return link;
}

}  // namespace

std::optional<LiveSource> live_source_of(std::string_view text, int baud) {
    LiveSource source;
    source.name = text;
    source.baud = baud;
    if (text.empty()) return std::nullopt;
    if (text.starts_with("tcp:")) {
        source.kind = LiveSource::Kind::tcp;
        if (!split_host_port(text.substr(4), source.device, source.port) || !valid_port(source.port)) {
            return std::nullopt;
        }
        return source;
    }
    if (text == "gpsd" || text.starts_with("gpsd:")) {
        source.kind = LiveSource::Kind::gpsd;
        source.device = gpsd_default_host;
        source.port = gpsd_default_port;
        if (text == "gpsd") return source;
        if (!split_host_port(text.substr(5), source.device, source.port)) return std::nullopt;
        if (source.port.empty()) source.port = gpsd_default_port;
        if (!valid_port(source.port)) return std::nullopt;
        return source;
    }
    source.device = text;
    return source;
}

std::optional<int> baud_rate_of(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    const auto& rates = common::platform::baud_rates;
    if (std::find(std::begin(rates), std::end(rates), value) == std::end(rates)) return std::nullopt;
    return value;
}

int run_nmeadecode_live(common::Console& console, const std::filesystem::path& folder, const LiveSource& source) {
    console.clear_screen();
    console.write_line_end();
    console.write_line_end();
    console.set_colour(7);
    console.write("     Opening ");
    console.write_value(describe(source));
    console.write(" ...");

    std::string early_bytes;
    auto link = open_at_start(console, source, early_bytes);
    if (!link) return 0;

    const common::NamedFile recording = common::named_file(folder, std::string(recording_name));
    refuse_the_recording_as_output(folder, recording);
    LiveRun run(console, folder, source, std::move(link));
    common::run_then_close([&] { run.run(early_bytes); }, [&] { run.close(); });
    return 0;
}

}  // namespace nmea
