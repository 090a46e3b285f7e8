// A TextReader over a text held in memory, a few bytes at a time.
#pragma once

#include <algorithm>
#include <memory>
#include <string>

#include "common/text_reader.h"
#include "tests/support/string_source.h"

namespace survey_testing {

inline common::TextReader reader_of(std::string text, std::string name, std::size_t chunk = 5) {
    return common::TextReader(std::make_unique<testing_support::StringSource>(std::move(text), chunk), std::move(name), 8);
}

}  // namespace survey_testing
