#include "common/text_writer.h"

#include <cerrno>
#include <utility>

#include "common/cp1251.h"
#include "common/platform.h"
#include "common/run_error.h"
#include "common/stop_request.h"

namespace common {

namespace {
// Documents and scripts run to hundreds of megabytes: a quarter of a
// megabyte a write keeps the system calls few.
constexpr std::size_t buffer_size = 1 << 18;
}

TextWriter::TextWriter(int descriptor, std::string name)
    : descriptor_(descriptor), name_(std::move(name)), buffer_(buffer_size) {}

TextWriter TextWriter::create(const std::filesystem::path& path, std::string name) {
    const int descriptor =
        path.empty() || name.empty() ? (errno = ENOENT, -1)
                                     : platform::create_file(path);
    if (descriptor < 0) throw output_error(errno, "cannot create", name);
    return TextWriter(descriptor, std::move(name));
}

std::optional<TextWriter> TextWriter::append(const std::filesystem::path& path, std::string name, int* error) {
    const int descriptor =
        path.empty() || name.empty() ? (errno = ENOENT, -1) : platform::open_for_appending(path);
    if (descriptor < 0) {
        if (error != nullptr) *error = errno;
        return std::nullopt;
    }
    return TextWriter(descriptor, std::move(name));
}

TextWriter::TextWriter(TextWriter&& other) noexcept
    : descriptor_(other.descriptor_), name_(std::move(other.name_)), buffer_(std::move(other.buffer_)),
      used_(other.used_) {
    other.descriptor_ = -1;
    other.used_ = 0;
}

TextWriter& TextWriter::operator=(TextWriter&& other) noexcept {
    if (this != &other) {
        // The file this writer held is closed as its destructor would.
        close_on_the_way_out();
        descriptor_ = std::exchange(other.descriptor_, -1);
        name_ = std::move(other.name_);
        buffer_ = std::move(other.buffer_);
        used_ = std::exchange(other.used_, 0);
    }
    return *this;
}

TextWriter::~TextWriter() {
    close_on_the_way_out();
}

void TextWriter::close_on_the_way_out() noexcept {
    if (descriptor_ >= 0) clean_up_on_the_way_out([this] { close(); });
}

void TextWriter::write_through(std::string_view text) {
    if (descriptor_ < 0) return;
    while (!text.empty()) {
        const std::ptrdiff_t n = platform::write(descriptor_, text.data(), text.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            const int code = errno;
            // The data cannot be written anywhere: drop it so that closing
            // does not report the same failure twice.
            used_ = 0;
            throw file_error(code, "cannot write", name_);
        }
        text.remove_prefix(static_cast<std::size_t>(n));
    }
}

void TextWriter::flush_buffer() {
    const std::size_t used = used_;
    used_ = 0;
    write_through(std::string_view(buffer_.data(), used));
}

void TextWriter::flush() {
    flush_buffer();
}

void TextWriter::close() {
    if (descriptor_ < 0) return;
    const int descriptor = descriptor_;
    try {
        flush_buffer();
    } catch (...) {
        descriptor_ = -1;
        platform::close(descriptor);
        throw;
    }
    descriptor_ = -1;
    if (platform::close(descriptor) != 0 && errno != EINTR) throw file_error(errno, "cannot close", name_);
}

std::filesystem::path file_path(const std::filesystem::path& folder, std::string_view cp1251_name) {
    if (cp1251_name.empty()) return {};
    // As UTF-8 on every system: a path made of plain chars would take the
    // bytes in the system's own code page on Windows.
    const std::string utf8 = cp1251_to_utf8(cp1251_name);
    return folder / std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace common
