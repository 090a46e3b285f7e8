// What the golden cases cannot see: the screen and the listing while the
// next station is asked, and a listing name that names a folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/cp1251.h"
#include "common/program.h"
#include "common/scripted_console.h"
#include "survey/stakeout/stakeout.h"
#include "tests/support/test_support.h"

using testing_support::TempFolder;

namespace {

// Notes the count row and the listing on disk whenever the program waits
// for the answer to the next-station question (the cursor stands after it).
class WatchedConsole : public common::ScriptedConsole {
public:
    WatchedConsole(std::string_view keys, const TempFolder& folder) : ScriptedConsole(keys), folder_(folder) {}

    void present() override {
        if (screen().row() != 24 || screen().column() != 71) return;
        count_rows.push_back(screen().row_text(18).substr(44, 16));
        listings.push_back(std::filesystem::exists(folder_ / "list.txt") ? folder_.read("list.txt") : "");
    }

    std::vector<std::string> count_rows;
    std::vector<std::string> listings;

private:
    const TempFolder& folder_;
};

constexpr common::Cp1251Text none_included{"Включени :    0 "};
constexpr common::Cp1251Text three_included{"Включени :     3"};

TEST(stakeout, the_count_first_ends_at_column_59_then_at_60_and_the_listing_is_on_disk_at_the_question) {
    TempFolder folder;
    folder.write("reg.txt", "12 1000 2000\r\n13 1040 2030\r\n14 1100 2000\r\n15 1000 2000\r\n");
    WatchedConsole console("reg.txt\nlist.txt\n12\n150\nD99\n150\nN", folder);
    ASSERT_EQ(survey::run_stakeout(console, folder.path()), 0);

    ASSERT_EQ(console.count_rows.size(), 2u);
    const std::size_t first = 0;
    const std::size_t second = 1;
    EXPECT_EQ(console.count_rows[first], three_included.view());
    EXPECT_EQ(console.count_rows[second], none_included.view());
    const std::string listing = folder.read("list.txt");
    EXPECT_EQ(console.listings[second], listing);
    EXPECT_LT(console.listings[first].size(), listing.size());
    EXPECT_EQ(console.listings[first], listing.substr(0, console.listings[first].size()));
    EXPECT_NE(console.listings[first].find("    400.0000         0.000\r\n"), std::string::npos);
}

TEST(stakeout, a_listing_that_exists_but_cannot_be_opened_is_reported_not_replaced) {
    TempFolder folder;
    folder.write("reg.txt", "12 1000 2000\r\n13 1040 2030\r\n");
    std::filesystem::create_directory(folder / "list");
    common::ScriptedConsole console("reg.txt\nlist\n12\n150\nN");
    std::string report;
    const int code = common::run_on_console(console, {"stakeout", survey::run_stakeout}, folder.path(), &report);
    EXPECT_EQ(code, EISDIR);
    EXPECT_EQ(report, "Runtime error 21: cannot open \"list\": Is a directory");
    EXPECT_TRUE(std::filesystem::is_directory(folder / "list"));
    EXPECT_EQ(console.screen().row_text(14).substr(44, 5), "     ") << "not announced as new";
}

}  // namespace
