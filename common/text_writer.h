// Buffered text output. Every line ends with CR LF. A failed write is
// reported with the system's error code, never ignored; the file is flushed
// and closed on every way out, a runtime error included.
#pragma once

#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/field_format.h"

namespace common {

class TextWriter {
public:
    // Creates (or truncates) a file; raises the system's error report when it
    // cannot. `name` is the name shown in reports.
    static TextWriter create(const std::filesystem::path& path, std::string name);
    // Opens an existing file for appending; nothing when it does not exist
    // or cannot be opened (`error` then holds errno).
    static std::optional<TextWriter> append(const std::filesystem::path& path, std::string name,
                                            int* error = nullptr);

    TextWriter(TextWriter&& other) noexcept;
    TextWriter& operator=(TextWriter&& other) noexcept;
    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;
    // Flushes and closes; a failure here (on the way out of an error) cannot
    // be raised: it is kept as a late failure, which the program shell
    // reports after the error.
    ~TextWriter();

    void write(std::string_view text) {
        if (text.size() > buffer_.size() - used_) {
            flush_buffer();
            if (text.size() > buffer_.size()) return write_through(text);
        }
        copy_short(buffer_.data() + used_, text.data(), text.size());
        used_ += text.size();
    }
    void write(char c) { write(std::string_view(&c, 1)); }
    void write(const FieldText& field) { write(field.view()); }
    void line_end() { write("\r\n"); }
    void write_line(std::string_view text = {}) {
        write(text);
        line_end();
    }
    void write_line(const FieldText& field) { write_line(field.view()); }

    void flush();
    void close();
    const std::string& name() const { return name_; }

private:
    // Fields and words are a few bytes long: copied in two overlapping
    // fixed-size moves, without a call, as the library copy does inside.
    static void copy_short(char* to, const char* from, std::size_t size) {
        if (size >= 8 && size <= 16) {
            std::memcpy(to, from, 8);
            std::memcpy(to + size - 8, from + size - 8, 8);
        } else if (size >= 4 && size < 8) {
            std::memcpy(to, from, 4);
            std::memcpy(to + size - 4, from + size - 4, 4);
        } else if (size > 0 && size < 4) {
            to[0] = from[0];
            to[size / 2] = from[size / 2];
            to[size - 1] = from[size - 1];
        } else if (size > 16) {
            std::memcpy(to, from, size);
        }
    }

    TextWriter(int descriptor, std::string name);
    // Flushes and closes; a failure is kept as a late failure.
    void close_on_the_way_out() noexcept;
    void flush_buffer();
    void write_through(std::string_view text);

    int descriptor_ = -1;
    std::string name_;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
};

// The path of a file named by the user: the name is typed as Windows-1251
// text and handed to the system in UTF-8.
std::filesystem::path file_path(const std::filesystem::path& folder, std::string_view cp1251_name);

}  // namespace common
