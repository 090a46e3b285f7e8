#include "nmea/decoder/satellite_view.h"

#include <algorithm>
#include <string_view>

namespace nmea {

namespace {

// A silent talker is out of view once this many GGA sentences came after
// its latest message.
constexpr std::uint64_t gga_sentences_in_view = 5;

// GPS, GLONASS, Galileo, BeiDou (both talkers), QZSS and NavIC first; any
// other talker after them.
std::size_t rank(Talker talker) {
    constexpr std::string_view order[] = {"GP", "GL", "GA", "GB", "BD", "GQ", "GI"};
    const std::string_view name(talker.data(), talker.size());
    return static_cast<std::size_t>(std::find(std::begin(order), std::end(order), name) - std::begin(order));
}

}  // namespace

SatelliteGroup& SatelliteView::receive(Talker talker, int message, std::uint8_t in_view) {
    const auto begin = groups_.begin(), end = groups_.begin() + static_cast<std::ptrdiff_t>(used_);
    auto group = std::find_if(begin, end, [&](const SatelliteGroup& g) { return g.talker == talker; });
    if (group == end) {
        if (used_ < capacity) {
            ++used_;
        } else {
            group = std::min_element(begin, end, [](const SatelliteGroup& a, const SatelliteGroup& b) {
                return a.heard_at < b.heard_at;
            });
        }
        *group = SatelliteGroup{};
        group->talker = talker;
        group->first_heard = talkers_heard_++;
    }
    const int first_slot = 4 * message - 3;
    if (message == 1) group->read = 0;
    group->read = static_cast<std::uint16_t>(group->read & ~(0xFu << (first_slot - 1)));
    group->in_view = in_view;
    group->heard_at = gga_sentences_;
    return *group;
}

std::size_t SatelliteView::in_view(std::span<const SatelliteGroup*, capacity> talkers) const {
    std::size_t count = 0;
    for (std::size_t i = 0; i < used_; ++i) {
        if (gga_sentences_ - groups_[i].heard_at < gga_sentences_in_view) talkers[count++] = &groups_[i];
    }
    std::sort(talkers.begin(), talkers.begin() + static_cast<std::ptrdiff_t>(count),
              [](const SatelliteGroup* a, const SatelliteGroup* b) {
                  const std::size_t rank_a = rank(a->talker), rank_b = rank(b->talker);
                  return rank_a != rank_b ? rank_a < rank_b : a->first_heard < b->first_heard;
              });
    return count;
}

}  // namespace nmea
