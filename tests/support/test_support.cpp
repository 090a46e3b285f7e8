#include "tests/support/test_support.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "tests/support/system.h"

namespace testing_support {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    // A name of random letters; creating a folder that is there fails, so
    // a name is never shared.
    static std::mt19937_64 random{std::random_device{}()};
    constexpr char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = "surveykit-test-";
        for (int i = 0; i < 8; ++i) name += letters[random() % (sizeof letters - 1)];
        const fs::path candidate = fs::temp_directory_path() / name;
        if (fs::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary folder");
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

fs::path TempFolder::operator/(std::string_view name) const {
    return path_ / utf8_path(name);
}

void TempFolder::write(std::string_view name, std::string_view content) const {
    write_file(*this / name, content);
}

std::string TempFolder::read(std::string_view name) const {
    return read_file(*this / name);
}

fs::path utf8_path(std::string_view name) {
    return fs::path(std::u8string(name.begin(), name.end()));
}

std::string utf8_name(const fs::path& path) {
    const std::u8string name = path.u8string();
    return std::string(name.begin(), name.end());
}

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void write_file(const fs::path& path, std::string_view content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

// The build's folders are made absolute where the test starts, so that they
// stay right for a child that runs in another folder (or on another drive).
fs::path program_path(std::string_view program) {
    return fs::absolute(fs::path(PROGRAMS_DIR) / (std::string(program) + PROGRAM_SUFFIX));
}

fs::path source_path(std::string_view relative) {
    return fs::absolute(fs::path(PROJECT_SOURCE) / relative);
}

std::optional<fs::path> testdata_folder() {
    const fs::path folder = fs::absolute(fs::path(PROJECT_SOURCE) / ".." / "shared" / "testdata");
    if (!fs::is_directory(folder)) return std::nullopt;
    return fs::canonical(folder);
}

std::string shell_quoted(std::string_view argument) {
    if constexpr (on_windows) return "\"" + std::string(argument) + "\"";
    return "'" + std::string(argument) + "'";
}

bool command_found(std::string_view program) {
    // cmd.exe has no "command -v"; a program that is not found fails there.
    const std::string probe = on_windows ? std::string(program) + " --version >NUL 2>&1"
                                         : "command -v " + std::string(program) + " >/dev/null 2>&1";
    return std::system(probe.c_str()) == 0;
}

ProgramRun run_program(std::string_view program, const fs::path& folder, std::string_view keys,
                       int timeout_seconds) {
    TempFolder scratch;
    write_file(scratch / "keys", keys);
    const fs::path out_path = scratch / "stdout";
    const fs::path err_path = scratch / "stderr";
    const ChildRun child = run_child(program_path(program), folder, scratch / "keys", out_path, err_path,
                                     timeout_seconds);
    ProgramRun run;
    run.exit_code = child.exit_code;
    run.timed_out = child.timed_out;
    run.screen = read_file(out_path);
    run.errors = read_file(err_path);
    return run;
}

}  // namespace testing_support
