// The coordinate register: the number check, the records in each of the
// eight layouts, and the two fixed-layout reads, each loop as its program
// runs it. Every read is done twice, through a large and a tiny buffer, and
// must give the same records, lines and stop; only error 106 may stop it.
#include <bit>
#include <cstdio>
#include <string>

#include "common/field_format.h"
#include "common/run_error.h"
#include "fuzz/fuzz_support.h"
#include "survey/register/coordinate_register.h"

namespace {

using fuzzing::Buffering;

// Points as exact bits, so that a NaN or a -0 compares too.
void note(std::string& out, const survey::RegisterPoint& point) {
    char text[96];
    std::snprintf(text, sizeof text, "%lld %016llx %016llx %016llx\n", static_cast<long long>(point.number),
                  static_cast<unsigned long long>(std::bit_cast<std::uint64_t>(point.north)),
                  static_cast<unsigned long long>(std::bit_cast<std::uint64_t>(point.east)),
                  static_cast<unsigned long long>(std::bit_cast<std::uint64_t>(point.elevation)));
    out += text;
    // The register writer takes any value.
    out += common::fixed(point.east, 0, 3).view();
}

std::string check(std::string_view bytes, Buffering buffering) {
    common::TextReader reader = fuzzing::reader_of(bytes, buffering);
    const auto bad = survey::register_check(reader);
    return bad ? "bad token " + std::to_string(bad->ordinal) + " line " + std::to_string(bad->line) : "passes";
}

void note(std::string& out, const survey::RegisterRecord& record) {
    out += std::to_string(static_cast<int>(record.kind)) + " line " + std::to_string(record.line) + "\n";
    if (record.kind != survey::RegisterRecord::Kind::left_out) note(out, record.point);
}

// Runs a record loop; a point number beyond 32 bits stops it with error 106.
template <typename Loop>
std::string records(Loop loop) {
    std::string out;
    try {
        loop(out);
    } catch (const common::RunError& error) {
        if (error.code() != common::error_invalid_numeric_format) fuzzing::finding("unexpected " + error.report());
        out += error.report();
    }
    return out;
}

// regscript: at least one record, until the end of the file.
std::string layout_records(std::string_view bytes, Buffering buffering, int layout_number) {
    const survey::RegisterLayout& layout = survey::register_layout(layout_number);
    common::TextReader reader = fuzzing::reader_of(bytes, buffering);
    return records([&](std::string& out) {
        do {
            note(out, survey::read_in_layout(reader, layout));
        } while (!reader.eof());
    });
}

// regscript_basic: records until only blanks and line ends are left.
std::string fixed_with_elevation(std::string_view bytes, Buffering buffering) {
    common::TextReader reader = fuzzing::reader_of(bytes, buffering);
    return records([&](std::string& out) {
        while (!reader.seek_eof()) note(out, survey::read_fixed_with_elevation(reader));
    });
}

// stakeout: records until only blanks and line ends are left; a bad token
// stops the pass with error 106.
std::string fixed_without_elevation(std::string_view bytes, Buffering buffering) {
    common::TextReader reader = fuzzing::reader_of(bytes, buffering);
    return records([&](std::string& out) {
        while (!reader.seek_eof()) note(out, survey::read_fixed_without_elevation(reader));
    });
}

template <typename Read>
void same_both_ways(const char* what, Read read) {
    const std::string whole = read(Buffering::whole);
    const std::string tiny = read(Buffering::tiny);
    if (whole != tiny) fuzzing::finding(std::string(what) + " depends on the buffer:\n" + whole + "\n--\n" + tiny);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzzing::bytes_of(data, size);
    same_both_ways("the register check", [&](Buffering b) { return check(bytes, b); });
    for (int layout = 1; layout <= survey::layout_count; ++layout) {
        same_both_ways("a layout read", [&](Buffering b) { return layout_records(bytes, b, layout); });
    }
    same_both_ways("the fixed layout with elevation", [&](Buffering b) { return fixed_with_elevation(bytes, b); });
    same_both_ways("the fixed layout without elevation",
                   [&](Buffering b) { return fixed_without_elevation(bytes, b); });
    return 0;
}
