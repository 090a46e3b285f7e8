#include "kml/selection_window.h"

#include <string>

namespace kml {

SelectionWindow read_selection_window(const std::filesystem::path& folder) {
    SelectionWindow selection_window;
    auto file = common::TextReader::open(folder / SelectionWindow::file_name, std::string(SelectionWindow::file_name));
    if (!file) return selection_window;
    for (double* bound : {&selection_window.lat_low, &selection_window.lat_high, &selection_window.lon_low,
                          &selection_window.lon_high}) {
        *bound = read_due_real(*file);
    }
    return selection_window;
}

}  // namespace kml
