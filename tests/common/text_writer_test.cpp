#include "common/text_writer.h"

#include <gtest/gtest.h>

#include "common/program.h"
#include "common/run_error.h"
#include "common/scripted_console.h"
#include "common/stop_request.h"
#include "tests/support/test_support.h"

using testing_support::TempFolder;

namespace {

TEST(text_writer, lines_end_with_cr_lf_and_appending_keeps_the_file) {
    TempFolder folder;
    {
        auto out = common::TextWriter::create(folder / "a.txt", "a.txt");
        out.write_line("one");
        out.write("two");
    }
    EXPECT_EQ(folder.read("a.txt"), "one\r\ntwo");
    auto more = common::TextWriter::append(folder / "a.txt", "a.txt");
    ASSERT_TRUE(more);
    more->write_line();
    more->close();
    EXPECT_EQ(folder.read("a.txt"), "one\r\ntwo\r\n");
    EXPECT_FALSE(common::TextWriter::append(folder / "missing.txt", "missing.txt"));
}

TEST(text_writer, texts_of_every_length_are_written_whole) {
    // Short texts take their own copy; long ones, and those that fill the
    // buffer, the library's.
    TempFolder folder;
    std::string expected;
    {
        auto out = common::TextWriter::create(folder / "a.txt", "a.txt");
        for (int round = 0; round < 40; ++round) {
            for (std::size_t length = 0; length <= 40; ++length) {
                std::string text;
                for (std::size_t i = 0; i < length; ++i) text += static_cast<char>('a' + (round + i) % 26);
                out.write(text);
                expected += text;
            }
            // Longer than the buffer every third round, a part of it otherwise.
            const std::size_t long_text = round % 3 == 0 ? 300000 : 70000;
            out.write(std::string(long_text, static_cast<char>('0' + round % 10)));
            expected += std::string(long_text, static_cast<char>('0' + round % 10));
        }
    }
    EXPECT_TRUE(folder.read("a.txt") == expected);
}

TEST(text_writer, failures_are_reported_with_the_system_code) {
    TempFolder folder;
    try {
        common::TextWriter::create(folder.path(), "dir");
        FAIL();
    } catch (const common::RunError& error) {
        EXPECT_EQ(error.code(), EISDIR);
    }
    EXPECT_THROW(common::TextWriter::create("", ""), common::RunError);
}

TEST(text_writer, a_write_that_finds_no_room_is_reported_when_it_is_flushed) {
    TempFolder folder;
    auto out = common::TextWriter::create(folder / "full.txt", "full.txt");
    out.write_line("x");
    const testing_support::FileSizeLimit no_room(0);
    if (!no_room.available()) GTEST_SKIP() << "Windows has no limit of file sizes";
    try {
        out.close();
        FAIL();
    } catch (const common::RunError& error) {
        EXPECT_EQ(error.code(), EFBIG);
        EXPECT_NE(error.report().find("full.txt"), std::string::npos);
    }
}

// Outputs are files: a device would be written to (a tape, a line) and a
// pipe without a reader made the open wait for ever. The null device takes
// everything.
TEST(text_writer, outputs_that_are_no_files_are_refused) {
    if (testing_support::on_windows) GTEST_SKIP() << "Windows has neither /dev/full nor fifos";
    const struct {
        const char* path;
        int code;
        const char* reason;
    } cases[] = {{"/dev/full", ENODEV, "a device, not a file"}, {"/dev/tty", ENODEV, "a device, not a file"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        try {
            common::TextWriter::create(c.path, "out.txt");
            FAIL();
        } catch (const common::RunError& error) {
            EXPECT_EQ(error.code(), c.code);
            EXPECT_EQ(error.what(), std::string("cannot create \"out.txt\": ") + c.reason);
        }
    }
    auto null = common::TextWriter::create(testing_support::null_device, "out.txt");
    null.write_line("x");
    null.close();
}

// A file that fails while the run unwinds from another failure is reported
// after it, on the console's bottom rows and in the report, never lost.
TEST(text_writer, a_failure_found_while_closing_after_an_error_is_reported_after_it) {
    static TempFolder folder;
    common::ScriptedConsole console;
    std::string report;
    int code = 0;
    {
        const testing_support::FileSizeLimit no_room(1);
        if (!no_room.available()) GTEST_SKIP() << "Windows has no limit of file sizes";
        code = common::run_on_console(
            console,
            {"test", [](common::Console&, const std::filesystem::path&) -> int {
                 auto out = common::TextWriter::create(folder / "out.txt", "out.txt");
                 out.write_line("more than a byte");
                 throw common::invalid_number("2,5", "keyboard", 0);
             }},
            folder.path(), &report);
    }
    EXPECT_EQ(code, 106);
    const std::string first = "Runtime error 106: invalid numeric format \"2,5\" (keyboard)";
    const std::string late = "Runtime error 27: cannot write \"out.txt\": File too large";
    EXPECT_EQ(report, first + "\n" + late);
    EXPECT_EQ(console.screen().row_text(24).substr(0, first.size()), first);
    EXPECT_EQ(console.screen().row_text(25).substr(0, late.size()), late);
    EXPECT_TRUE(common::take_late_failures().empty());
}

}  // namespace
