// Values written into fields: the x:w:d, n:w and x:w notation on which
// every screen and file format of the suite rests.
//
//   x:w:d  fixed point, d decimals, right-aligned in w characters
//   n:w    whole number, right-aligned in w characters
//   x:w    scientific, max(2, min(17, w - 7)) significant digits:
//          " 4.5E+001" (sign or blank, digit, point, digits, E, sign,
//          three exponent digits), right-aligned in w characters
//
// A text longer than its width is written whole: the field grows. Rounding
// is that of the binary value (printf semantics), never locale dependent;
// a small negative that rounds to zero keeps its sign (-0.0004 as x:0:3 is
// "-0.000"), as printf writes it.
//
// The results live in a small buffer on the stack, so the hot loops format
// without touching the heap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace common {

class FieldText {
public:
    static constexpr std::size_t capacity = 512;

    FieldText() = default;
    // A copy takes the text, not the whole buffer.
    FieldText(const FieldText& other) : size_(other.size_) { std::memcpy(data_, other.data_, size_); }
    FieldText& operator=(const FieldText& other) {
        size_ = other.size_;
        std::memmove(data_, other.data_, size_);
        return *this;
    }

    std::string_view view() const { return {data_, size_}; }
    // Explicit: a view of a temporary field would dangle.
    explicit operator std::string_view() const { return view(); }
    std::size_t size() const { return size_; }

    void append(std::string_view text);
    void append(char c, std::size_t count = 1);
    // For the formatters: sets the size (at most the capacity) and returns
    // the characters, to be filled in whole.
    char* resize_for_overwrite(std::size_t size);

private:
    char data_[capacity];
    std::size_t size_ = 0;
};

// x:w:d. `decimals` is at most 40.
FieldText fixed(double value, int width, int decimals);
// n:w
FieldText integer(std::int64_t value, int width = 0);
// x:w
FieldText scientific(double value, int width);

}  // namespace common
