// The dialogue of stakeout and its two passes over the register per station.
#include "survey/stakeout/stakeout.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "common/cp1251.h"
#include "common/dialogue.h"
#include "common/field_format.h"
#include "common/run_error.h"
#include "common/text_reader.h"
#include "common/text_writer.h"
#include "common/typed_answer.h"
#include "survey/register/coordinate_register.h"
#include "survey/register/dialogue.h"
#include "survey/stakeout/geometry.h"
#include "survey/stakeout/stakeout_listing.h"

namespace survey {

namespace {

namespace fs = std::filesystem;
using common::Console;
using common::Cp1251Text;
using common::NamedFile;
using common::TextReader;
using common::TextWriter;

constexpr Cp1251Text register_layout_text{"{ номер  север  изток  (надм.вис.) }"};
constexpr Cp1251Text input_prompt{"  Входен файл : "};
constexpr Cp1251Text listing_prompt{" Изходен файл : "};
constexpr Cp1251Text station_prompt{"      Станция : "};
constexpr Cp1251Text radius_prompt{"   Регион [м] : "};
constexpr Cp1251Text missing_register{"Файла Липсва !"};
constexpr Cp1251Text new_listing{"Нов !"};
constexpr Cp1251Text existing_listing{"Съществуващ ! "};
constexpr Cp1251Text included_label{"Включени :"};
constexpr Cp1251Text next_station_question{"? Следваща станция  D/N : "};

// The prompts stand at column 10, their answers at 26, the messages at 45.
constexpr int prompt_column = 10;
constexpr int answer_column = 26;
constexpr int message_column = 45;
constexpr int input_row = 12;
constexpr int listing_row = 14;
constexpr int station_row = 16;
constexpr int radius_row = 18;
constexpr int question_row = 24;
// The running count is rewritten one column right of where it first
// stands: "Включени :" and the first count end at column 59, later counts
// at 60.
constexpr int count_column = 56;

// A file name answer keeps its first 50 characters.
constexpr std::size_t longest_name = 50;

constexpr std::array<PlacedText, 5> screen_texts{{
    {prompt_column, 6, register_layout_text},
    {prompt_column, input_row, input_prompt},
    {prompt_column, listing_row, listing_prompt},
    {prompt_column, station_row, station_prompt},
    {prompt_column, radius_row, radius_prompt},
}};

void write_at(Console& console, int column, int row, std::string_view text) {
    console.go_to(column, row);
    console.write(text);
}

NamedFile read_file_name(Console& console, const fs::path& folder, std::string_view question, int row) {
    console.go_to(answer_column, row);
    console.type_given(question);
    std::string name = console.read_line();
    if (name.size() > longest_name) name.resize(longest_name);
    return common::named_file(folder, std::move(name));
}

// The listing is extended when it exists; otherwise "Нов !" says that it
// will be created with its title. Only a listing that does not exist is
// created: one that exists but cannot be opened is reported, never
// truncated. A new one is created when the first station is listed, after
// the station's answers, so that a refused answer leaves no file behind.
class Listing {
public:
    Listing(Console& console, NamedFile listing) : listing_(std::move(listing)) {
        int error = 0;
        file_ = TextWriter::append(listing_.path, listing_.name, &error);
        if (file_) {
            // The cursor stands at column 1 below the typed name.
            console.write(existing_listing);
            return;
        }
        if (error != ENOENT) throw common::output_error(error, "cannot open", listing_.name);
        write_at(console, message_column, listing_row, new_listing);
    }

    TextWriter& file() {
        if (!file_) {
            file_.emplace(TextWriter::create(listing_.path, listing_.name));
            write_listing_title(*file_);
        }
        return *file_;
    }

    void close() {
        if (file_) file_->close();
    }

private:
    NamedFile listing_;
    std::optional<TextWriter> file_;
};

// Appending the listing to the register it is made from would spoil the
// register for every later pass and run.
constexpr common::OutputIsInputWords listing_is_the_register{"the listing \"", "\" is the register being read"};

// Each pass reads the register from its start. Blanks, tabs and blank lines
// after the last record end the pass like the end of the file itself, so
// that the listing of the station is complete.
template <typename Visit>
void for_each_record(const NamedFile& coordinate_register, Visit visit) {
    TextReader reader = TextReader::open_or_fail(coordinate_register.path, coordinate_register.name);
    while (!reader.seek_eof()) visit(read_fixed_without_elevation(reader));
}

struct StationPosition {
    double north = 0;
    double east = 0;
};

class StationListing {
public:
    StationListing(Console& console, const NamedFile& coordinate_register, Listing& listing)
        : console_(console), register_(coordinate_register), listing_(listing) {}

