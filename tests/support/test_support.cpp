#include "tests/support/test_support.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace testing_support {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "surveykit-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a temporary folder");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

void TempFolder::write(std::string_view name, std::string_view content) const {
    write_file(path_ / name, content);
}

std::string TempFolder::read(std::string_view name) const {
    return read_file(path_ / name);
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

fs::path program_path(std::string_view program) {
    return fs::path(PROGRAMS_DIR) / program;
}

fs::path source_path(std::string_view relative) {
    return fs::path(PROJECT_SOURCE) / relative;
}

std::optional<fs::path> testdata_folder() {
    const fs::path folder = fs::path(PROJECT_SOURCE) / ".." / "shared" / "testdata";
    if (!fs::is_directory(folder)) return std::nullopt;
    return fs::canonical(folder);
}

ProgramRun run_program(std::string_view program, const fs::path& folder, std::string_view keys,
                       int timeout_seconds) {
    TempFolder scratch;
    write_file(scratch / "keys", keys);
    const fs::path out_path = scratch / "stdout";
    const fs::path err_path = scratch / "stderr";
    const std::string executable = program_path(program).string();

    const pid_t child = ::fork();
    if (child == 0) {
        const int in = ::open((scratch / "keys").c_str(), O_RDONLY);
        const int out = ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0 || ::chdir(folder.c_str()) != 0) ::_exit(127);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::execl(executable.c_str(), executable.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ProgramRun run;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child) break;
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            run.timed_out = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (!run.timed_out && WIFEXITED(status)) run.exit_code = WEXITSTATUS(status);
    run.screen = read_file(out_path);
    run.errors = read_file(err_path);
    return run;
}

}  // namespace testing_support
