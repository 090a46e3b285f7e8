#include "common/run_error.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

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