    // Asks for the station and the radius and lists the station.
    void list_next_station() {
        console_.go_to(answer_column, station_row);
        station_number_ = read_station_answer();
        console_.go_to(answer_column, radius_row);
        region_radius_ = common::read_real_answer(console_, "radius");
        // A new listing is created now, after the answers that can be refused.
        TextWriter& file = listing_.file();

        included_count_ = 0;
        write_at(console_, message_column, radius_row, included_label);
        console_.write(common::integer(included_count_, 5));

        write_station_heading(file, station_number_, region_radius_);
        if (const auto station = find_station()) list_points(*station);
        // The stations of a run are on disk while the next one is asked.
        file.flush();
    }

private:
    // Like the register's point numbers, a whole signed 32-bit number: one
    // beyond that range is an invalid number, never wrapped.
    std::int32_t read_station_answer() { return common::read_int32_answer(console_, "station"); }

    // When several records carry the station number, the last one wins. The
    // same pass finds the width of the number column.
    std::optional<StationPosition> find_station() {
        std::optional<StationPosition> station;
        std::int32_t lowest = 0;
        std::int32_t highest = 0;
        for_each_record(register_, [&](const RegisterPoint& point) {
            if (point.number == station_number_) station = StationPosition{point.north, point.east};
            lowest = std::min(lowest, point.number);
            highest = std::max(highest, point.number);
        });
        number_width_ = number_column_width(lowest, highest);
        return station;
    }

    // Every other point within the radius, a point on the circle included,
    // in the order of the register.
    void list_points(const StationPosition& station) {
        for_each_record(register_, [&](const RegisterPoint& point) {
            if (point.number == station_number_) return;
            const double distance = DIST(station.north, station.east, point.north, point.east);
            if (distance > region_radius_) return;
            ++included_count_;
            write_listing_row(listing_.file(), point.number, number_width_,
                              ATANG(point.east - station.east, point.north - station.north), distance);
            write_at(console_, count_column, radius_row, common::integer(included_count_, 5).view());
        });
    }

    Console& console_;
    const NamedFile& register_;
    Listing& listing_;
    std::int32_t station_number_ = 0;
    double region_radius_ = 0;
    int number_width_ = 0;
    // A register may hold far more than 65535 points within the radius, and
    // the count must not start over.
    std::uint64_t included_count_ = 0;
};

void clear_station_answers(Console& console) {
    console.go_to(answer_column, station_row);
    console.clear_to_end_of_line();
    console.go_to(answer_column, radius_row);
    console.clear_to_end_of_line();
}

// D or d lists another station; any other key ends the run. Piped keys that
// have run out end it too, as the last wait of a finished run.
bool next_station(Console& console) {
    write_at(console, message_column, question_row, next_station_question);
    char key = 0;
    try {
        key = console.read_key();
    } catch (const common::RunError& error) {
        if (error.code() != common::error_keyboard_ended) throw;
    }
    // The station answers and the count go; the question stays.
    clear_station_answers(console);
    return key == 'D' || key == 'd';
}

// Stations given as arguments are listed one after another, each asked
// afresh on a cleared screen, and no "next station" question is shown.
bool next_given_station(Console& console) {
    if (!console.given().has("station")) return false;
    clear_station_answers(console);
    return true;
}

}  // namespace

int run_stakeout(Console& console, const fs::path& folder) {
    show_first_screen(console, screen_texts);

    const NamedFile coordinate_register = read_file_name(console, folder, "register", input_row);
    if (!TextReader::open(coordinate_register.path, coordinate_register.name)) {
        write_at(console, message_column, input_row, missing_register);
        console.final_key();
        return common::exit_input_missing;
    }

    NamedFile listing_file = read_file_name(console, folder, "listing", listing_row);
    // An empty name lists nowhere: the run ends at once.
    if (listing_file.name.empty()) return 0;
    common::refuse_input_as_output(listing_file, coordinate_register, listing_is_the_register);
    Listing listing(console, std::move(listing_file));

    StationListing stations(console, coordinate_register, listing);
    const bool stations_given = console.given().has("station");
    do {
        stations.list_next_station();
    } while (stations_given ? next_given_station(console) : next_station(console));
    listing.close();
    return 0;
}

}  // namespace survey
