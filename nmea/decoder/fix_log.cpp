#include "nmea/decoder/fix_log.h"

#include "common/field_format.h"

namespace nmea {

namespace {

constexpr std::string_view header[] = {
    " PC clock,    UTC time,    Position                            , Quality   Standard Deviation     ",
    " ho mi sec    ho mi sec    latitude    h longitude    h elev     hdop vdop   N/S     E/W   Altit. ",
    " -- -- --.--- -- -- --.--- --.-------- - ---.-------- - -----.-- --.- --.- ---.--- ---.--- ---.---",
};

}  // namespace

FixLog::FixLog(const std::filesystem::path& folder)
    : file_(common::TextWriter::create(folder / file_name, std::string(file_name))) {
    for (const std::string_view line : header) file_.write_line(line);
}

void FixLog::write_front(const ReceiverState&) {}

void FixLog::write_tail(const ReceiverState&) {}

}  // namespace nmea
