// GSV, satellites in view: the satellite table. Message m of a talker's
// group owns slots 4m - 3 .. 4m. While one talker is in view, each message
// clears its block and fills the slots its count says are occupied, so the
// table is rebuilt message by message. With several talkers in view (one
// per constellation) the table shows the latest group of each, talker after
// talker, as many satellites as its twelve slots hold, and "visible" the sum
// of their counts.
//
// $GPGSV,3,3,09,27,21,066,38*4D
//   GP       talker (the two letters after "$")
//   3        number of messages (not used)
//   3        gsv_message_number (its first character)
//   09       satellites_in_view              (27,17)
//   27       sat_id of slot k                (c(k),18)      c(k) = 27 + 4(k - 1)
//   21       sat_elevation                   (c(k),19)
//   066      sat_azimuth                     (c(k) - 1,20)
//   38       sat_snr                         (c(k),21)
#include "common/field_format.h"
#include "nmea/decoder/dashboard.h"
#include "nmea/decoder/decoder.h"

namespace nmea {

using common::integer;

namespace {

constexpr std::string_view block_blanks = "                ";

int slot_column(int slot) {
    return 27 + 4 * (slot - 1);
}

void show_satellite(common::Console& console, int slot, const SatelliteInView& satellite) {
    const int column = slot_column(slot);
    show(console, column, 18, integer(satellite.id, 2));
    show(console, column, 19, integer(satellite.elevation, 2));
    show(console, column - 1, 20, integer(satellite.azimuth, 3));
    show(console, column, 21, integer(satellite.snr, 2));
}

// Blocks 1 to 3 of rows 18 to 21: columns 26 to 73.
void clear_blocks(common::Console& console, int first_block, int last_block) {
    for (int row = 18; row <= 21; ++row) {
        for (int block = first_block; block <= last_block; ++block) {
            show(console, 26 + 16 * (block - 1), row, block_blanks);
        }
    }
}

// One talker in view: the message's own block, and its count.
void show_block(common::Console& console, const SatelliteGroup& group, int message) {
    clear_blocks(console, message, message);
    show(console, 27, 17, integer(group.in_view, 2));
    for (int slot = 4 * message - 3; slot <= 4 * message; ++slot) {
        if (group.has(slot)) show_satellite(console, slot, group.at(slot));
    }
}

// Several talkers in view: the whole table anew. A slot without an id (a
// count above the satellites sent) holds no satellite, and a satellite that
// a group lists twice is shown once.
void show_all_talkers(common::Console& console, std::span<const SatelliteGroup* const> talkers) {
    clear_blocks(console, 1, 3);
    int in_view = 0;
    int slot = 1;
    for (const SatelliteGroup* group : talkers) {
        in_view += group->in_view;
        for (int k = 1; k <= group->in_view && k <= SatelliteGroup::slots; ++k) {
            const SatelliteInView& satellite = group->at(k);
            if (!group->has(k) || satellite.id == 0 || slot > SatelliteGroup::slots) continue;
            bool shown = false;
            for (int j = 1; j < k; ++j) shown = shown || (group->has(j) && group->at(j).id == satellite.id);
            if (!shown) show_satellite(console, slot++, satellite);
        }
    }
    show(console, 27, 17, integer(in_view, 2));
}

}  // namespace

void Decoder::handle_gsv() {
    ReceiverState& s = receiver_state;
    line_text.drop_through_comma();
    line_text.drop_through_comma();
    // Only the first character counts: "12" is message 1. Messages beyond
    // the third (satellites 13 on) have no place in the table.
    s.gsv_message_number = static_cast<std::uint8_t>(unsigned_value(line_text.first_character()));
    line_text.drop_through_comma();
    const int m = s.gsv_message_number;
    if (m < 1 || m > 3) return;

    s.satellites_in_view = static_cast<std::uint8_t>(unsigned_value(line_text.next_field()));
    SatelliteGroup& group = satellite_view_.receive(talker_, m, s.satellites_in_view);
    for (int k = 4 * m - 3; k <= 4 * m && s.satellites_in_view > k - 1; ++k) {
        s.sat_id = static_cast<std::uint16_t>(unsigned_value(line_text.next_field()));
        s.sat_elevation = static_cast<std::uint16_t>(unsigned_value(line_text.next_field()));
        s.sat_azimuth = static_cast<std::uint16_t>(unsigned_value(line_text.next_field()));
        // The SNR may be the last field of the message; an NMEA 4.10 signal
        // id after it does not hide it. An empty SNR (not tracked) shows 0.
        s.sat_snr = static_cast<std::uint16_t>(unsigned_value(line_text.next_field()));
        group.set(k, {s.sat_id, s.sat_elevation, s.sat_azimuth, s.sat_snr});
    }

    std::array<const SatelliteGroup*, SatelliteView::capacity> talkers{};
    const std::size_t count = satellite_view_.in_view(talkers);
    using Table = SatelliteView::Table;
    if (count > 1) {
        show_all_talkers(console_, std::span(talkers).first(count));
        satellite_view_.table = Table::all_talkers;
        return;
    }
    // The table may still hold what others wrote: it starts blank for the
    // talker left alone.
    if (satellite_view_.table == Table::all_talkers ||
        (satellite_view_.table == Table::one_talker && satellite_view_.table_talker != talker_)) {
        clear_blocks(console_, 1, 3);
    }
    show_block(console_, group, m);
    satellite_view_.table = Table::one_talker;
    satellite_view_.table_talker = talker_;
}

}  // namespace nmea
