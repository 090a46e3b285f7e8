// A recording through the whole replay of nmeadecode, every sentence handler
// included: the input is "REC_COM.txt" in a scratch folder, DELAY 0 (no
// pauses) and Enter to start; no key stops it, so every line is replayed.
// A readable recording never stops the replay with an error, the track
// document is always closed, and the fix log's last line is always ended.
#include "common/program.h"
#include "common/run_error.h"
#include "common/scripted_console.h"
#include "fuzz/fuzz_support.h"
#include "nmea/decoder/decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using fuzzing::ScratchFolder;
    ScratchFolder::write("REC_COM.txt", fuzzing::bytes_of(data, size));
    common::ScriptedConsole console("0\n\n");
    std::string report;
    const int code =
        common::run_on_console(console, {"nmeadecode", nmea::run_nmeadecode}, ScratchFolder::path(), &report);
    if (code != 0) fuzzing::finding("the replay stopped: " + report);
    const std::string track = ScratchFolder::read("GPS_CORE.kml");
    if (!track.ends_with("</kml>\r\n")) fuzzing::finding("the track document is not closed");
    if (!ScratchFolder::read("GPS_CORE.txt").ends_with("\r\n")) fuzzing::finding("the fix log's last line has no end");
    return 0;
}
