// Piped keys that run out at every prompt of every program: the run ends at
// once (no hang, no spin) with "keyboard input ended" and exit code 100,
// its files closed with what was written so far; an output is created only
// after the last answer that can be refused, so that no older file of its
// name is emptied. The last wait of a finished run (the final key, the
// next-station question) counts as answered and ends with 0.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/robustness/program_runs.h"
#include "tests/support/system.h"

namespace {

using namespace robustness;

struct Kept {
    std::size_t answers;  // after this many answers
    std::string name;     // the file holds
    std::string ends;     // this at its end
    bool created = true;  // false: there is no such file
};

// After this many answers the file does not exist.
Kept not_created(std::size_t answers, std::string name) {
    return {answers, std::move(name), {}, false};
}

struct Dialogue {
    const char* legend;
    std::string_view program;
    std::vector<Entry> entries;
    // The answers in the order the prompts come.
    std::vector<std::string> answers;
    // The exit code when only the first k answers are given, k = 0 .. all.
    std::vector<int> exit_codes;
    std::vector<Kept> kept = {};
};

constexpr std::string_view report = "Runtime error 100: keyboard input ended";

void check_run(const Dialogue& dialogue, const std::string& keys, int exit_code, std::size_t answers) {
    testing_support::TempFolder folder;
    for (const Entry& entry : dialogue.entries) make(folder, entry);
    const Outcome outcome = run_in(dialogue.program, folder, keys, 30);
    const auto& run = outcome.run;
    ASSERT_FALSE(run.timed_out) << "hangs";
    EXPECT_EQ(run.exit_code, exit_code) << run.screen << run.errors;
    if (exit_code == 100) {
        EXPECT_EQ(run.errors, std::string(dialogue.program) + ": " + std::string(report) + "\n");
        EXPECT_EQ(screen_lines(run.screen).back(), report) << run.screen;
    } else {
        EXPECT_EQ(run.errors, "");
    }
    for (const Kept& kept : dialogue.kept) {
        if (kept.answers != answers) continue;
        SCOPED_TRACE(kept.name);
        if (!kept.created) {
            EXPECT_FALSE(fs::exists(folder / kept.name));
            continue;
        }
        ASSERT_TRUE(fs::is_regular_file(folder / kept.name));
        EXPECT_TRUE(folder.read(kept.name).ends_with(kept.ends)) << folder.read(kept.name);
    }
}

// Every prefix of the answers, and every answer cut before its end.
void check_dialogue(const Dialogue& dialogue) {
    ASSERT_EQ(dialogue.exit_codes.size(), dialogue.answers.size() + 1);
    std::string keys;
    for (std::size_t k = 0; k <= dialogue.answers.size(); ++k) {
        SCOPED_TRACE(std::string(dialogue.legend) + ", keys end after answer " + std::to_string(k));
        check_run(dialogue, keys, dialogue.exit_codes[k], k);
        if (k == dialogue.answers.size()) break;
        const std::string& answer = dialogue.answers[k];
        if (answer.size() > 1) {
            SCOPED_TRACE("inside the next answer");
            check_run(dialogue, keys + answer.substr(0, answer.size() - 1), 100, k);
        }
        keys += answer;
    }
}

const std::string recording =
    " 12 35 20.125 -$GPGGA,123519.00,4807.0380,N,01131.0000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n"
    " 12 35 20.325 -$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39\r\n";
const std::string log = "  08.12.2026  12:30:00.257\r\n$GPGGA,1\r\n  RX COM1 4800\r\n\r\n";
const std::string register_lines = "1 100 200 10\r\n2 110 210 11\r\n3 120 190\r\n";
const std::string drawing = "  0\r\nPOINT\r\n  8\r\n0\r\n 10\r\n1.5\r\n 20\r\n2.5\r\n 30\r\n3.5\r\n  0\r\nEOF\r\n";
const std::string list = "1 42.5 23.3\r\n2 42.6 23.4\r\n";
const std::string heading_end = "   ~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~\r\n";

TEST(keys_run_out, nmeadecode) {
    check_dialogue({"a recording", "nmeadecode", {file("REC_COM.txt", recording)}, {"0\n", " "}, {100, 100, 0}});
    check_dialogue({"no recording: the wait for Enter counts as answered", "nmeadecode", {}, {}, {2}});
    check_dialogue({"blank DELAY answers", "nmeadecode", {file("REC_COM.txt", recording)}, {"\n\n\n"}, {100, 100}});

    // Standard input closed at the start: the recording, opened next, must
    // not become the keyboard (it used to answer the DELAY question).
    if (testing_support::on_windows) {
        std::printf("[ skipped  ] standard input closed: Windows gives a program started without one another\n");
        return;
    }
    testing_support::TempFolder folder;
    folder.write("REC_COM.txt", recording);
    const testing_support::ChildRun run = testing_support::run_child(
        testing_support::program_path("nmeadecode"), folder.path(), {}, folder / ".screen", folder / ".errors", 30);
    EXPECT_EQ(run.exit_code, 100);
    EXPECT_EQ(folder.read(".errors"), "nmeadecode: " + std::string(report) + "\n");
    EXPECT_FALSE(fs::exists(folder / "GPS_CORE.txt"));
    EXPECT_FALSE(fs::exists(folder / "GPS_CORE.kml"));
}

TEST(keys_run_out, logconvert) {
    check_dialogue({"a log",
                    "logconvert",
                    {file("NMEA_Wsp.txt", log)},
                    {" "},
                    {100, 0},
                    {{1, "REC_COM.txt", " 12 30  0.257 -$GPGGA,1\r\n"}}});
}

TEST(keys_run_out, regscript) {
    check_dialogue({"layout 1",
                    "regscript",
                    {file("in.txt", register_lines)},
                    {"1", "in.txt\n", "out.scr\n", "2\n", "2\n"},
                    {100, 100, 100, 100, 100, 0},
                    {not_created(3, "out.scr"), not_created(4, "out.scr"), {5, "out.scr", "zoom e\r\n"}}});
    check_dialogue({"layout 8 asks no height",
                    "regscript",
                    {file("in.txt", register_lines)},
                    {"8", "in.txt\n", "out.scr\n"},
                    {100, 100, 100, 0}});
    check_dialogue({"refused layout keys", "regscript", {file("in.txt", register_lines)}, {"90x"}, {100, 100}});
    check_dialogue({"no register", "regscript", {}, {"1", "in.txt\n"}, {100, 100, 2}});
    check_dialogue({"a register that fails the check",
                    "regscript",
                    {file("in.txt", "1 2,5\r\n")},
                    {"1", "in.txt\n"},
                    {100, 100, 106}});
}

TEST(keys_run_out, regscript_basic) {
    check_dialogue({"a register",
                    "regscript_basic",
                    {file("in.txt", register_lines)},
                    {"in.txt\n", "out.scr\n", "2\n", "2\n"},
                    {100, 100, 100, 100, 0},
                    {not_created(2, "out.scr"), not_created(3, "out.scr"), {4, "out.scr", "zoom e\r\n"}}});
    check_dialogue({"no register", "regscript_basic", {}, {"in.txt\n"}, {100, 2}});
}

TEST(keys_run_out, dxfpoints) {
    check_dialogue({"a drawing",
                    "dxfpoints",
                    {file("in.dxf", drawing)},
                    {"in.dxf\n", "out.txt\n"},
                    {100, 100, 0},
                    {{2, "out.txt", "1.500 2.500 3.500\r\n"}}});
    check_dialogue({"no drawing", "dxfpoints", {}, {"in.dxf\n"}, {100, 2}});
}

TEST(keys_run_out, kmlmarks) {
    check_dialogue({"a list",
                    "kmlmarks",
                    {file("in.txt", list)},
                    {"in.txt\n", "out.kml\n", "1", "1"},
                    {100, 100, 100, 100, 0},
                    {not_created(2, "out.kml"), not_created(3, "out.kml"), {4, "out.kml", "</Document></kml>\r\n"}}});
    check_dialogue({"refused menu keys",
                    "kmlmarks",
                    {file("in.txt", list)},
                    {"in.txt\n", "out.kml\n", "4x1", "9"},
                    {100, 100, 100, 100, 100}});
    check_dialogue({"no list", "kmlmarks", {}, {"in.txt\n"}, {100, 2}});
}

TEST(keys_run_out, kmlmarks_basic_and_kmlpath) {
    for (const std::string_view program : {"kmlmarks_basic", "kmlpath"}) {
        check_dialogue({"a list",
                        program,
                        {file("in.txt", list)},
                        {"in.txt\n", "out.kml\n", "1"},
                        {100, 100, 100, 0},
                        {not_created(2, "out.kml"), {3, "out.kml", "</kml>\r\n"}}});
        check_dialogue({"no list", program, {}, {"in.txt\n"}, {100, 2}});
    }
}

TEST(keys_run_out, stakeout) {
    check_dialogue({"two stations",
                    "stakeout",
                    {file("in.txt", register_lines)},
                    {"in.txt\n", "list.txt\n", "1\n", "100\n", "D", "2\n", "100\n"},
                    {100, 100, 100, 100, 0, 100, 100, 0},
                    {not_created(2, "list.txt"),
                     not_created(3, "list.txt"),
                     {4, "list.txt", "      3     370.4833        22.361\r\n"},
                     {5, "list.txt", "      3     370.4833        22.361\r\n"},
                     {7, "list.txt", "      3     329.5167        22.361\r\n"}}});
    check_dialogue({"no register", "stakeout", {}, {"in.txt\n"}, {100, 2}});
    check_dialogue({"an existing listing",
                    "stakeout",
                    {file("in.txt", register_lines), file("list.txt", "kept\r\n")},
                    {"in.txt\n", "list.txt\n", "1\n"},
                    {100, 100, 100, 100},
                    {{2, "list.txt", "kept\r\n"}, {3, "list.txt", "kept\r\n"}}});
}

}  // namespace
