// Golden end-to-end cases. Each folder tests/golden/<program>/<case>/ holds
//   in/         the files of the working folder before the run (optional)
//   keys        the keystrokes piped to the program; "\n" (or a new line) is
//               Enter, and \e, \r, \t, \\ and \xHH stand for those bytes
//   out/        every file the run creates or changes, as it must be
//   screen.txt  the final screen, as the stream console prints it
//   exit_code   the expected exit code, when it is not 0
//   README      one line: what the case pins
// The case runs in a scratch copy of in/ and is compared byte for byte.
// GOLDEN_UPDATE=1 writes the actual results into the case instead (say why
// in the commit message whenever an expected file changes).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "tests/support/test_support.h"

namespace fs = std::filesystem;
using namespace testing_support;

namespace {

std::string decode_keys(std::string_view text) {
    std::string keys;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            keys += text[i];
            continue;
        }
        const char c = text[++i];
        switch (c) {
            case 'n': keys += '\n'; break;
            case 'r': keys += '\r'; break;
            case 't': keys += '\t'; break;
            case 'e': keys += '\x1b'; break;
            case '\\': keys += '\\'; break;
            case 'x':
                if (i + 2 < text.size() + 1) {
                    keys += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
                    i += 2;
                }
                break;
            default: keys += '\\'; keys += c; break;
        }
    }
    return keys;
}

std::map<std::string, std::string> files_of(const fs::path& folder) {
    std::map<std::string, std::string> files;
    if (!fs::is_directory(folder)) return files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.is_regular_file()) files[utf8_name(entry.path().filename())] = read_file(entry.path());
    }
    return files;
}

// Shows where two texts part, with the bytes that are not plain ASCII escaped.
std::string first_difference(const std::string& expected, const std::string& actual) {
    const auto mismatch = std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end());
    const std::size_t at = static_cast<std::size_t>(mismatch.first - expected.begin());
    const std::size_t line = static_cast<std::size_t>(std::count(expected.begin(), expected.begin() + static_cast<std::ptrdiff_t>(at), '\n')) + 1;
    auto excerpt = [at](const std::string& text) {
        const std::size_t start = at > 40 ? at - 40 : 0;
        std::string shown;
        for (const char c : text.substr(start, 80)) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte >= 32 && byte < 127) {
                shown += c;
            } else {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02X", byte);
                shown += hex;
            }
        }
        return shown;
    };
    return "first difference at byte " + std::to_string(at) + " (line " + std::to_string(line) + ")\n  expected: " +
           excerpt(expected) + "\n  actual:   " + excerpt(actual);
}

class GoldenCase : public testing::Test {
public:
    GoldenCase(std::string program, fs::path folder) : program_(std::move(program)), folder_(std::move(folder)) {}

    void TestBody() override {
        TempFolder work;
        const auto inputs = files_of(folder_ / "in");
        for (const auto& [name, content] : inputs) work.write(name, content);
        const std::string keys = fs::exists(folder_ / "keys") ? decode_keys(read_file(folder_ / "keys")) : "";

        const ProgramRun run = run_program(program_, work.path(), keys);
        ASSERT_FALSE(run.timed_out) << "the program did not end";
        const auto after = files_of(work.path());

        if (std::getenv("GOLDEN_UPDATE") != nullptr) {
            update(run, inputs, after);
            return;
        }
        const int expected_exit = fs::exists(folder_ / "exit_code") ? std::stoi(read_file(folder_ / "exit_code")) : 0;
        EXPECT_EQ(run.exit_code, expected_exit) << run.errors;
        const std::string screen = read_file(folder_ / "screen.txt");
        EXPECT_EQ(screen, run.screen) << "screen: " << first_difference(screen, run.screen) << "\n" << run.screen;

        const auto expected = files_of(folder_ / "out");
        for (const auto& [name, content] : expected) {
            const auto found = after.find(name);
            if (found == after.end()) {
                ADD_FAILURE() << name << " was not written";
                continue;
            }
            EXPECT_TRUE(content == found->second) << name << ": " << first_difference(content, found->second);
        }
        for (const auto& [name, content] : after) {
            if (expected.count(name) != 0) continue;
            const auto input = inputs.find(name);
            EXPECT_TRUE(input != inputs.end() && input->second == content)
                << name << " was written, but the case does not expect it";
        }
    }

private:
    void update(const ProgramRun& run, const std::map<std::string, std::string>& inputs,
                const std::map<std::string, std::string>& after) {
        write_file(folder_ / "screen.txt", run.screen);
        if (run.exit_code != 0) {
            write_file(folder_ / "exit_code", std::to_string(run.exit_code) + "\n");
        } else {
            fs::remove(folder_ / "exit_code");
        }
        fs::remove_all(folder_ / "out");
        for (const auto& [name, content] : after) {
            const auto input = inputs.find(name);
            if (input != inputs.end() && input->second == content) continue;
            fs::create_directories(folder_ / "out");
            write_file(folder_ / "out" / utf8_path(name), content);
        }
    }

    std::string program_;
    fs::path folder_;
};

void register_cases() {
    const fs::path root = source_path("tests/golden");
    std::vector<fs::path> programs;
    for (const auto& entry : fs::directory_iterator(root)) {
        if (entry.is_directory()) programs.push_back(entry.path());
    }
    std::sort(programs.begin(), programs.end());
    for (const fs::path& program : programs) {
        std::vector<fs::path> cases;
        for (const auto& entry : fs::directory_iterator(program)) {
            if (entry.is_directory()) cases.push_back(entry.path());
        }
        std::sort(cases.begin(), cases.end());
        const std::string name = program.filename().string();
        for (const fs::path& folder : cases) {
            testing::RegisterTest(name.c_str(), folder.filename().string().c_str(), nullptr, nullptr, __FILE__,
                                  __LINE__, [=]() -> testing::Test* { return new GoldenCase(name, folder); });
        }
    }
}

const bool registered = (register_cases(), true);

}  // namespace
