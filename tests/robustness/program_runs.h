// Runs of the built programs in scratch folders prepared with hostile files:
// contents, folders in place of files, unreadable files, files whose reads
// fail, outputs linked to a device on which every write fails, and links.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/test_support.h"

namespace robustness {

namespace fs = std::filesystem;

// What stands in the working folder under a name before the run.
struct Entry {
    enum Kind {
        text,         // a file with `content`
        folder,       // a folder
        unreadable,   // a file with `content` and no permissions (not for root)
        read_fails,   // opens, but every read fails (EIO): /proc/self/mem
        full_device,  // a device, on which every write fails with ENOSPC: /dev/full
        link,         // a symbolic link to the entry named `content`
        fifo,         // a named pipe that nobody reads
    };
    std::string name;
    Kind kind = text;
    std::string content;
};

inline Entry file(std::string name, std::string content) {
    return {std::move(name), Entry::text, std::move(content)};
}
inline Entry folder(std::string name) {
    return {std::move(name), Entry::folder, {}};
}
inline Entry unreadable(std::string name) {
    return {std::move(name), Entry::unreadable, "1 2 3 4\r\n"};
}
inline Entry read_fails(std::string name) {
    return {std::move(name), Entry::read_fails, {}};
}
inline Entry full_device(std::string name) {
    return {std::move(name), Entry::full_device, {}};
}
inline Entry link_to(std::string name, std::string target) {
    return {std::move(name), Entry::link, std::move(target)};
}
inline Entry fifo(std::string name) {
    return {std::move(name), Entry::fifo, {}};
}

// Why an entry cannot be made on this system, or nothing when it can: root
// reads files without permissions, and Windows has neither kind of device
// and gives symbolic links to administrators only.
inline const char* cannot_make(const Entry& entry) {
    if (entry.kind == Entry::unreadable && !testing_support::permissions_can_deny_reading()) {
        return "files without permissions are readable to root and on Windows";
    }
    if (testing_support::on_windows && entry.kind == Entry::read_fails) {
        return "Windows has no file whose reads fail, as /proc/self/mem";
    }
    if (testing_support::on_windows && entry.kind == Entry::full_device) {
        return "Windows has no device that is always full, as /dev/full";
    }
    if (testing_support::on_windows && entry.kind == Entry::link) {
        return "symbolic links need the right to make them on Windows";
    }
    if (testing_support::on_windows && entry.kind == Entry::fifo) return "Windows has no named pipes in folders";
    return nullptr;
}

inline void make(const testing_support::TempFolder& folder, const Entry& entry) {
    const fs::path path = folder / entry.name;
    switch (entry.kind) {
        case Entry::text: testing_support::write_file(path, entry.content); break;
        case Entry::folder: fs::create_directory(path); break;
        case Entry::unreadable:
            testing_support::write_file(path, entry.content);
            fs::permissions(path, fs::perms::none);
            break;
        case Entry::read_fails: fs::create_symlink("/proc/self/mem", path); break;
        case Entry::full_device: fs::create_symlink("/dev/full", path); break;
        case Entry::link: fs::create_symlink(entry.content, path); break;
        case Entry::fifo: ASSERT_TRUE(testing_support::make_fifo(path)); break;
    }
}

// --- Hostile contents ---------------------------------------------------------

// Random bytes of a fixed seed, without byte 26, so that all of them are read.
inline std::string binary_bytes(std::size_t size, std::uint32_t seed = 8) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(generator() & 0xFF);
        if (byte == 26) byte = 27;
    }
    return bytes;
}

// A line of `megabytes` MB of the character, then a line end.
inline std::string long_line(std::size_t megabytes, char c) {
    return std::string(megabytes << 20, c) + "\r\n";
}

// --- A run --------------------------------------------------------------------

struct Outcome {
    testing_support::ProgramRun run;
    double seconds = 0;
};

inline Outcome run_in(std::string_view program, const testing_support::TempFolder& folder, std::string_view keys,
                      int timeout_seconds = 60) {
    const auto start = std::chrono::steady_clock::now();
    Outcome outcome{testing_support::run_program(program, folder.path(), keys, timeout_seconds), 0};
    outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return outcome;
}

// The lines of the final screen, as printed by the stream console.
inline std::vector<std::string> screen_lines(const std::string& screen) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = screen.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(screen.substr(start, end - start));
    }
    return lines;
}

// The screen without its line breaks, so that a report that wraps at
// column 80 is found whole.
inline std::string screen_joined(const std::string& screen) {
    std::string joined;
    for (const std::string& line : screen_lines(screen)) joined += line;
    return joined;
}

inline std::size_t count_of(std::string_view text, std::string_view part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string_view::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

}  // namespace robustness
