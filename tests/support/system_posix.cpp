#include "tests/support/system.h"
#include "tests/support/test_support.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace testing_support {

ChildRun run_child(const std::filesystem::path& executable, const std::filesystem::path& folder,
                   const std::filesystem::path& input, const std::filesystem::path& output,
                   const std::filesystem::path& errors, int timeout_seconds,
                   const std::function<void(int)>& while_running) {
    const pid_t child = ::fork();
    if (child == 0) {
        const int in = input.empty() ? -2 : ::open(input.c_str(), O_RDONLY);
        const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in == -1 || out < 0 || err < 0 || ::chdir(folder.c_str()) != 0) ::_exit(127);
        if (in >= 0) ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        for (const int descriptor : {in, out, err}) {
            if (descriptor > 2) ::close(descriptor);
        }
        if (in < 0) ::close(0);
        ::execl(executable.c_str(), executable.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    if (while_running) while_running(child);
    ChildRun run;
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
    if (!run.timed_out && WIFSIGNALED(status)) run.signal = WTERMSIG(status);
    return run;
}

void request_stop(int process_id) {
    ::kill(process_id, SIGINT);
}

FileSizeLimit::FileSizeLimit(std::uint64_t bytes) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) != 0) return;
    previous_ = limit.rlim_cur;
    limit.rlim_cur = bytes;
    // A write beyond the limit fails instead of ending the writer, here and
    // in the children, which inherit both.
    std::signal(SIGXFSZ, SIG_IGN);
    available_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

FileSizeLimit::~FileSizeLimit() {
    if (!available_) return;
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = previous_;
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

bool make_fifo(const std::filesystem::path& path) {
    return ::mkfifo(path.c_str(), 0644) == 0;
}

bool permissions_can_deny_reading() {
    return ::geteuid() != 0;
}

}  // namespace testing_support
