#include "common/run_error.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace common {

std::string RunError::report() const {
    return "Runtime error " + std::to_string(code_) + ": " + what();
}

std::string printable_token(std::string_view token, std::size_t limit) {
    std::string out;
    for (std::size_t i = 0; i < token.size() && i < limit; ++i) {
        const auto byte = static_cast<unsigned char>(token[i]);
        if (byte < 0x20 || byte == 0x7F || byte == '\\') {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            out += hex;
        } else {
            out += static_cast<char>(byte);
        }
    }
    if (token.size() > limit) out += "...";
    return out;
}

RunError invalid_number(std::string_view token, std::string_view source, long line) {
    std::string where(source);
    if (line > 0) where += ", line " + std::to_string(line);
    std::string message = "invalid numeric format ";
    if (token.empty()) {
        message += "at the end of the file";
    } else {
        message.append(1, '"').append(printable_token(token)).append(1, '"');
    }
    message.append(" (").append(where).append(")");
    return RunError(error_invalid_numeric_format, message);
}

RunError file_error(int system_code, std::string_view action, std::string_view file_name) {
    return RunError(system_code, std::string(action) + " \"" + printable_token(file_name, 255) + "\": " +
                                     std::strerror(system_code));
}

RunError output_error(int system_code, std::string_view action, std::string_view file_name) {
    const char* reason = system_code == ENXIO    ? "a pipe that nobody reads, not a file"
                         : system_code == ENODEV ? "a device, not a file"
                                                 : nullptr;
    if (reason == nullptr) return file_error(system_code, action, file_name);
    return RunError(system_code, std::string(action) + " \"" + printable_token(file_name, 255) + "\": " + reason);
}

RunError keyboard_ended() {
    return RunError(error_keyboard_ended, "keyboard input ended");
}

}  // namespace common

#include <csignal>

#include "common/platform.h"

namespace common {

namespace {
volatile std::sig_atomic_t signal_seen = 0;
volatile std::sig_atomic_t request_count = 0;
volatile std::sig_atomic_t screen_lost_flag = 0;
std::vector<RunError> late_failures;
}  // namespace

void note_screen_lost() {
    screen_lost_flag = 1;
}

bool screen_lost() {
    return screen_lost_flag != 0;
}

bool take_screen_lost() {
    if (screen_lost_flag == 0) return false;
    screen_lost_flag = 0;
    return true;
}

int note_signal(int signal_number) {
    if (signal_seen == 0) signal_seen = signal_number;
    if (request_count < 1000) request_count = request_count + 1;
    return request_count;
}

int pending_signal() {
    return signal_seen;
}

void check_interrupted() {
    if (signal_seen != 0) {
        const int number = signal_seen;
        throw RunError(128 + number, "stopped by " + platform::stop_name(number));
    }
}

void note_late_failure(const RunError& error) {
    late_failures.push_back(error);
}

std::vector<RunError> take_late_failures() {
    return std::exchange(late_failures, {});
}

}  // namespace common
