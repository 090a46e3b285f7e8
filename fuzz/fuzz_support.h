// Helpers shared by the fuzz targets: readers over the fuzzer's bytes, a
// scratch folder for the targets that drive whole programs, and a console
// whose keys come from bytes.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

#include "common/console.h"
#include "common/key_decoder.h"
#include "common/text_reader.h"

namespace fuzzing {

// A byte source over memory, handing out at most `chunk` bytes a read, so
// that every reading rule is also met across the reader's refills.
class MemorySource : public common::TextSource {
public:
    MemorySource(std::string_view bytes, std::size_t chunk) : bytes_(bytes), chunk_(chunk) {}
    std::size_t read(char* buffer, std::size_t size) override {
        const std::size_t n = std::min({size, chunk_, bytes_.size()});
        std::memcpy(buffer, bytes_.data(), n);
        bytes_.remove_prefix(n);
        return n;
    }

private:
    std::string_view bytes_;
    std::size_t chunk_;
};

// The two ways a target reads its input: in one large buffer, as a file
// would be read, and through a tiny buffer refilled a few bytes at a time.
// Whatever a reader makes of the input must not depend on which.
enum class Buffering { whole, tiny };

inline common::TextReader reader_of(std::string_view bytes, Buffering buffering, std::string name = "input.txt") {
    if (buffering == Buffering::whole) {
        return common::TextReader(std::make_unique<MemorySource>(bytes, bytes.size() + 1), std::move(name));
    }
    return common::TextReader(std::make_unique<MemorySource>(bytes, 3), std::move(name), 5);
}

inline std::string_view bytes_of(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Stops the fuzzer with a message: a finding.
[[noreturn]] inline void finding(const std::string& what) {
    std::fprintf(stderr, "FINDING: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

// One scratch folder per fuzzing process, in memory when the system offers
// a memory file system, removed at exit.
class ScratchFolder {
public:
    static const std::filesystem::path& path() {
        static ScratchFolder folder;
        return folder.path_;
    }

    static void write(std::string_view name, std::string_view content) {
        std::ofstream out(path() / name, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        if (!out) finding("cannot write the scratch file " + std::string(name));
    }

    static std::string read(std::string_view name) {
        std::ifstream in(path() / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    ScratchFolder() {
        std::filesystem::path base = "/dev/shm";
        std::error_code error;
        if (!std::filesystem::is_directory(base, error) || ::access(base.c_str(), W_OK) != 0) {
            base = std::filesystem::temp_directory_path();
        }
        std::string pattern = (base / "surveykit-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a scratch folder");
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }

    std::filesystem::path path_;
};

// Key bytes as a terminal or a pipe delivers them, decoded by the console's
// own key decoder (escape sequences, UTF-8, CR LF). The next byte of an
// escape sequence is always "at hand": memory never makes the decoder wait.
class MemoryKeys : public common::KeyDecoder {
public:
    explicit MemoryKeys(std::string_view bytes) : bytes_(bytes) {}

protected:
    int read_byte(int) override {
        if (bytes_.empty()) return end_of_input;
        const auto byte = static_cast<unsigned char>(bytes_.front());
        bytes_.remove_prefix(1);
        return byte;
    }

private:
    std::string_view bytes_;
};

class ByteConsole : public common::Console {
public:
    explicit ByteConsole(std::string_view bytes) : keys_(bytes) {}

protected:
    bool next_key(common::Key& key, bool wait) override { return keys_.next(key, wait); }
    bool wait_for_input(std::chrono::microseconds) override { return false; }

private:
    MemoryKeys keys_;
};

}  // namespace fuzzing
