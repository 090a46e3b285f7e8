// bench_run: times the nine programs of the suite on generated inputs, through
// the stream console (piped keys, DELAY 0), beside the floors (wc -l, grep -c,
// cat) and, when they are installed, the peers a user would pick instead
// (GPSBabel, ogr2ogr), all in the same run and on the same inputs.
//
//   bench_run [--size full|small|smoke] [--scale X] [--runs N] [--only a,b]
//             [--no-peers] [--terminal] [--scratch FOLDER] [--keep]
//
// bench/run finds the build and starts this program; the programs, and the
// data generator, are taken from the folder this program lives in. Each run
// is a child started with fork and exec, its keys written into a pipe, its
// time taken around it and its CPU time and peak memory from wait4. Nothing
// asserts a time: the exit code says only whether every program ran and
// ended with 0.

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

// ---------------------------------------------------------------- running

struct Run {
    double wall = 0;  // seconds from fork to the end of wait4
    double cpu = 0;   // user + system seconds of the child
    long peak_kb = 0;
    int status = -1;  // exit code, or 128 + signal
};

struct Launch {
    std::vector<std::string> argv;
    std::string keys;          // written into the child's standard input
    fs::path output;           // standard output; empty: /dev/null
    fs::path errors;           // standard error; empty: /dev/null
    fs::path folder;           // working folder
};

