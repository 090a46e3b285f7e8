// "Go_P.par", the selection window of kmlmarks: four numbers, whatever
// follows them ignored. A bad token or a file that ends too early stops
// with error 106; nothing else may happen.
#include "common/run_error.h"
#include "fuzz/fuzz_support.h"
#include "kml/selection_window.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using fuzzing::ScratchFolder;
    ScratchFolder::write(kml::SelectionWindow::file_name, fuzzing::bytes_of(data, size));
    try {
        const kml::SelectionWindow window = kml::read_selection_window(ScratchFolder::path());
        kml::PointRecord point;
        point.latitude = (window.lat_low + window.lat_high) / 2;
        point.longitude = (window.lon_low + window.lon_high) / 2;
        (void)window.contains(point);
    } catch (const common::RunError& error) {
        if (error.code() != common::error_invalid_numeric_format) fuzzing::finding("unexpected " + error.report());
    }
    return 0;
}
