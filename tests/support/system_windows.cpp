#include "tests/support/system.h"
#include "tests/support/test_support.h"

#include <stdexcept>
#include <string>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace testing_support {

namespace {

// A handle that the child inherits as one of its standard streams.
HANDLE inheritable(const std::filesystem::path& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const HANDLE handle = ::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                        disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + path.string());
    return handle;
}

}  // namespace

ChildRun run_child(const std::filesystem::path& executable, const std::filesystem::path& folder,
                   const std::filesystem::path& input, const std::filesystem::path& output,
                   const std::filesystem::path& errors, int timeout_seconds,
                   const std::function<void(int)>& while_running) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.empty() ? nullptr : inheritable(input, GENERIC_READ, OPEN_EXISTING);
    startup.hStdOutput = inheritable(output, GENERIC_WRITE, CREATE_ALWAYS);
    startup.hStdError = inheritable(errors, GENERIC_WRITE, CREATE_ALWAYS);
    std::wstring command = L"\"" + executable.wstring() + L"\"";
    PROCESS_INFORMATION process{};
    // No console of its own: the program sees files, as it would in a pipe.
    const BOOL started = ::CreateProcessW(executable.c_str(), command.data(), nullptr, nullptr, TRUE,
                                          CREATE_NO_WINDOW, nullptr, folder.c_str(), &startup, &process);
    ::CloseHandle(startup.hStdInput);
    ::CloseHandle(startup.hStdOutput);
    ::CloseHandle(startup.hStdError);
    if (!started) throw std::runtime_error("cannot start " + executable.string());
    ::CloseHandle(process.hThread);
    if (while_running) while_running(static_cast<int>(process.dwProcessId));

    ChildRun run;
    const DWORD timeout = static_cast<DWORD>(timeout_seconds) * 1000;
    if (::WaitForSingleObject(process.hProcess, timeout) == WAIT_TIMEOUT) {
        ::TerminateProcess(process.hProcess, 1);
        ::WaitForSingleObject(process.hProcess, INFINITE);
        run.timed_out = true;
    }
    DWORD code = 0;
    if (!run.timed_out && ::GetExitCodeProcess(process.hProcess, &code)) run.exit_code = static_cast<int>(code);
    ::CloseHandle(process.hProcess);
    return run;
}

FileSizeLimit::FileSizeLimit(std::uint64_t) {}
FileSizeLimit::~FileSizeLimit() = default;

void request_stop(int) {}

bool make_fifo(const std::filesystem::path&) {
    return false;
}

bool permissions_can_deny_reading() {
    return false;
}

}  // namespace testing_support
