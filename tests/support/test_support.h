// Helpers shared by the test executables.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace testing_support {

// A fresh folder under the system's temporary folder, removed at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // A file of the folder; `name` is UTF-8.
    std::filesystem::path operator/(std::string_view name) const;
    void write(std::string_view name, std::string_view content) const;
    std::string read(std::string_view name) const;

private:
    std::filesystem::path path_;
};

// File names in UTF-8 on every system (a path made from plain chars takes
// them in the system's code page on Windows).
std::filesystem::path utf8_path(std::string_view name);
std::string utf8_name(const std::filesystem::path& path);

std::string read_file(const std::filesystem::path& path);
void write_file(const std::filesystem::path& path, std::string_view content);

struct ProgramRun {
    int exit_code = -1;       // -1: killed, or did not end in time
    std::string screen;       // standard output: the final screen
    std::string errors;       // standard error
    bool timed_out = false;
};

// Runs a program of the suite in `folder` with `keys` piped to it (the
// stream console) and waits at most `timeout_seconds`.
ProgramRun run_program(std::string_view program, const std::filesystem::path& folder, std::string_view keys,
                       int timeout_seconds = 120);

std::filesystem::path program_path(std::string_view program);
std::filesystem::path source_path(std::string_view relative);

// The real-world recordings and drawings beside the repository; nothing
// when the folder is not there (the test then skips, saying so).
std::optional<std::filesystem::path> testdata_folder();

// The Windows build, where tests of what Windows does not have (a device
// that is always full, fifos, signals, a terminal) skip, saying why.
#ifdef _WIN32
inline constexpr bool on_windows = true;
#else
inline constexpr bool on_windows = false;
#endif

// Makes a named pipe (a fifo); false where the system has none (Windows).
bool make_fifo(const std::filesystem::path& path);

// Whether a file without permissions is one this test cannot read: not for
// root, and not on Windows, where permissions only make a file read-only.
bool permissions_can_deny_reading();

// While it lives, every file that this process and the programs it starts
// write grows to at most `bytes`: a write beyond fails with EFBIG ("File
// too large"), as a full disk fails it. Not on Windows (`available` false).
class FileSizeLimit {
public:
    explicit FileSizeLimit(std::uint64_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool available() const { return available_; }

private:
    bool available_ = false;
    std::uint64_t previous_ = 0;
};

// Commands that tests run through the system's shell (sh, or cmd.exe on
// Windows): a quoted argument, the null device, and whether a program is
// at hand on the path.
std::string shell_quoted(std::string_view argument);
inline constexpr const char* null_device = on_windows ? "NUL" : "/dev/null";
bool command_found(std::string_view program);

}  // namespace testing_support

// Skips the current test with a visible message when the real-world test
// data is missing; otherwise defines `testdata` (a path).
#define REQUIRE_TESTDATA(testdata)                                                         \
    const auto testdata##_found = ::testing_support::testdata_folder();                   \
    if (!testdata##_found) GTEST_SKIP() << "../shared/testdata not found: real-data test skipped"; \
    const std::filesystem::path testdata = *testdata##_found
