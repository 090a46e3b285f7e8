// A text held in memory as the source of a TextReader, handed out `chunk`
// bytes at a time, so that every reading rule is also exercised across
// refills of the reader's buffer.
#pragma once

#include <algorithm>
#include <string>

#include "common/text_reader.h"

namespace testing_support {

class StringSource : public common::TextSource {
public:
    StringSource(std::string text, std::size_t chunk) : text_(std::move(text)), chunk_(chunk) {}
    std::size_t read(char* buffer, std::size_t size) override {
        const std::size_t n = std::min({size, chunk_, text_.size() - next_});
        text_.copy(buffer, n, next_);
        next_ += n;
        return n;
    }

private:
    std::string text_;
    std::size_t chunk_;
    std::size_t next_ = 0;
};

}  // namespace testing_support
