#include "common/typed_answer.h"

#include <algorithm>
#include <cstring>

#include "common/text_reader.h"

namespace common {

namespace {

class KeyboardSource : public TextSource {
public:
    explicit KeyboardSource(Console& console) : console_(console) {}

    std::size_t read(char* buffer, std::size_t size) override {
        const std::string line = console_.read_line();
        const std::size_t n = std::min(line.size(), size - 1);
        std::memcpy(buffer, line.data(), n);
        buffer[n] = '\n';
        return n + 1;
    }
    bool typed() const override { return true; }

private:
    Console& console_;
};

template <typename Read>
auto answer(Console& console, Read read) {
    TextReader reader(std::make_unique<KeyboardSource>(console), "keyboard", 512);
    const auto value = read(reader);
    reader.skip_line();
    return value;
}

}  // namespace

double read_real_answer(Console& console) {
    return answer(console, [](TextReader& reader) { return reader.read_real(); });
}

std::int64_t read_integer_answer(Console& console) {
    return answer(console, [](TextReader& reader) { return reader.read_integer(); });
}

std::int32_t read_int32_answer(Console& console) {
    return answer(console, [](TextReader& reader) { return reader.read_int32(); });
}

}  // namespace common
