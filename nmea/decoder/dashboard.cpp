#include "nmea/decoder/dashboard.h"

#include "common/program.h"

namespace nmea {

namespace {

// Each label row is exactly 73 characters: every blank fixes the column of
// the label after it, and the value fields line up with them.
struct FrameRow {
    int colour;
    std::string_view text;
};

constexpr FrameRow frame_rows[] = {
    {frame_colour_title, "              (D)GPS NMEA-0183 DATA Decoder                              "},
    {frame_colour_title, "         time ---------------------------------------------------------- "},
    {frame_colour_label, "                   date:             year             utc:             s "},
    {frame_colour_label, "               duration:             s       local differ:               "},
    {frame_colour_label, "                counter:             points      pc clock:             s "},
    {frame_colour_title, "     position ---------------------------------------------------------- "},
    {frame_colour_label, "               latitude:             N    pdop:      m    real deviation "},
    {frame_colour_label, "              longitude:             E    hdop:      m    n/s          m "},
    {frame_colour_label, "                MSL alt:           m      vdop:      m    e/w          m "},
    {frame_colour_label, "              geoid sep:                                  alt.         m "},
    {frame_colour_title, " speed & path ---------------------------------------------------------- "},
    {frame_colour_label, "              hor.speed:       m/s         m/ss   hor. acceler.    mode: "},
    {frame_colour_label, "                heading:       deg         deg/s  hor. turning           "},
    {frame_colour_label, "              ver.speed:       m/s         m/ss   ver. acceler.          "},
    {frame_colour_title, "   satellites ---------------------------------------------------------- "},
    {frame_colour_label, "                visible:       /   used in last solution:                "},
    {frame_colour_label, "                 sat.id:                                                 "},
    {frame_colour_label, "              elevation:                                                 "},
    {frame_colour_label, "                azimuth:                                                 "},
    {frame_colour_label, "                    SNR:                                                 "},
    {frame_colour_title, "       beacon ---------------------------------------------------------- "},
    {frame_colour_label, "              ref.st.ID:          sig.strength:           bit rate:      "},
    {frame_colour_label, "              frequency:           noise ratio:        age of corr:    s "},
};

static_assert(std::size(frame_rows) == 23);

}  // namespace

void draw_frame(common::Console& console) {
    // Row 1 stays as it is; the frame runs from row 2 to row 24, drawn with
    // line ends (not go-to), the last row without one.
    console.go_to(1, 1);
    console.write_line_end();
    for (std::size_t i = 0; i < std::size(frame_rows); ++i) {
        console.set_colour(frame_rows[i].colour);
        console.write(frame_rows[i].text);
        if (i + 1 < std::size(frame_rows)) console.write_line_end();
    }
    console.set_colour(frame_colour_banner);
    show(console, 59, 2, common::suite_banner);
    console.set_colour(value_colour);
}

}  // namespace nmea
