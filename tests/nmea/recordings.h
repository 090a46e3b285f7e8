// Recordings as the decoder reads them, for the tests that derive their
// expectations from the sentences themselves: lines, sentences split at
// their commas, plain numbers, and the real receiver recordings.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nmea_testing {

// Lines end at LF, CR LF or a lone CR; only the first 255 characters count.
inline std::vector<std::string> lines_of(const std::string& content) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < content.size(); ++i) {
        const char c = content[i];
        if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < content.size() && content[i + 1] == '\n') ++i;
            lines.push_back(line.substr(0, 255));
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line.substr(0, 255));
    return lines;
}

// A sentence: its tag and its fields between the tag and the "*" (or the
// line end when there is no checksum).
struct Sentence {
    std::string talker;  // the two letters after the "$"
    std::string tag;
    std::vector<std::string> fields;
    std::string prefix;  // the characters before the "$"

    std::string field(std::size_t index) const { return index < fields.size() ? fields[index] : std::string(); }
};

inline std::optional<Sentence> sentence_of(const std::string& line) {
    const std::size_t dollar = line.find('$');
    if (dollar == std::string::npos) return std::nullopt;
    Sentence sentence;
    sentence.prefix = line.substr(0, dollar);
    sentence.talker = line.substr(dollar + 1, 2);
    sentence.tag = line.substr(dollar + 3, 3);
    const std::size_t start = dollar + 7;
    if (line.size() < start || line[start - 1] != ',') return sentence;
    const std::string body = line.substr(start, line.find('*', start) - start);
    std::size_t from = 0;
    for (;;) {
        const std::size_t comma = body.find(',', from);
        sentence.fields.push_back(body.substr(from, comma - from));
        if (comma == std::string::npos) break;
        from = comma + 1;
    }
    return sentence;
}

// The value of a whole field; 0 when it is empty or not a plain number.
inline double number(const std::string& text) {
    if (text.empty()) return 0;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    return *end == '\0' ? value : 0;
}

// A right-aligned number in a fixed column.
inline double column(std::string_view text, std::size_t first, std::size_t count) {
    std::string piece(text.substr(first, count));
    piece.erase(0, piece.find_first_not_of(' '));
    return number(piece);
}

inline std::string formatted(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// A PC clock prefix for every line, a little later each time.
inline std::string with_pc_clock(const std::vector<std::string>& lines) {
    std::string recording;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::size_t milliseconds = 3600000 + i * 137;
        char prefix[32];
        std::snprintf(prefix, sizeof prefix, "%3zu%3zu%7.3f -", milliseconds / 3600000 % 24, milliseconds / 60000 % 60,
                      static_cast<double>(milliseconds % 60000) / 1000);
        recording += prefix + lines[i] + "\r\n";
    }
    return recording;
}

inline std::vector<std::filesystem::path> recordings(const std::filesystem::path& testdata) {
    std::vector<std::filesystem::path> logs;
    for (const auto& entry : std::filesystem::directory_iterator(testdata / "nmea")) {
        if (entry.path().extension() == ".log") logs.push_back(entry.path());
    }
    std::sort(logs.begin(), logs.end());
    return logs;
}

}  // namespace nmea_testing
