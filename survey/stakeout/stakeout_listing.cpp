#include "survey/stakeout/stakeout_listing.h"

#include <algorithm>

#include "common/cp1251.h"
#include "common/field_format.h"

namespace survey {

namespace {

using common::Cp1251Text;

constexpr Cp1251Text title{"   ТРАСИРОВЪЧНИ ЕЛЕМЕНТИ"};
constexpr std::string_view title_rule = "   ---------------------";
constexpr Cp1251Text station_label{"   Станция: "};
constexpr Cp1251Text radius_label{"   Регион: "};
constexpr Cp1251Text metres{"м."};
constexpr std::string_view heading_rule = "   ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~";
constexpr Cp1251Text column_names{"   ном.  посока[гр.]  хор.р-ние[м]"};

}  // namespace

void write_listing_title(common::TextWriter& listing) {
    listing.write_line();
    listing.write_line(title);
    listing.write_line(title_rule);
}

void write_station_heading(common::TextWriter& listing, std::int32_t station_number, double region_radius) {
    listing.write_line();
    listing.write_line();
    listing.write(station_label);
    listing.write(common::integer(station_number));
    listing.write(radius_label);
    listing.write(common::fixed(region_radius, 0, 0));
    listing.write_line(metres);
    listing.write_line(heading_rule);
    listing.write_line(column_names);
    listing.write_line(heading_rule);
}

int number_column_width(std::int32_t lowest, std::int32_t highest) {
    constexpr int usual_width = 7;
    const auto width = std::max(common::integer(lowest).size(), common::integer(highest).size());
    return std::max(usual_width, static_cast<int>(width));
}

void write_listing_row(common::TextWriter& listing, std::int32_t point_number, int number_width, double direction,
                       double distance) {
    // RANG keeps a direction above 0, but one a few hundred-thousandths of a
    // grad east of north would still read 0.0000 at four decimals.
    constexpr double rounds_to_zero = 0.00005;
    if (direction < rounds_to_zero) direction = 400;
    listing.write(common::integer(point_number, number_width));
    listing.write(' ');
    listing.write(common::fixed(direction, 12, 4));
    listing.write(' ');
    listing.write_line(common::fixed(distance, 13, 3));
}

}  // namespace survey
