// Turns the bytes typed on a terminal (or piped in) into key presses:
// UTF-8 characters become Windows-1251 bytes, cursor and function key escape
// sequences become keys without a character, LF and CR LF become Enter, DEL
// becomes Backspace. A lone Esc is told from the start of a sequence by a
// short wait for the next byte, as terminal libraries do.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>

#include "common/console.h"

namespace common {

class KeyDecoder {
public:
    static constexpr int no_byte = -1;
    static constexpr int end_of_input = -2;
    static constexpr int escape_wait_ms = 30;

    virtual ~KeyDecoder() = default;
    // The next key; with `wait` false only when input is at hand now. False
    // at the end of the input, or when nothing is at hand and not waiting.
    bool next(Key& key, bool wait);

protected:
    // One byte, waiting at most `timeout_ms` (-1: as long as it takes).
    virtual int read_byte(int timeout_ms) = 0;
    // Whether bytes are put back, waiting to be decoded.
    bool has_pushed_back() const { return pushed_count_ > 0; }

private:
    int byte(int timeout_ms);
    void push_back(int value);
    bool escape_sequence(Key& key);
    bool utf8(int lead, Key& key);

    int pushed_[8]{};
    int pushed_count_ = 0;
    bool after_cr_ = false;
};

// A KeyDecoder over a file descriptor (standard input). `redraw` shows the
// screen anew when a wait learns that the window lost it.
class DescriptorKeys : public KeyDecoder {
public:
    explicit DescriptorKeys(int descriptor, std::function<void()> redraw = {})
        : descriptor_(descriptor), redraw_(std::move(redraw)) {}
    // Waits at most `length` until input is at hand, or `link` (when given)
    // has something; false when the time ran out. At the end of the input
    // it waits the whole time, or for the link.
    bool wait_for_input(std::chrono::microseconds length, platform::Link* link = nullptr);

protected:
    int read_byte(int timeout_ms) override;

private:
    void redraw_if_lost();

    int descriptor_;
    std::function<void()> redraw_;
    unsigned char buffer_[4096];
    std::size_t next_ = 0;
    std::size_t size_ = 0;
    bool at_end_ = false;
};

}  // namespace common
