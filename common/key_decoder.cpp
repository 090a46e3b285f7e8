#include "common/key_decoder.h"

#include <algorithm>
#include <cerrno>

#include "common/cp1251.h"
#include "common/platform.h"
#include "common/stop_request.h"

namespace common {

int KeyDecoder::byte(int timeout_ms) {
    if (pushed_count_ > 0) {
        const int value = pushed_[0];
        for (int i = 1; i < pushed_count_; ++i) pushed_[i - 1] = pushed_[i];
        --pushed_count_;
        return value;
    }
    return read_byte(timeout_ms);
}

void KeyDecoder::push_back(int value) {
    if (pushed_count_ < 8) pushed_[pushed_count_++] = value;
}

bool KeyDecoder::next(Key& key, bool wait) {
    for (;;) {
        const int first = byte(wait ? -1 : 0);
        if (first < 0) return false;
        const bool was_after_cr = after_cr_;
        after_cr_ = first == '\r';
        if (first == '\n' && was_after_cr) continue;  // CR LF is one Enter
        key = Key{};
        if (first == '\r' || first == '\n') {
            key.code = static_cast<unsigned char>(key_enter);
        } else if (first == 0x7F) {
            key.code = static_cast<unsigned char>(key_backspace);
        } else if (first == key_escape) {
            if (!escape_sequence(key)) continue;
        } else if (first >= 0x80) {
            if (!utf8(first, key)) key.code = static_cast<unsigned char>(first);
        } else {
            key.code = static_cast<unsigned char>(first);
        }
        return true;
    }
}

// Reads what follows an Esc. Returns false for a sequence that names no key
// this system knows (it is swallowed).
bool KeyDecoder::escape_sequence(Key& key) {
    const int introducer = byte(escape_wait_ms);
    if (introducer != '[' && introducer != 'O') {
        if (introducer >= 0) push_back(introducer);
        key.code = static_cast<unsigned char>(key_escape);
        return true;
    }
    int parameter = 0;
    int final_byte = 0;
    for (int count = 0; count < 16; ++count) {
        const int c = byte(escape_wait_ms);
        if (c < 0) return false;
        if (c >= '0' && c <= '9') {
            // Only the first parameter names the key; modifiers are ignored.
            if (parameter < 1000) parameter = parameter * 10 + (c - '0');
            continue;
        }
        if (c == ';') {
            // Skip modifier parameters: keep the first number only.
            for (int skip = 0; skip < 8; ++skip) {
                const int d = byte(escape_wait_ms);
                if (d < 0) return false;
                if (d < '0' || d > '9') {
                    final_byte = d;
                    break;
                }
            }
            break;
        }
        final_byte = c;
        break;
    }
    unsigned char code = 0;
    switch (final_byte) {
        case 'A': code = key_up; break;
        case 'B': code = key_down; break;
        case 'C': code = key_right; break;
        case 'D': code = key_left; break;
        case 'H': code = key_home; break;
        case 'F': code = key_end; break;
        case 'P': code = key_f1; break;
        case 'Q': code = key_f1 + 1; break;
        case 'R': code = key_f1 + 2; break;
        case 'S': code = key_f1 + 3; break;
        case '~':
            switch (parameter) {
                case 1: case 7: code = key_home; break;
                case 4: case 8: code = key_end; break;
                case 2: code = key_insert; break;
                case 3: code = key_delete; break;
                case 5: code = key_page_up; break;
                case 6: code = key_page_down; break;
                case 11: case 12: case 13: case 14: case 15: code = static_cast<unsigned char>(key_f1 + parameter - 11); break;
                case 17: case 18: case 19: case 20: case 21: code = static_cast<unsigned char>(key_f1 + 5 + parameter - 17); break;
                case 23: code = key_f11; break;
                case 24: code = key_f12; break;
                default: break;
            }
            break;
        default: break;
    }
    if (code == 0) return false;
    key.code = code;
    key.extended = true;
    return true;
}

// A valid UTF-8 sequence becomes its Windows-1251 byte ("?" when the code
// page lacks the character); anything else is taken as a raw byte.
bool KeyDecoder::utf8(int lead, Key& key) {
    int size = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (size == 1) return false;
    char sequence[4] = {static_cast<char>(lead)};
    int have = 1;
    int stray = -1;  // a byte that ended the sequence early
    for (; have < size; ++have) {
        const int c = byte(escape_wait_ms);
        if (c < 0 || (c & 0xC0) != 0x80) {
            stray = c;
            break;
        }
        sequence[have] = static_cast<char>(c);
    }
    char32_t character = 0;
    if (have != size || decode_utf8(std::string_view(sequence, static_cast<std::size_t>(size)), character) == 0) {
        // Not UTF-8: deliver the bytes as they came.
        for (int i = 1; i < have; ++i) push_back(static_cast<unsigned char>(sequence[i]));
        if (stray >= 0) push_back(stray);
        return false;
    }
    const int converted = unicode_to_cp1251(character);
    key.code = static_cast<unsigned char>(converted < 0 ? '?' : converted);
    return true;
}

// The window changed size, or the job went on after a stop, while waiting:
// show the screen anew.
void DescriptorKeys::redraw_if_lost() {
    if (redraw_ && screen_lost()) redraw_();
}

int DescriptorKeys::read_byte(int timeout_ms) {
    while (next_ == size_) {
        if (at_end_) return end_of_input;
        const int ready = platform::wait_readable(descriptor_, timeout_ms);
        if (ready < 0) {
            if (errno != EINTR) {
                at_end_ = true;
                return end_of_input;
            }
            check_interrupted();
            redraw_if_lost();
            continue;
        }
        if (ready == 0) return no_byte;
        const std::ptrdiff_t n = platform::read(descriptor_, reinterpret_cast<char*>(buffer_), sizeof buffer_);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) {
                check_interrupted();
                continue;
            }
            at_end_ = true;
            return end_of_input;
        }
        if (n == 0) {
            at_end_ = true;
            return end_of_input;
        }
        next_ = 0;
        size_ = static_cast<std::size_t>(n);
    }
    return buffer_[next_++];
}

bool DescriptorKeys::wait_for_input(std::chrono::microseconds length, platform::Link* link) {
    using std::chrono::steady_clock;
    if (next_ != size_ || has_pushed_back()) return true;
    const auto deadline = steady_clock::now() + length;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - steady_clock::now());
        if (left.count() <= 0) return false;
        // Whole milliseconds are watched, the rest is slept, so that short
        // waits keep their length; a link is watched for the rest too.
        auto watched = std::chrono::duration_cast<std::chrono::milliseconds>(left).count();
        if (link == nullptr && (at_end_ || watched == 0)) {
            sleep_for(left);
            return false;
        }
        watched = std::clamp<long long>(watched, 1, 1 << 30);
        const int ready = link == nullptr ? platform::wait_readable(descriptor_, static_cast<int>(watched))
                                          : platform::wait_readable(at_end_ ? -1 : descriptor_, *link,
                                                                    static_cast<int>(watched));
        if (ready > 0) return true;
        if (ready < 0) {
            if (errno != EINTR) {
                at_end_ = true;
                continue;
            }
            check_interrupted();
            redraw_if_lost();
        }
    }
}

}  // namespace common
