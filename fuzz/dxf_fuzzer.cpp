// The DXF scan of dxfpoints: the drawing read as group code and value
// pairs, every POINT entity with its 10, 20 and 30 values. A group code or
// a coordinate that is not a number stops the scan with error 106, a binary
// drawing with error 22; nothing else may. The scan must find the same
// points through a large and a tiny buffer.
#include <bit>
#include <cerrno>
#include <cstdio>
#include <string>

#include "common/run_error.h"
#include "fuzz/fuzz_support.h"
#include "survey/dxf/dxfpoints.h"

namespace {

std::string scan(std::string_view bytes, fuzzing::Buffering buffering) {
    common::TextReader drawing = fuzzing::reader_of(bytes, buffering, "drawing.dxf");
    std::string out;
    try {
        survey::PointEntities entities(drawing);
        while (const auto entity = entities.next()) {
            if (entity->has_x_and_y) {
                const survey::RegisterPoint& point = entity->point;
                char text[64];
                std::snprintf(text, sizeof text, "%016llx %016llx %016llx\n",
                              static_cast<unsigned long long>(std::bit_cast<std::uint64_t>(point.east)),
                              static_cast<unsigned long long>(std::bit_cast<std::uint64_t>(point.north)),
                              static_cast<unsigned long long>(std::bit_cast<std::uint64_t>(point.elevation)));
                out += text;
            } else {
                out += "skipped\n";
            }
        }
    } catch (const common::RunError& error) {
        if (error.code() != common::error_invalid_numeric_format && error.code() != EINVAL) {
            fuzzing::finding("unexpected " + error.report());
        }
        out += error.report();
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzzing::bytes_of(data, size);
    const std::string whole = scan(bytes, fuzzing::Buffering::whole);
    const std::string tiny = scan(bytes, fuzzing::Buffering::tiny);
    if (whole != tiny) fuzzing::finding("the scan depends on the buffer:\n" + whole + "\n--\n" + tiny);
    return 0;
}
