#include "common/text_writer.h"

#include <gtest/gtest.h>

#include "common/run_error.h"
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
    if (testing_support::on_windows) GTEST_SKIP() << "Windows has no device that is always full (/dev/full)";
    auto full = common::TextWriter::create("/dev/full", "full.txt");
    full.write_line("x");
    try {
        full.close();
        FAIL();
    } catch (const common::RunError& error) {
        EXPECT_EQ(error.code(), ENOSPC);
        EXPECT_NE(error.report().find("full.txt"), std::string::npos);
    }
}

}  // namespace