[[noreturn]] void child(const Launch& launch, int keys_pipe) {
    std::signal(SIGPIPE, SIG_DFL);
    if (::chdir(launch.folder.c_str()) != 0) ::_exit(126);
    ::dup2(keys_pipe, 0);
    ::close(keys_pipe);
    const auto redirect = [](const fs::path& path, int descriptor) {
        const int file = ::open(path.empty() ? "/dev/null" : path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (file < 0) ::_exit(126);
        ::dup2(file, descriptor);
        ::close(file);
    };
    redirect(launch.output, 1);
    redirect(launch.errors, 2);
    std::vector<char*> argv;
    for (const std::string& argument : launch.argv) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
}

Run run(const Launch& launch) {
    int keys[2];
    if (::pipe(keys) != 0) throw std::runtime_error("pipe: " + std::string(std::strerror(errno)));
    const auto start = Clock::now();
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork: " + std::string(std::strerror(errno)));
    if (pid == 0) {
        ::close(keys[1]);
        child(launch, keys[0]);
    }
    ::close(keys[0]);
    // The keys are a few bytes, far below what a pipe holds; a program that
    // ends before reading them all just leaves them.
    std::string_view rest = launch.keys;
    while (!rest.empty()) {
        const ssize_t n = ::write(keys[1], rest.data(), rest.size());
        if (n <= 0) break;
        rest.remove_prefix(static_cast<std::size_t>(n));
    }
    ::close(keys[1]);
    int status = 0;
    rusage usage{};
    while (::wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    Run result;
    result.wall = std::chrono::duration<double>(Clock::now() - start).count();
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    result.cpu = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    result.peak_kb = usage.ru_maxrss;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n == 0 ? 0 : n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Timing {
    double wall = 0, cpu = 0;
    long peak_kb = 0;
    bool ok = false;
};

// Runs `launch` `runs` times; `before` (when given) prepares each run.
template <typename Before>
Timing time_runs(const Launch& launch, int runs, Before before, std::string& failure) {
    std::vector<double> walls, cpus;
    Timing timing;
    for (int i = 0; i < runs; ++i) {
        before();
        const Run r = run(launch);
        if (r.status != 0) {
            std::ostringstream report;
            report << launch.argv[0] << " ended with " << r.status;
            if (!launch.errors.empty()) {
                std::ifstream errors(launch.errors);
                std::string line;
                if (std::getline(errors, line)) report << ": " << line;
            }
            failure = report.str();
            return timing;
        }
        walls.push_back(r.wall);
        cpus.push_back(r.cpu);
        timing.peak_kb = std::max(timing.peak_kb, r.peak_kb);
    }
    timing.wall = median(walls);
    timing.cpu = median(cpus);
    timing.ok = true;
    return timing;
}

bool on_path(const std::string& name) {
    const char* path = std::getenv("PATH");
    if (path == nullptr) return false;
    std::stringstream folders(path);
    std::string folder;
    while (std::getline(folders, folder, ':')) {
        if (!folder.empty() && ::access((fs::path(folder) / name).c_str(), X_OK) == 0) return true;
    }
    return false;
}

std::uintmax_t size_of(const fs::path& path) {
    std::error_code error;
    const auto size = fs::file_size(path, error);
    return error ? 0 : size;
}

// ---------------------------------------------------------------- the plan

struct Sizes {
    std::uint64_t epochs;       // 10 recording lines each
    std::uint64_t dxf_points;
    std::uint64_t points;       // registers and point lists
};

// Stations of the stake-out runs: point numbers of the fixed layout, which
// wrap at 65535, so that each stands several times in a large register.
constexpr int stations[] = {12, 5000, 20000, 40000, 65535};
constexpr const char* stake_out_radius = "150";

struct Input {
    std::string name;            // file in the scratch folder
    std::string what;            // shown in the table
    std::vector<std::string> generate;  // arguments of the generator
    std::string pattern;         // for grep -c
    bool floors = true;
};

struct Case {
    std::string program;
    std::string input;   // name of an Input
    std::string keys;
    std::vector<std::string> outputs;
    std::string unit;    // "lines" or "points"
    std::uint64_t items;
    std::string note;
};

struct Peer {
    std::string label;
    std::string tool;
    std::string input;   // name of an Input
    std::vector<std::string> argv;
    std::vector<std::string> outputs;
};

struct Plan {
    std::vector<Input> inputs;
    std::vector<Case> cases;
    std::vector<Peer> peers;
};

std::string number(std::uint64_t n) { return std::to_string(n); }

Plan plan_for(const Sizes& s) {
    Plan plan;
    const std::string epochs = number(s.epochs);
    const std::string points = number(s.points);
    plan.inputs = {
        {"REC_COM.txt", "recording", {"recording", "--epochs", epochs}, "GGA"},
        {"plain.nmea", "recording without clock", {"recording", "--epochs", epochs, "--plain"}, "GGA", false},
        {"NMEA_Wsp.txt", "logger's log", {"log", "--epochs", epochs}, "GGA"},
        {"drawing.dxf", "DXF drawing", {"dxf", "--points", number(s.dxf_points)}, "POINT"},
        {"reg1.txt", "register layout 1", {"register", "--points", points, "--layout", "1"}, "5"},
        {"reg7.txt", "register layout 7", {"register", "--points", points, "--layout", "7"}, "5", false},
        {"fixed.txt", "register fixed", {"register", "--points", points, "--layout", "fixed"}, "5"},
        {"numbered1.txt", "list notation 1", {"points", "--points", points, "--notation", "1", "--order", "1"}, "5"},
        {"numbered2.txt", "list notation 2", {"points", "--points", points, "--notation", "2", "--order", "1"}, "5", false},
        {"numbered3.txt", "list notation 3", {"points", "--points", points, "--notation", "3", "--order", "1"}, "5", false},
        {"names1.txt", "named list n. 1", {"points", "--points", points, "--notation", "1", "--order", "3"}, "5", false},
        {"names2.txt", "named list n. 2", {"points", "--points", points, "--notation", "2", "--order", "3"}, "5", false},
        {"names3.txt", "named list n. 3", {"points", "--points", points, "--notation", "3", "--order", "3"}, "5", false},
        {"points.csv", "CSV list", {"csv", "--points", points}, "5", false},
    };

    std::string stake_keys = "fixed.txt\nlisting.txt\n";
    for (std::size_t i = 0; i < std::size(stations); ++i) {
        if (i > 0) stake_keys += "D";
        stake_keys += std::to_string(stations[i]) + "\n" + stake_out_radius + "\n";
    }
    stake_keys += "N";

    const std::uint64_t lines = s.epochs * 10;
    plan.cases = {
        {"nmeadecode", "REC_COM.txt", "0\n\n", {"GPS_CORE.txt", "GPS_CORE.kml"}, "lines", lines, ""},
        {"logconvert", "NMEA_Wsp.txt", "\n", {"REC_COM.txt"}, "lines", lines * 4, ""},
        {"regscript", "reg1.txt", "1reg1.txt\nreg1.scr\n2\n2\n", {"reg1.scr"}, "points", s.points, "layout 1"},
        {"regscript", "reg7.txt", "7reg7.txt\nreg7.scr\n2\n2\n", {"reg7.scr"}, "points", s.points, "layout 7"},
        {"regscript_basic", "fixed.txt", "fixed.txt\nfixed.scr\n2\n2\n", {"fixed.scr"}, "points", s.points, ""},
        {"dxfpoints", "drawing.dxf", "drawing.dxf\ndrawing.txt\n", {"drawing.txt"}, "points", s.dxf_points + 4, ""},
        {"kmlmarks", "names1.txt", "names1.txt\nmarks1.kml\n13\n", {"marks1.kml"}, "points", s.points, "notation 1"},
        {"kmlmarks", "names2.txt", "names2.txt\nmarks2.kml\n23\n", {"marks2.kml"}, "points", s.points, "notation 2"},
        {"kmlmarks", "names3.txt", "names3.txt\nmarks3.kml\n33\n", {"marks3.kml"}, "points", s.points, "notation 3"},
        {"kmlmarks_basic", "numbered1.txt", "numbered1.txt\nbasic1.kml\n1\n", {"basic1.kml"}, "points", s.points,
         "notation 1"},
        {"kmlmarks_basic", "numbered2.txt", "numbered2.txt\nbasic2.kml\n2\n", {"basic2.kml"}, "points", s.points,
         "notation 2"},
        {"kmlmarks_basic", "numbered3.txt", "numbered3.txt\nbasic3.kml\n3\n", {"basic3.kml"}, "points", s.points,
         "notation 3"},
        {"kmlpath", "numbered1.txt", "numbered1.txt\npath1.kml\n1\n", {"path1.kml"}, "points", s.points, "notation 1"},
        {"kmlpath", "numbered2.txt", "numbered2.txt\npath2.kml\n2\n", {"path2.kml"}, "points", s.points, "notation 2"},
        {"kmlpath", "numbered3.txt", "numbered3.txt\npath3.kml\n3\n", {"path3.kml"}, "points", s.points, "notation 3"},
        // Each station reads the register twice.
        {"stakeout", "fixed.txt", stake_keys, {"listing.txt"}, "points", 2 * s.points * std::size(stations),
         std::to_string(std::size(stations)) + " stations"},
    };

    plan.peers = {
        {"GPSBabel NMEA to KML", "gpsbabel", "plain.nmea",
         {"gpsbabel", "-i", "nmea,gprmc=0,gpvtg=0,gpgsa=0", "-f", "plain.nmea", "-o", "kml,points=0", "-F",
          "gpsbabel_track.kml"},
         {"gpsbabel_track.kml"}},
        {"ogr2ogr DXF points to CSV", "ogr2ogr", "drawing.dxf",
         {"ogr2ogr", "-f", "CSV", "ogr_points.csv", "drawing.dxf", "-lco", "GEOMETRY=AS_XYZ", "-where",
          "SubClasses = 'AcDbEntity:AcDbPoint'"},
         {"ogr_points.csv"}},
        {"GPSBabel CSV to KML placemarks", "gpsbabel", "points.csv",
         {"gpsbabel", "-i", "unicsv", "-f", "points.csv", "-o", "kml", "-F", "gpsbabel_marks.kml"},
         {"gpsbabel_marks.kml"}},
        {"GPSBabel CSV to KML path", "gpsbabel", "points.csv",
         {"gpsbabel", "-i", "unicsv", "-f", "points.csv", "-x", "transform,trk=wpt,del", "-o", "kml,points=0", "-F",
          "gpsbabel_path.kml"},
         {"gpsbabel_path.kml"}},
    };
    return plan;
}

// ---------------------------------------------------------------- options

struct Options {
    std::string size = "full";
    double scale = 1;
    int runs = 0;  // 0: by size
    std::vector<std::string> only;
    bool peers = true;
    bool terminal = false;
    fs::path scratch;
    bool keep = false;
};

constexpr const char* usage =
    "usage: bench_run [--size full|small|smoke] [--scale X] [--runs N] [--only program,...]\n"
    "                 [--no-peers] [--terminal] [--scratch FOLDER] [--keep]\n"
    "  full:  a recording of 1,000,000 lines, a drawing of 500,000 points,\n"
    "         registers and point lists of 1,000,000 points (--scale multiplies)\n"
    "  small: a tenth of that; smoke: a few thousand lines, one run, no peers\n";

std::optional<Options> parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        const auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= argc) return std::nullopt;
            return std::string(argv[++i]);
        };
        if (name == "--size") {
            const auto v = value();
            if (!v || (*v != "full" && *v != "small" && *v != "smoke")) return std::nullopt;
            o.size = *v;
        } else if (name == "--smoke") {
            o.size = "smoke";
        } else if (name == "--scale") {
            const auto v = value();
            if (!v) return std::nullopt;
            char* end = nullptr;
            o.scale = std::strtod(v->c_str(), &end);
            if (*end != '\0' || !(o.scale > 0) || o.scale > 1000) return std::nullopt;
        } else if (name == "--runs") {
            const auto v = value();
            if (!v) return std::nullopt;
            o.runs = std::atoi(v->c_str());
            if (o.runs < 1 || o.runs > 100) return std::nullopt;
        } else if (name == "--only") {
            const auto v = value();
            if (!v) return std::nullopt;
            std::stringstream list(*v);
            std::string program;
            while (std::getline(list, program, ',')) o.only.push_back(program);
        } else if (name == "--no-peers") {
            o.peers = false;
        } else if (name == "--terminal") {
            o.terminal = true;
        } else if (name == "--scratch") {
            const auto v = value();
            if (!v) return std::nullopt;
            o.scratch = *v;
        } else if (name == "--keep") {
            o.keep = true;
        } else {
            return std::nullopt;
        }
    }
    if (o.runs == 0) o.runs = o.size == "smoke" ? 1 : 5;
    if (o.size == "smoke") o.peers = false;
    return o;
}

