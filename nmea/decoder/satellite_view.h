// The satellites in view, per constellation. A receiver that tracks several
// constellations sends a group of GSV messages per talker (GP, GL, GA, GB or
// BD, GQ, GI), each with its own count and satellites. The latest group of
// every talker is kept here, so the dashboard can show them together; a
// talker not heard within the last 5 GGA sentences is out of view.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace nmea {

using Talker = std::array<char, 2>;

struct SatelliteInView {
    std::uint16_t id = 0, elevation = 0, azimuth = 0, snr = 0;
};

// The latest GSV group of one talker: the count of its latest message and
// the satellites of slots 1 to 12 (message m holds slots 4m - 3 .. 4m).
struct SatelliteGroup {
    static constexpr int slots = 12;

    Talker talker{};
    std::uint8_t in_view = 0;
    std::array<SatelliteInView, slots> satellites{};
    std::uint16_t read = 0;  // bit k - 1: slot k was read from a message

    bool has(int slot) const { return (read >> (slot - 1) & 1) != 0; }
    void set(int slot, SatelliteInView satellite) {
        satellites[static_cast<std::size_t>(slot - 1)] = satellite;
        read = static_cast<std::uint16_t>(read | 1u << (slot - 1));
    }
    const SatelliteInView& at(int slot) const { return satellites[static_cast<std::size_t>(slot - 1)]; }

    // Bookkeeping of the view.
    std::uint64_t heard_at = 0;     // GGA sentences before its latest message
    std::uint64_t first_heard = 0;  // order among the talkers
};

class SatelliteView {
public:
    // More talkers than any receiver uses at once; beyond them the one heard
    // longest ago gives way, so memory stays fixed whatever a recording holds.
    static constexpr std::size_t capacity = 8;

    // A GGA sentence: the clock by which a silent talker goes out of view.
    void count_gga() { ++gga_sentences_; }

    // The group of `talker` for its message `message` (1 to 3), whose count
    // is `in_view`: message 1 begins the group anew, a later message renews
    // its own four slots.
    SatelliteGroup& receive(Talker talker, int message, std::uint8_t in_view);

    // The talkers heard within the last 5 GGA sentences, in the order GP,
    // GL, GA, GB, BD, GQ, GI, then any other in the order first heard; the
    // number of them is returned.
    std::size_t in_view(std::span<const SatelliteGroup*, capacity> talkers) const;

    // What the dashboard's satellite table holds: the frame's blanks, the
    // blocks that one talker's messages wrote, or every talker together.
    enum class Table { frame, one_talker, all_talkers };
    Table table = Table::frame;
    Talker table_talker{};

private:
    std::array<SatelliteGroup, capacity> groups_{};
    std::size_t used_ = 0;
    std::uint64_t gga_sentences_ = 0;
    std::uint64_t talkers_heard_ = 0;
};

}  // namespace nmea
