// logconvert over any log: the input is "NMEA_Wsp.txt" in a scratch folder
// and one key starts the conversion. Every group of four lines gives one
// recording line behind its 15-character clock prefix; a readable log never
// stops the conversion with an error.
#include "common/program.h"
#include "common/run_error.h"
#include "common/scripted_console.h"
#include "fuzz/fuzz_support.h"
#include "nmea/convert/log_converter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using fuzzing::ScratchFolder;
    ScratchFolder::write("NMEA_Wsp.txt", fuzzing::bytes_of(data, size));
    common::ScriptedConsole console(" ");
    std::string report;
    const int code =
        common::run_on_console(console, {"logconvert", nmea::run_logconvert}, ScratchFolder::path(), &report);
    if (code != 0) fuzzing::finding("the conversion stopped: " + report);
    const std::string recording = ScratchFolder::read("REC_COM.txt");
    if (!recording.ends_with("\r\n")) fuzzing::finding("the recording does not end with a line end");
    return 0;
}
