#include "survey/stakeout/stakeout_listing.h"

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

void write_station_heading(common::TextWriter& listing, std::uint16_t station_number, double region_radius) {
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

void write_listing_row(common::TextWriter& listing, std::int64_t point_number, double direction, double distance) {
    listing.write(common::integer(point_number, 7));
    listing.write(' ');
    listing.write(common::fixed(direction, 12, 4));
    listing.write(' ');
    listing.write_line(common::fixed(distance, 13, 3));
}

}  // namespace survey
