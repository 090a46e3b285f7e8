// A TextReader over a text held in memory, handed out a few bytes at a time
// so that every rule is also exercised across refills of the reader.
#pragma once

#include <algorithm>
#include <memory>
#include <string>

#include "common/text_reader.h"

namespace survey_testing {

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

inline common::TextReader reader_of(std::string text, std::string name, std::size_t chunk = 5) {
    return common::TextReader(std::make_unique<StringSource>(std::move(text), chunk), std::move(name), 8);
}

}  // namespace survey_testing
