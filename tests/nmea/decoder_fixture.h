// A replay in a scratch folder on the scripted console: lines go straight to
// the decoder, and the test reads dashboard cells and the output files.
#pragma once

#include <string>
#include <string_view>

#include "common/scripted_console.h"
#include "nmea/decoder/dashboard.h"
#include "nmea/decoder/decoder.h"
#include "tests/support/test_support.h"

namespace nmea_testing {

class DecoderRun {
public:
    DecoderRun() { nmea::draw_frame(console); }

    // Processes recording lines in order.
    void replay(std::initializer_list<std::string_view> lines) {
        for (const std::string_view line : lines) decoder.process_line(line);
    }
    // `count` cells of a row from `column` on, as Windows-1251 text.
    std::string cells(int column, int row, int count) const {
        return console.screen().row_text(row).substr(static_cast<std::size_t>(column - 1),
                                                    static_cast<std::size_t>(count));
    }
    const nmea::ReceiverState& state() const { return decoder.state(); }

    // Closes the outputs and reads one of them.
    std::string output(std::string_view name) {
        decoder.close_outputs();
        return folder.read(name);
    }

    testing_support::TempFolder folder;
    common::ScriptedConsole console;
    nmea::Decoder decoder{console, folder.path(), 0};
};

}  // namespace nmea_testing
