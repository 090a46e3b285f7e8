// The point-list reader in every angle notation and field order, through a
// large and a tiny buffer (the same records and the same stop both ways);
// the records of the named orders then go into a placemark document, which
// must stay valid UTF-8 without characters that XML forbids.
#include <bit>
#include <cstdio>
#include <string>

#include "common/cp1251.h"
#include "common/run_error.h"
#include "common/text_writer.h"
#include "fuzz/fuzz_support.h"
#include "kml/documents.h"
#include "kml/point_list.h"

namespace {

using fuzzing::Buffering;

constexpr kml::AngleNotation notations[] = {kml::AngleNotation::decimal_degrees, kml::AngleNotation::degrees_minutes,
                                            kml::AngleNotation::degrees_minutes_seconds};
constexpr kml::FieldOrder orders[] = {
    kml::FieldOrder::number_latitude_longitude, kml::FieldOrder::number_longitude_latitude,
    kml::FieldOrder::latitude_longitude_name, kml::FieldOrder::longitude_latitude_name};

template <typename Take>
std::string read_list(std::string_view bytes, Buffering buffering, kml::AngleNotation notation, kml::FieldOrder order,
                      Take take) {
    kml::PointList list(fuzzing::reader_of(bytes, buffering, "points.txt"), notation, order);
    kml::PointRecord record;
    std::string out;
    try {
        while (list.next(record)) {
            char text[80];
            std::snprintf(text, sizeof text, "%d %016llx %016llx ", record.number,
                          static_cast<unsigned long long>(std::bit_cast<std::uint64_t>(record.latitude)),
                          static_cast<unsigned long long>(std::bit_cast<std::uint64_t>(record.longitude)));
            out += text;
            out += record.name();
            out += '\n';
            take(record);
        }
    } catch (const common::RunError& error) {
        if (error.code() != common::error_invalid_numeric_format) fuzzing::finding("unexpected " + error.report());
        out += error.report();
    }
    return out;
}

// Characters that XML 1.0 allows in element text.
bool allowed_in_xml(char32_t c) {
    return c == '\t' || c == '\n' || c == '\r' || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

void check_document(const std::string& document) {
    if (!common::is_valid_utf8(document)) fuzzing::finding("the placemark document is not UTF-8");
    std::string_view rest = document;
    while (!rest.empty()) {
        char32_t c = 0;
        const std::size_t n = common::decode_utf8(rest, c);
        if (n == 0 || !allowed_in_xml(c)) fuzzing::finding("the placemark document holds a character XML forbids");
        rest.remove_prefix(n);
    }
    if (!document.ends_with("</Document></kml>\r\n")) fuzzing::finding("the placemark document is not closed");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzzing::bytes_of(data, size);
    for (const kml::AngleNotation notation : notations) {
        for (const kml::FieldOrder order : orders) {
            const std::string whole = read_list(bytes, Buffering::whole, notation, order, [](const auto&) {});
            const std::string tiny = read_list(bytes, Buffering::tiny, notation, order, [](const auto&) {});
            if (whole != tiny) fuzzing::finding("the list depends on the buffer:\n" + whole + "\n--\n" + tiny);
        }
    }
    // Named records into a placemark document.
    {
        const auto path = fuzzing::ScratchFolder::path() / "points.kml";
        kml::PointDocument document(common::TextWriter::create(path, "points.kml"), kml::placemark_document);
        document.write_head();
        read_list(bytes, Buffering::whole, kml::AngleNotation::decimal_degrees,
                  kml::FieldOrder::latitude_longitude_name,
                  [&](const kml::PointRecord& record) { document.add(record); });
        document.finish();
    }
    check_document(fuzzing::ScratchFolder::read("points.kml"));
    return 0;
}
