// Faults of the files under the readers: a read that fails half way.
#include <gtest/gtest.h>

#include <cerrno>

#include "common/run_error.h"
#include "common/text_reader.h"
#include "tests/support/test_support.h"

namespace {

// /proc/self/mem opens, but reading its first page fails with EIO: a file
// whose reads fail, as a failing disk or a dropped network share gives.
constexpr const char* failing_file = "/proc/self/mem";

TEST(reader_faults, a_failed_read_stops_with_the_system_error) {
    if (testing_support::on_windows) GTEST_SKIP() << "Windows has no file whose reads fail (/proc/self/mem)";
    auto reader = common::TextReader::open(failing_file, "in.txt");
    ASSERT_TRUE(reader);
    try {
        (void)reader->read_line();
        ADD_FAILURE() << "no error";
    } catch (const common::RunError& error) {
        EXPECT_EQ(error.code(), EIO);
        EXPECT_NE(error.report().find("cannot read"), std::string::npos) << error.report();
    }
}

// The report names the file being read. Found by the hostile-input tables:
// the report once read `cannot read "": Input/output error`, because the
// file source copied a name that the reader had already taken.
TEST(reader_faults, a_failed_read_names_the_file) {
    if (testing_support::on_windows) GTEST_SKIP() << "Windows has no file whose reads fail (/proc/self/mem)";
    auto reader = common::TextReader::open(failing_file, "in.txt");
    ASSERT_TRUE(reader);
    try {
        (void)reader->read_line();
        ADD_FAILURE() << "no error";
    } catch (const common::RunError& error) {
        EXPECT_EQ(error.report(), "Runtime error 5: cannot read \"in.txt\": Input/output error");
    }
}

}  // namespace
