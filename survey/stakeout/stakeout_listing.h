// The stake-out listing: a Windows-1251 text file, CR LF line ends, that
// grows station by station and run by run.
//
// A new listing starts with its title:
//
//      (empty line)
//      "   ТРАСИРОВЪЧНИ ЕЛЕМЕНТИ"
//      "   ---------------------"
//
// and every station adds two empty lines, its heading and one row per point:
//
//      "   Станция: 12   Регион: 150м."
//      "   ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~"
//      "   ном.  посока[гр.]  хор.р-ние[м]"
//      "   ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~"
//      "     13      40.9666        50.000"
//
// A row is the point number as n:7, a blank, the direction in grads as
// x:12:4, a blank and the distance in metres as x:13:3: 34 characters, as
// wide as the heading. A register with longer point numbers (-1234567,
// 2147483647) widens the number column of its stations to the longest.
#pragma once

#include <cstdint>

#include "common/text_writer.h"

namespace survey {

void write_listing_title(common::TextWriter& listing);

// The radius is written rounded to whole metres.
void write_station_heading(common::TextWriter& listing, std::int32_t station_number, double region_radius);

// The width of the number column for a register whose point numbers lie
// between `lowest` and `highest`: 7, or the longest of them.
int number_column_width(std::int32_t lowest, std::int32_t highest);

// A direction that rounds to 0.0000 is written 400.0000: north is 400.
void write_listing_row(common::TextWriter& listing, std::int32_t point_number, int number_width, double direction,
                       double distance);

}  // namespace survey
