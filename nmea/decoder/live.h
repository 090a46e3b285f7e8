// nmeadecode live from a receiver: the sentences of a serial port, a TCP
// connection or gpsd go through the decoder as they arrive, line for line as
// a replay takes them, and into the recording "REC_COM.txt" with the PC
// clock of their reception, so that replaying it gives the same fix log and
// track.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/console.h"

namespace nmea {

// Where a live run takes its sentences from, as --live names it.
struct LiveSource {
    enum class Kind { serial, tcp, gpsd };
    Kind kind = Kind::serial;
    std::string device;  // the serial port, or the host
    std::string port;    // the TCP port
    int baud = 4800;
    std::string name;  // as it was given, for the screen and the reports
};

constexpr int default_baud_rate = 4800;
constexpr std::string_view gpsd_default_host = "localhost";
constexpr std::string_view gpsd_default_port = "2947";

// SOURCE as --live gives it: a serial port (a path; on Windows COM1 ...
// COM256), "tcp:HOST:PORT", "gpsd" or "gpsd:HOST[:PORT]" (a host of IPv6
// digits in brackets). Nothing when it is none of them.
std::optional<LiveSource> live_source_of(std::string_view text, int baud = default_baud_rate);
// A baud rate as --baud gives it: one that serial ports are opened at.
std::optional<int> baud_rate_of(std::string_view text);

// The live run: opens the source (a report when it cannot), then shows the
// dashboard at once and decodes and records until a key is pressed.
int run_nmeadecode_live(common::Console& console, const std::filesystem::path& folder, const LiveSource& source);

}  // namespace nmea