// ---------------------------------------------------------------- the table

std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* pattern, ...) {
    char buffer[512];
    va_list arguments;
    va_start(arguments, pattern);
    std::vsnprintf(buffer, sizeof buffer, pattern, arguments);
    va_end(arguments);
    return buffer;
}

std::string megabytes(std::uintmax_t bytes) { return format("%.1f", static_cast<double>(bytes) / 1e6); }

std::string per_second(double count, double seconds) {
    if (seconds <= 0) return "-";
    const double rate = count / seconds;
    if (rate >= 1e6) return format("%.2f M", rate / 1e6);
    if (rate >= 1e3) return format("%.1f k", rate / 1e3);
    return format("%.0f", rate);
}

std::string seconds_text(double seconds) { return format("%.3f", seconds); }

struct Measured {
    Timing timing;
    std::uintmax_t bytes = 0;
    std::uintmax_t output_bytes = 0;
};

// ---------------------------------------------------------------- the terminal

// The replay in a real terminal: nmeadecode in a tmux pane of 80 x 25, the
// DELAY answered with 0 and a key pressed, timed from the key to the end of
// the program; what it writes to the terminal is piped out of the pane and
// counted. Reports against the stream run of the same recording.
struct TerminalResult {
    bool ran = false;
    std::string failure;
    double wall = 0, key_delay = 0;
    std::uintmax_t bytes = 0;
    bool same_final_screen = false;
};

