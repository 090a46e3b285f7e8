// The part of the platform that is the same on every system.
#include "common/platform.h"

#include <cerrno>

namespace common::platform {

bool write_all(int descriptor, std::string_view text) {
    while (!text.empty()) {
        const std::ptrdiff_t n = write(descriptor, text.data(), text.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace common::platform