std::string read_text(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string run_capture(const std::vector<std::string>& argv, const fs::path& folder) {
    const fs::path out = folder / "tmux.out";
    run(Launch{argv, "", out, "", folder});
    return read_text(out);
}

bool alive(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return false;
    const std::size_t close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] != 'Z';
}

std::vector<std::string> lines_without_trailing_blanks(const std::string& text) {
    std::vector<std::string> lines;
    std::stringstream stream(text);
    std::string line;
    while (std::getline(stream, line)) {
        line.erase(line.find_last_not_of(' ') + 1);
        lines.push_back(line);
    }
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}

TerminalResult terminal_replay(const fs::path& programs, const fs::path& folder, const std::string& stream_screen) {
    TerminalResult result;
    const std::string socket = "surveykit-bench-" + std::to_string(::getpid());
    const auto tmux = [&](std::vector<std::string> arguments) {
        std::vector<std::string> argv{"tmux", "-L", socket, "-f", "/dev/null"};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        return argv;
    };
    const auto command = [&](std::vector<std::string> arguments) {
        Launch launch{tmux(std::move(arguments)), "", "", "", folder};
        return run(launch);
    };
    const auto screen = [&] { return run_capture(tmux({"capture-pane", "-p", "-S", "-"}), folder); };
    const auto wait_for = [&](const std::string& text) {
        for (int i = 0; i < 200; ++i) {
            if (screen().find(text) != std::string::npos) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
        return false;
    };
    const fs::path bytes_file = folder / "terminal.bytes";
    command({"new-session", "-d", "-x", "80", "-y", "25", "-c", folder.string(), (programs / "nmeadecode").string(), ";",
             "set-option", "-g", "remain-on-exit", "on"});
    const std::string pane_pid = run_capture(tmux({"display", "-p", "#{pane_pid}"}), folder);
    const pid_t pid = static_cast<pid_t>(std::atol(pane_pid.c_str()));
    if (pid <= 0 || !wait_for("DELAY on presentation")) {
        result.failure = "nmeadecode did not start in tmux";
        command({"kill-server"});
        return result;
    }
    command({"pipe-pane", "-O", "cat > '" + bytes_file.string() + "'"});
    command({"send-keys", "0", "Enter"});
    if (!wait_for("For START and STOP")) {
        result.failure = "no start prompt in tmux";
        command({"kill-server"});
        return result;
    }
    // What a tmux client takes to deliver a key, measured on a command
    // that does nothing: it is part of the replay's time as measured here.
    std::vector<double> delays;
    for (int i = 0; i < 5; ++i) {
        const auto start = Clock::now();
        command({"display", "-p", ""});
        delays.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    }
    result.key_delay = median(delays);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const std::uintmax_t before = size_of(bytes_file);
    const auto start = Clock::now();
    command({"send-keys", " "});
    while (alive(pid)) std::this_thread::sleep_for(std::chrono::microseconds(200));
    result.wall = std::chrono::duration<double>(Clock::now() - start).count();
    // The final dashboard, scrolled by the line end after it and by tmux's
    // own note on the dead pane, ends what the pane holds. A busy tmux may
    // take a moment to show it, and to pass on the last bytes.
    const std::vector<std::string> expected = lines_without_trailing_blanks(stream_screen);
    for (int i = 0; i < 100 && !result.same_final_screen; ++i) {
        if (i > 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::vector<std::string> shown = lines_without_trailing_blanks(screen());
        while (!shown.empty() && (shown.back().rfind("Pane is dead", 0) == 0 || shown.back().empty())) {
            shown.pop_back();
        }
        result.same_final_screen = shown.size() >= expected.size() &&
                                   std::equal(expected.begin(), expected.end(), shown.end() - expected.size());
    }
    for (std::uintmax_t size = 0; size != size_of(bytes_file);) {
        size = size_of(bytes_file);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    result.bytes = size_of(bytes_file) - before;
    command({"kill-server"});
    result.ran = true;
    return result;
}

// ---------------------------------------------------------------- the run

struct Scratch {
    fs::path path;
    bool keep = false;
    ~Scratch() {
        if (!path.empty() && !keep) {
            std::error_code ignored;
            fs::remove_all(path, ignored);
        }
    }
};

#ifdef SURVEYKIT_BUILD_TYPE
constexpr const char* build_type = SURVEYKIT_BUILD_TYPE;
#else
constexpr const char* build_type = "an unknown build type";
#endif

double load_average() {
    std::ifstream file("/proc/loadavg");
    double load = -1;
    file >> load;
    return load;
}

Sizes sizes_for(const Options& o) {
    Sizes sizes{100000, 500000, 1000000};
    if (o.size == "small") sizes = {10000, 50000, 100000};
    if (o.size == "smoke") sizes = {200, 1000, 2000};
    const auto scaled = [&](std::uint64_t n) {
        return std::max<std::uint64_t>(1, static_cast<std::uint64_t>(std::llround(static_cast<double>(n) * o.scale)));
    };
    return {scaled(sizes.epochs), scaled(sizes.dxf_points), scaled(sizes.points)};
}

// A fresh folder below --scratch or the system's temporary folder; empty,
// with the reason on standard error, when none can be made.
fs::path make_scratch_folder(const Options& o) {
    const fs::path base = o.scratch.empty() ? fs::temp_directory_path() : o.scratch;
    std::string pattern = (base / "surveykit-bench.XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::fprintf(stderr, "bench_run: cannot make a scratch folder in %s\n", base.c_str());
        return {};
    }
    return pattern;
}

// One benchmark run, step by step: the inputs generated in the scratch
// folder, then our programs, the floors and the peers timed, each step
// printing its table; the comparisons read what the steps measured.
class Benchmark {
public:
    Benchmark(const Options& options, const fs::path& programs, const Sizes& sizes, const fs::path& folder)
        : options_(options), programs_(programs), sizes_(sizes), folder_(folder), plan_(plan_for(sizes)),
          have_gpsbabel_(options.peers && on_path("gpsbabel")), have_ogr2ogr_(options.peers && on_path("ogr2ogr")),
          have_tmux_(on_path("tmux")) {
        std::erase_if(plan_.cases, [&](const Case& c) { return !selected(c.program); });
        // Inputs: those that a selected case or an installed peer reads.
        for (const Case& c : plan_.cases) needed_[c.input] = true;
        for (const Peer& peer : plan_.peers) {
            if (peer_wanted(peer)) needed_[peer.input] = true;
        }
    }

    void print_heading() const;
    // False, with the reason on standard error, when the generator fails.
    bool generate_inputs();
    void time_programs();
    void time_floors();
    void time_peers();
    void print_comparisons() const;
    void time_terminal();
    // The count of failures, printed; the exit code of the run.
    int report_failures() const;

private:
    bool selected(const std::string& program) const {
        return options_.only.empty() ||
               std::find(options_.only.begin(), options_.only.end(), program) != options_.only.end();
    }
    bool peer_wanted(const Peer& peer) const;
    const Input& input_named(const std::string& name) const {
        return *std::find_if(plan_.inputs.begin(), plan_.inputs.end(), [&](const Input& i) { return i.name == name; });
    }
    // What prepares each timed run: the outputs of the run before go.
    auto remove_outputs(const std::vector<std::string>& outputs) const {
        return [folder = folder_, outputs] {
            for (const std::string& output : outputs) {
                std::error_code ignored;
                fs::remove(folder / output, ignored);
            }
        };
    }
    void floor_row(const std::string& label, const std::string& key, const Launch& launch, std::uintmax_t bytes,
                   const std::string& what, const std::vector<std::string>& outputs);
    void ratio_row(const std::string& label, const std::string& ours_key, const Timing* theirs, double goal,
                   bool ours_faster) const;
    const char* verdict(bool met) const {
        // A smoke run is too small to judge the goals.
        return options_.size == "smoke" ? "(smoke run)" : met ? "met" : "NOT met";
    }
    const Timing* peer(const std::string& label) const {
        const auto found = peers_.find(label);
        return found == peers_.end() ? nullptr : &found->second;
    }
    const Timing* floor_of(const std::string& key) const {
        const auto found = floors_.find(key);
        return found == floors_.end() ? nullptr : &found->second;
    }

    const Options& options_;
    const fs::path programs_;
    const Sizes sizes_;
    const fs::path folder_;
    Plan plan_;
    const bool have_gpsbabel_;
    const bool have_ogr2ogr_;
    const bool have_tmux_;
    std::map<std::string, bool> needed_;
    std::map<std::string, Measured> ours_;  // by program and note
    std::map<std::string, Timing> floors_;  // "wc input", "grep input", "cat input"
    std::map<std::string, Timing> peers_;   // by label
    int failures_ = 0;
    long peak_kb_ = 0;
};

bool Benchmark::peer_wanted(const Peer& peer) const {
    if (peer.tool == "gpsbabel" && !have_gpsbabel_) return false;
    if (peer.tool == "ogr2ogr" && !have_ogr2ogr_) return false;
    if (peer.input == "plain.nmea") return selected("nmeadecode");
    if (peer.input == "drawing.dxf") return selected("dxfpoints");
    if (peer.label.find("path") != std::string::npos) return selected("kmlpath");
    return selected("kmlmarks") || selected("kmlmarks_basic");
}

void Benchmark::print_heading() const {
    const Options& o = options_;
    std::printf("surveykit benchmark: %s inputs%s, median of %d run%s, stream console (piped keys, DELAY 0)\n",
                o.size.c_str(), o.scale != 1 ? format(" x %g", o.scale).c_str() : "", o.runs, o.runs > 1 ? "s" : "");
    std::printf("programs built as %s; %u cores, load average %.2f at the start\n", build_type,
                std::thread::hardware_concurrency(), load_average());
    std::printf("wall = elapsed seconds, cpu = user + system seconds, peak = largest resident set (getrusage)\n");
    std::printf("generating inputs in %s ...\n", folder_.c_str());
    std::fflush(stdout);
}

bool Benchmark::generate_inputs() {
    for (const Input& input : plan_.inputs) {
        if (!needed_[input.name]) continue;
        std::vector<std::string> argv{(programs_ / "generate").string()};
        argv.insert(argv.end(), input.generate.begin(), input.generate.end());
        const Run r = run(Launch{argv, "", folder_ / input.name, folder_ / "generate.err", folder_});
        if (r.status != 0) {
            std::fprintf(stderr, "bench_run: the generator failed for %s (%d)\n", input.name.c_str(), r.status);
            return false;
        }
    }
    return true;
}

void Benchmark::time_programs() {
    std::printf("\n%-16s %-11s %-19s %8s %10s %8s %8s %8s %11s %7s\n", "program", "", "input", "MB", "count", "wall s",
                "cpu s", "MB/s", "per second", "peak MB");
    for (const Case& c : plan_.cases) {
        const Input& input = input_named(c.input);
        Launch launch{{(programs_ / c.program).string()}, c.keys, folder_ / ("screen_" + c.program + ".txt"),
                      folder_ / ("errors_" + c.program + ".txt"), folder_};
        std::string failure;
        Measured m;
        m.timing = time_runs(launch, options_.runs, remove_outputs(c.outputs), failure);
        m.bytes = size_of(folder_ / c.input);
        for (const std::string& output : c.outputs) m.output_bytes += size_of(folder_ / output);
        ours_[c.program + "/" + c.note] = m;
        if (!m.timing.ok) {
            ++failures_;
            std::printf("%-16s %-11s %-19s FAILED: %s\n", c.program.c_str(), c.note.c_str(), input.what.c_str(),
                        failure.c_str());
            continue;
        }
        peak_kb_ = std::max(peak_kb_, m.timing.peak_kb);
        std::printf("%-16s %-11s %-19s %8s %10s %8s %8s %8.1f %9s %s %7.1f\n", c.program.c_str(), c.note.c_str(),
                    input.what.c_str(), megabytes(m.bytes).c_str(), number(c.items).c_str(),
                    seconds_text(m.timing.wall).c_str(), seconds_text(m.timing.cpu).c_str(),
                    static_cast<double>(m.bytes) / 1e6 / m.timing.wall, per_second(c.items, m.timing.wall).c_str(),
                    c.unit == "lines" ? "l" : "p", static_cast<double>(m.timing.peak_kb) / 1024);
        std::fflush(stdout);
    }
}

void Benchmark::floor_row(const std::string& label, const std::string& key, const Launch& launch,
                          std::uintmax_t bytes, const std::string& what, const std::vector<std::string>& outputs) {
    std::string failure;
    const Timing t = time_runs(launch, options_.runs, remove_outputs(outputs), failure);
    // grep -c ends with 1 when nothing matches; that is a count, not a failure.
    if (!t.ok && failure.find("ended with 1") == std::string::npos) {
        std::printf("%-28s %-19s FAILED: %s\n", label.c_str(), what.c_str(), failure.c_str());
        return;
    }
    floors_[key] = t;
    std::printf("%-28s %-19s %8s %10s %8s %8s %8.1f\n", label.c_str(), what.c_str(), megabytes(bytes).c_str(), "",
                seconds_text(t.wall).c_str(), seconds_text(t.cpu).c_str(), static_cast<double>(bytes) / 1e6 / t.wall);
}

// wc -l, grep -c and cat on every input, and cat on the scripts.
void Benchmark::time_floors() {
    std::printf("\n%-16s %-11s %-19s %8s %10s %8s %8s %8s\n", "floor", "", "input", "MB", "", "wall s", "cpu s", "MB/s");
    for (const Input& input : plan_.inputs) {
        if (!needed_[input.name] || !input.floors) continue;
        const std::uintmax_t bytes = size_of(folder_ / input.name);
        // Their counts go to a file: GNU grep given /dev/null as its output
        // stops at the first match.
        floor_row("wc -l", "wc " + input.name, Launch{{"wc", "-l", input.name}, "", folder_ / "count.tmp", "", folder_},
                  bytes, input.what, {});
        floor_row("grep -c " + input.pattern, "grep " + input.name,
                  Launch{{"grep", "-c", input.pattern, input.name}, "", folder_ / "count.tmp", "", folder_}, bytes,
                  input.what, {});
        floor_row("cat > copy", "cat " + input.name,
                  Launch{{"cat", input.name}, "", folder_ / "copy.tmp", "", folder_}, bytes, input.what, {"copy.tmp"});
    }
    // The scripts' own size, copied by cat: the floor of the script writers.
    for (const Case& c : plan_.cases) {
        if (c.program != "regscript" && c.program != "regscript_basic") continue;
        const fs::path script = folder_ / c.outputs.front();
        const std::uintmax_t bytes = size_of(script);
        if (bytes == 0) continue;
        floor_row("cat > copy", "cat " + c.outputs.front(),
                  Launch{{"cat", c.outputs.front()}, "", folder_ / "copy.tmp", "", folder_}, bytes,
                  "script " + c.outputs.front(), {"copy.tmp"});
    }
    std::error_code ignored;
    fs::remove(folder_ / "copy.tmp", ignored);
    fs::remove(folder_ / "count.tmp", ignored);
}

void Benchmark::time_peers() {
    if (!options_.peers) return;
    std::printf("\n%-38s %-19s %8s %10s %8s %8s %8s %9s %7s\n", "peer", "input", "MB", "", "wall s", "cpu s", "MB/s", "",
                "peak MB");
    for (const Peer& peer : plan_.peers) {
        if (!peer_wanted(peer)) continue;
        const std::uintmax_t bytes = size_of(folder_ / peer.input);
        std::string failure;
        const Timing t = time_runs(Launch{peer.argv, "", "", folder_ / "peer.err", folder_}, options_.runs,
                                   remove_outputs(peer.outputs), failure);
        if (!t.ok) {
            std::printf("%-38s %-19s FAILED: %s\n", peer.label.c_str(), input_named(peer.input).what.c_str(),
                        failure.c_str());
            continue;
        }
        peers_[peer.label] = t;
        std::printf("%-38s %-19s %8s %10s %8s %8s %8.1f %9s %7.1f\n", peer.label.c_str(),
                    input_named(peer.input).what.c_str(), megabytes(bytes).c_str(), "", seconds_text(t.wall).c_str(),
                    seconds_text(t.cpu).c_str(), static_cast<double>(bytes) / 1e6 / t.wall, "",
                    static_cast<double>(t.peak_kb) / 1024);
    }
    if (!have_gpsbabel_ || !have_ogr2ogr_) {
        std::printf("(%s%s%s not installed: apt-get install gpsbabel gdal-bin)\n", have_gpsbabel_ ? "" : "gpsbabel",
                    !have_gpsbabel_ && !have_ogr2ogr_ ? " and " : "", have_ogr2ogr_ ? "" : "ogr2ogr");
    }
}

void Benchmark::ratio_row(const std::string& label, const std::string& ours_key, const Timing* theirs, double goal,
                          bool ours_faster) const {
    const auto found = ours_.find(ours_key);
    if (found == ours_.end() || !found->second.timing.ok || theirs == nullptr) return;
    const Timing& us = found->second.timing;
    // "faster": theirs / ours at least the goal; "slower": ours / theirs at most the goal.
    const double wall = ours_faster ? theirs->wall / us.wall : us.wall / theirs->wall;
    const double cpu = ours_faster ? theirs->cpu / std::max(us.cpu, 1e-3) : us.cpu / std::max(theirs->cpu, 1e-3);
    const bool met = ours_faster ? wall >= goal : wall <= goal;
    std::printf("%-52s %9s %9s %7.1fx %7.1fx  %-12s %s\n", label.c_str(), seconds_text(us.wall).c_str(),
                seconds_text(theirs->wall).c_str(), wall, cpu,
                format("%s %gx", ours_faster ? "faster >=" : "slower <=", goal).c_str(), verdict(met));
}

// The ratios against the peers and floors, and the goals of the suite.
void Benchmark::print_comparisons() const {
    std::printf("\n%-52s %9s %9s %8s %8s  %-12s %s\n", "comparison (same run, medians)", "ours s", "theirs s", "wall",
                "cpu", "goal", "");
    ratio_row("nmeadecode vs GPSBabel NMEA to KML", "nmeadecode/", peer("GPSBabel NMEA to KML"), 10, true);
    ratio_row("dxfpoints vs ogr2ogr DXF points to CSV", "dxfpoints/", peer("ogr2ogr DXF points to CSV"), 20, true);
    ratio_row("dxfpoints vs grep -c POINT", "dxfpoints/", floor_of("grep drawing.dxf"), 5, false);
    ratio_row("kmlmarks (notation 1) vs GPSBabel placemarks", "kmlmarks/notation 1",
              peer("GPSBabel CSV to KML placemarks"), 20, true);
    ratio_row("kmlmarks_basic (notation 1) vs GPSBabel placemarks", "kmlmarks_basic/notation 1",
              peer("GPSBabel CSV to KML placemarks"), 20, true);
    ratio_row("kmlpath (notation 1) vs GPSBabel path", "kmlpath/notation 1", peer("GPSBabel CSV to KML path"), 20,
              true);
    // The script writers against cat copying a file of the script's size:
    // speed at least a third of cat's, so time at most three times cat's.
    ratio_row("regscript (layout 1) vs cat of its script", "regscript/layout 1", floor_of("cat reg1.scr"), 3, false);
    ratio_row("regscript (layout 7) vs cat of its script", "regscript/layout 7", floor_of("cat reg7.scr"), 3, false);
    ratio_row("regscript_basic vs cat of its script", "regscript_basic/", floor_of("cat fixed.scr"), 3, false);

    if (const auto found = ours_.find("stakeout/" + std::to_string(std::size(stations)) + " stations");
        found != ours_.end() && found->second.timing.ok) {
        const double per_station = found->second.timing.wall / static_cast<double>(std::size(stations));
        std::printf("%-52s %9s %9s %8s %8s  %-12s %s\n", "stakeout, two passes over the register, per station",
                    seconds_text(per_station).c_str(), "", "", "", "<= 0.1 s", verdict(per_station <= 0.1));
    }
    std::printf("%-52s %8.1f MB %9s %8s %8s  %-12s %s\n", "peak memory, the largest of our programs",
                static_cast<double>(peak_kb_) / 1024, "", "", "", "< 10 MB", verdict(peak_kb_ < 10 * 1024));
}

// The real terminal: a recording of 100,000 lines (at full size) replayed
// in a tmux pane and through the stream console, in a folder of its own.
void Benchmark::time_terminal() {
    if (!have_tmux_) {
        std::printf("\nterminal: tmux is not installed, the replay in a real terminal is not measured\n");
        return;
    }
    const fs::path replay = folder_ / "terminal";
    fs::create_directory(replay);
    const std::uint64_t epochs = std::max<std::uint64_t>(1, sizes_.epochs / 10);
    const Run generated = run(
        Launch{{(programs_ / "generate").string(), "recording", "--epochs", number(epochs)}, "", replay / "REC_COM.txt",
               "", replay});
    std::string failure;
    const Timing stream = time_runs(
        Launch{{(programs_ / "nmeadecode").string()}, "0\n\n", replay / "screen.txt", replay / "errors.txt", replay},
        options_.runs, [] {}, failure);
    std::vector<double> walls, delays, bytes;
    TerminalResult last;
    for (int i = 0; generated.status == 0 && stream.ok && i < options_.runs; ++i) {
        last = terminal_replay(programs_, replay, read_text(replay / "screen.txt"));
        if (!last.ran || !last.same_final_screen) break;
        walls.push_back(last.wall - last.key_delay);
        delays.push_back(last.key_delay);
        bytes.push_back(static_cast<double>(last.bytes));
    }
    const double lines = static_cast<double>(epochs * 10);
    if (generated.status != 0 || !stream.ok) {
        std::printf("\nterminal: the stream run failed: %s\n", failure.c_str());
        ++failures_;
    } else if (!last.ran) {
        std::printf("\nterminal: %s\n", last.failure.c_str());
        ++failures_;
    } else if (!last.same_final_screen) {
        std::printf("\nterminal: the final dashboard differs from the stream console's final screen\n");
        ++failures_;
    } else {
        const double terminal = median(walls);
        std::printf("\nreal terminal (tmux 80 x 25): nmeadecode replays %.0f lines at DELAY 0, median of %d\n", lines,
                    options_.runs);
        std::printf("  %-44s %8.3f s (the key's way through tmux, %.3f s, taken off)\n", "from the start key to the end",
                    terminal, median(delays));
        std::printf("  %-44s %8.3f s\n", "the same recording through the stream console", stream.wall);
        std::printf("  %-44s %8.2fx  goal <= 2x: %s\n", "terminal against stream", terminal / stream.wall,
                    verdict(terminal / stream.wall <= 2));
        std::printf("  %-44s %8.0f bytes, %.3f per replayed line\n", "sent to the terminal during the replay",
                    median(bytes), median(bytes) / lines);
        std::printf("  %-44s %8s\n", "final dashboard as the stream console's", "yes");
    }
}

int Benchmark::report_failures() const {
    if (failures_ == 0) return 0;
    std::printf("\n%d failure%s\n", failures_, failures_ > 1 ? "s" : "");
    return 1;
}

int benchmark(const Options& o, const fs::path& programs) {
    Scratch scratch;
    scratch.keep = o.keep;
    scratch.path = make_scratch_folder(o);
    if (scratch.path.empty()) return 2;

    Benchmark bench(o, programs, sizes_for(o), scratch.path);
    bench.print_heading();
    if (!bench.generate_inputs()) return 2;
    bench.time_programs();
    bench.time_floors();
    bench.time_peers();
    bench.print_comparisons();
    if (o.terminal) bench.time_terminal();

    if (o.keep) std::printf("\ninputs and outputs kept in %s\n", scratch.path.c_str());
    return bench.report_failures();
}

}  // namespace

// ---------------------------------------------------------------- main

int main(int argc, char** argv) {
    const auto options = parse(argc, argv);
    if (!options) {
        std::fputs(usage, stderr);
        return 2;
    }
    // A program that ends before reading its keys must not end this one.
    std::signal(SIGPIPE, SIG_IGN);
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    const fs::path programs = error ? fs::path(argv[0]).parent_path() : self.parent_path();
    for (const char* program : {"generate", "nmeadecode"}) {
        if (::access((programs / program).c_str(), X_OK) != 0) {
            std::fprintf(stderr, "bench_run: %s is not built in %s\n", program, programs.c_str());
            return 2;
        }
    }
    try {
        return benchmark(*options, programs);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_run: %s\n", e.what());
        return 2;
    }
}
