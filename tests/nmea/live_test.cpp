// nmeadecode live: the forms of a live source, and the built program fed
// by a receiver that the test plays on a pseudo-terminal pair, by a TCP
// server and by a gpsd stand-in on 127.0.0.1. What the recording must hold
// is what the test sent, with the test's own clock; the fix log and the
// track must be what a replay of that recording gives.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nmea/decoder/live.h"
#include "tests/nmea/recordings.h"
#include "tests/support/test_support.h"

#ifndef _WIN32
#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <random>
#include <sys/resource.h>
#include <sys/socket.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#endif

namespace fs = std::filesystem;
using nmea::LiveSource;
using testing_support::TempFolder;

namespace {

TEST(live_source, forms_and_refusals) {
    using Kind = LiveSource::Kind;
    const struct {
        const char* text;
        bool valid;
        Kind kind;
        const char* device;
        const char* port;
    } cases[] = {
        {"/dev/ttyUSB0", true, Kind::serial, "/dev/ttyUSB0", ""},
        {"COM12", true, Kind::serial, "COM12", ""},
        {"tcp:192.168.1.5:5017", true, Kind::tcp, "192.168.1.5", "5017"},
        {"tcp:[::1]:10110", true, Kind::tcp, "::1", "10110"},
        {"gpsd", true, Kind::gpsd, "localhost", "2947"},
        {"gpsd:[::1]", true, Kind::gpsd, "::1", "2947"},
        {"gpsd:10.0.0.2:3000", true, Kind::gpsd, "10.0.0.2", "3000"},
        {"", false, Kind::serial, "", ""},
        {"tcp:", false, Kind::tcp, "", ""},
        {"tcp:host", false, Kind::tcp, "", ""},         // a port is needed
        {"tcp::5017", false, Kind::tcp, "", ""},
        {"tcp:host:0", false, Kind::tcp, "", ""},
        {"tcp:host:65536", false, Kind::tcp, "", ""},
        {"tcp:::1:5017", false, Kind::tcp, "", ""},     // IPv6 digits need brackets
        {"tcp:[::1:5017", false, Kind::tcp, "", ""},
        {"gpsd:", false, Kind::gpsd, "", ""},
        {"gpsd:host:port", false, Kind::gpsd, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto source = nmea::live_source_of(c.text);
        ASSERT_EQ(source.has_value(), c.valid);
        if (!source) continue;
        EXPECT_EQ(source->kind, c.kind);
        EXPECT_EQ(source->device, c.device);
        EXPECT_EQ(source->port, c.port);
        EXPECT_EQ(source->name, c.text);
    }
    for (const char* rate : {"4800", "9600", "19200", "38400", "57600", "115200", "230400", "460800"}) {
        EXPECT_TRUE(nmea::baud_rate_of(rate)) << rate;
    }
    for (const char* rate : {"", "0", "1200", "4800x", "-4800", "115200.0", " 9600", "99999999999"}) {
        EXPECT_FALSE(nmea::baud_rate_of(rate)) << rate;
    }
}

#ifndef _WIN32

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// --- The program, run live ----------------------------------------------------

// nmeadecode with `arguments` in `folder`, its keys from a pipe that the
// test writes, its final screen into "screen.txt" beside the outputs.
class LiveProgram {
public:
    LiveProgram(const TempFolder& folder, const std::vector<std::string>& arguments) : folder_(folder) {
        int keys[2];
        if (::pipe2(keys, O_CLOEXEC) != 0) throw std::runtime_error("no pipe");
        const std::string program = testing_support::program_path("nmeadecode").string();
        std::vector<std::string> words{program};
        words.insert(words.end(), arguments.begin(), arguments.end());
        process_ = ::fork();
        if (process_ == 0) {
#ifdef __linux__
            // Never left running when the test dies.
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
#endif
            const int screen = ::open((folder.path() / "screen.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (screen < 0 || ::chdir(folder.path().c_str()) != 0) ::_exit(127);
            ::dup2(keys[0], 0);
            ::dup2(screen, 1);
            ::dup2(screen, 2);
            std::vector<char*> argv;
            for (std::string& word : words) argv.push_back(word.data());
            argv.push_back(nullptr);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(keys[0]);
        keys_ = keys[1];
    }
    ~LiveProgram() {
        if (process_ > 0 && !ended_) {
            ::kill(process_, SIGKILL);
            ::waitpid(process_, nullptr, 0);
        }
        ::close(keys_);
    }

    void press_key() { EXPECT_EQ(::write(keys_, "x", 1), 1); }
    void signal(int number) { ::kill(process_, number); }

    // The wait status once it ended, within `limit`; the test fails when
    // it does not end.
    int wait_for_end(std::chrono::seconds limit = 10s) {
        const auto deadline = Clock::now() + limit;
        int status = 0;
        while (::waitpid(process_, &status, WNOHANG) == 0) {
            if (Clock::now() > deadline) {
                ADD_FAILURE() << "nmeadecode did not end";
                ::kill(process_, SIGKILL);
                ::waitpid(process_, &status, 0);
                break;
            }
            std::this_thread::sleep_for(5ms);
        }
        ended_ = true;
        return status;
    }
    std::string screen() const { return folder_.read("screen.txt"); }

private:
    const TempFolder& folder_;
    pid_t process_ = -1;
    int keys_ = -1;
    bool ended_ = false;
};

// Waits, a bounded time, until `done` holds.
template <typename Done>
bool eventually(Done&& done, std::chrono::milliseconds limit = 10s) {
    const auto deadline = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > deadline) return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

std::vector<std::string> recording_lines(const TempFolder& folder) {
    std::error_code missing;
    if (!fs::exists(folder / "REC_COM.txt", missing)) return {};
    return nmea_testing::lines_of(folder.read("REC_COM.txt"));
}

// The local time of day in milliseconds, as the test reads its own clock.
long long clock_of_day() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    ::localtime_r(&now.tv_sec, &local);
    return ((local.tm_hour * 60LL + local.tm_min) * 60 + local.tm_sec) * 1000 + now.tv_nsec / 1000000;
}

// What the test sent: each line and the clock when it went.
struct Sent {
    std::string line;
    long long clock;
};

// The recording holds every line sent, in order, after a PC clock within
// a second of its sending; lines are cut as the replay cuts them.
void check_recording(const std::vector<std::string>& recorded, const std::vector<Sent>& sent) {
    ASSERT_EQ(recorded.size(), sent.size());
    for (std::size_t i = 0; i < sent.size(); ++i) {
        const std::string& line = recorded[i];
        SCOPED_TRACE(line);
        ASSERT_GE(line.size(), 15u);
        EXPECT_EQ(line[0], ' ');
        EXPECT_EQ(line.substr(13, 2), " -");
        EXPECT_EQ(line.substr(15), sent[i].line.substr(0, 240));
        const long long clock = ((std::stoll(line.substr(1, 2)) * 60 + std::stoll(line.substr(4, 2))) * 60) * 1000 +
                                std::llround(std::stod(line.substr(7, 6)) * 1000);
        const long long apart = std::llabs(clock - sent[i].clock) % 86400000;
        EXPECT_LE(std::min(apart, 86400000 - apart), 1000);
    }
}

// Replaying the recording gives the fix log and the track of the live run,
// byte for byte; the track is closed and every line of both is whole.
void check_replay_gives_the_same(const TempFolder& live) {
    TempFolder replay;
    replay.write("REC_COM.txt", live.read("REC_COM.txt"));
    const auto run = testing_support::run_program("nmeadecode", replay.path(), "0\n\n", 60);
    ASSERT_EQ(run.exit_code, 0) << run.errors;
    for (const char* output : {"GPS_CORE.txt", "GPS_CORE.kml"}) {
        const std::string written = live.read(output);
        EXPECT_EQ(written, replay.read(output)) << output;
        EXPECT_TRUE(written.ends_with("\r\n")) << output;
    }
    EXPECT_TRUE(live.read("GPS_CORE.kml").ends_with("</kml>\r\n"));
}

// The lines of a real recording that a receiver sends, without the
// comments that the collection added.
std::vector<std::string> receiver_lines(const fs::path& log) {
    std::vector<std::string> lines;
    for (std::string& line : nmea_testing::lines_of(testing_support::read_file(log))) {
        if (!line.empty() && line[0] != '#') lines.push_back(std::move(line));
    }
    return lines;
}

// Sends every line with CR LF, `gap` apart, noting when each went.
template <typename Write>
std::vector<Sent> send_lines(const std::vector<std::string>& lines, std::chrono::microseconds gap, Write&& write) {
    std::vector<Sent> sent;
    for (const std::string& line : lines) {
        sent.push_back({line, clock_of_day()});
        write(line + "\r\n");
        if (gap.count() > 0) std::this_thread::sleep_for(gap);
    }
    return sent;
}

void write_all(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(descriptor, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) {
            pollfd request{descriptor, POLLOUT, 0};
            ::poll(&request, 1, 100);
            continue;
        }
        ASSERT_GT(n, 0) << std::strerror(errno);
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

// --- A receiver on a serial port: a pseudo-terminal pair ---------------------

class Receiver {
public:
    Receiver() {
        // Not inherited by the program: closed here, the port hangs up.
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) throw std::runtime_error("no pty");
        port_ = ::ptsname(master_);
        // Raw at the test's end too, so that nothing it sends is changed.
        const int slave = ::open(port_.c_str(), O_RDWR | O_NOCTTY);
        termios settings{};
        ::tcgetattr(slave, &settings);
        ::cfmakeraw(&settings);
        ::tcsetattr(slave, TCSANOW, &settings);
        ::close(slave);
    }
    ~Receiver() { pull_out(); }
    const std::string& port() const { return port_; }
    void send(std::string_view bytes) { write_all(master_, bytes); }
    // The adapter pulled out: the port hangs up.
    void pull_out() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }

private:
    int master_ = -1;
    std::string port_;
};

TEST(live, a_receiver_on_a_serial_port_is_recorded_and_decoded_as_its_replay) {
    REQUIRE_TESTDATA(testdata);
    const struct {
        const char* log;
        const char* baud;
        std::chrono::microseconds gap;
    } cases[] = {
        {"mt3339.log", "4800", 0us},
        {"ublox-neo-m9n-nmea.log", "115200", 0us},
        {"furuno_gl_ga.log", "115200", 200us},
        // At its own pace, briefly: a 10 Hz receiver sends five sentences
        // every 100 ms.
        {"bt451.log", "9600", 20ms},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.log);
        std::vector<std::string> lines = receiver_lines(testdata / "nmea" / c.log);
        if (c.gap >= 1ms) lines.resize(std::min<std::size_t>(lines.size(), 60));
        TempFolder folder;
        Receiver receiver;
        LiveProgram program(folder, {"-L", receiver.port(), "-b", c.baud});
        ASSERT_TRUE(eventually([&] { return fs::exists(folder / "GPS_CORE.kml"); })) << program.screen();
        const auto sent = send_lines(lines, c.gap, [&](const std::string& bytes) { receiver.send(bytes); });
        ASSERT_TRUE(eventually([&] { return recording_lines(folder).size() >= sent.size(); }))
            << recording_lines(folder).size() << " of " << sent.size() << " lines recorded";
        program.press_key();
        const int status = program.wait_for_end();
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << program.screen();
        check_recording(recording_lines(folder), sent);
        check_replay_gives_the_same(folder);
    }
}

// Bytes at a wrong baud rate, NUL bytes, Ctrl-Z and a line of a thousand
// characters: the recording still replays to what the live run wrote, and
// the bottom row names the baud rate.
TEST(live, bytes_at_a_wrong_baud_rate_get_a_hint_and_replay_alike) {
    TempFolder folder;
    Receiver receiver;
    LiveProgram program(folder, {"--live=" + receiver.port()});
    ASSERT_TRUE(eventually([&] { return fs::exists(folder / "GPS_CORE.kml"); })) << program.screen();
    std::string bytes = "$GPGGA,123519.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
    bytes += std::string(1000, 'A') + "\r\n$GPGSA,A,3,04,05,,,,,,,,,,,2.5,1.3,2.1*39\r\n";
    using namespace std::string_literals;
    bytes += "$GP\0GGA,1\x1a" "23520,4807.038,N\r\n"s;
    receiver.send(bytes);
    std::mt19937 generator(19);
    for (const auto until = Clock::now() + 2500ms; Clock::now() < until;) {
        std::string noise(64, '\0');
        for (char& byte : noise) byte = static_cast<char>(generator() % 253 + 1);  // never a whole sentence
        receiver.send(noise);
        std::this_thread::sleep_for(50ms);
    }
    program.press_key();
    EXPECT_EQ(program.wait_for_end(), 0);
    EXPECT_NE(program.screen().find("is 4800 baud right? (-b N)"), std::string::npos) << program.screen();
    for (const std::string& line : recording_lines(folder)) EXPECT_LE(line.size(), 255u);
    check_replay_gives_the_same(folder);
}

// A pulled-out adapter is reported and opened again every second; the run
// goes on when it is back (here: the port's name given to a new one).
TEST(live, a_serial_port_that_went_away_is_opened_again) {
    TempFolder folder;
    auto receiver = std::make_unique<Receiver>();
    const fs::path port = folder / "ttyGPS";
    fs::create_symlink(receiver->port(), port);
    LiveProgram program(folder, {"-L", port.string()});
    ASSERT_TRUE(eventually([&] { return fs::exists(folder / "GPS_CORE.kml"); })) << program.screen();
    const std::string gga = "$GPGGA,123519.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
    receiver->send(gga);
    ASSERT_TRUE(eventually([&] { return recording_lines(folder).size() == 1; }));
    receiver.reset();
    std::this_thread::sleep_for(1500ms);
    receiver = std::make_unique<Receiver>();
    fs::remove(port);
    fs::create_symlink(receiver->port(), port);
    ASSERT_TRUE(eventually([&] {
        receiver->send(gga);
        std::this_thread::sleep_for(100ms);
        return recording_lines(folder).size() >= 2;
    }));
    program.press_key();
    EXPECT_EQ(program.wait_for_end(), 0);
    check_replay_gives_the_same(folder);
}

// --- Receivers on the network -------------------------------------------------

class Server {
public:
    explicit Server(int port = 0) {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int on = 1;
        ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(listener_, 4) != 0) {
            throw std::runtime_error("cannot listen");
        }
        socklen_t length = sizeof address;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    ~Server() {
        hang_up();
        ::close(listener_);
    }
    int port() const { return port_; }
    // Takes the program's connection, waiting a bounded time.
    bool accept() {
        pollfd request{listener_, POLLIN, 0};
        if (::poll(&request, 1, 10000) != 1) return false;
        connection_ = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        return connection_ >= 0;
    }
    void send(std::string_view bytes) { write_all(connection_, bytes); }
    // A line the program sent, waiting a bounded time.
    std::string receive_line() {
        std::string line;
        char c = 0;
        pollfd request{connection_, POLLIN, 0};
        while (::poll(&request, 1, 5000) == 1 && ::read(connection_, &c, 1) == 1 && c != '\n') line += c;
        return line;
    }
    void hang_up() {
        if (connection_ >= 0) ::close(connection_);
        connection_ = -1;
    }

private:
    int listener_ = -1;
    int connection_ = -1;
    int port_ = 0;
};

// A dropped connection is reported and the run goes on when the server is
// back; a server still gone at the stop is on the bottom row.
TEST(live, a_receiver_on_the_network_is_recorded_and_followed_through_a_drop) {
    REQUIRE_TESTDATA(testdata);
    const std::vector<std::string> lines = receiver_lines(testdata / "nmea" / "hemi.log");
    const std::size_t half = lines.size() / 2;
    TempFolder folder;
    auto server = std::make_unique<Server>();
    const int port = server->port();
    const std::string source = "tcp:127.0.0.1:" + std::to_string(port);
    LiveProgram program(folder, {"--live", source});
    ASSERT_TRUE(server->accept());
    auto send = [&](const std::string& bytes) { server->send(bytes); };
    std::vector<Sent> sent = send_lines({lines.begin(), lines.begin() + half}, 0us, send);
    ASSERT_TRUE(eventually([&] { return recording_lines(folder).size() == half; }));
    server.reset();
    std::this_thread::sleep_for(1200ms);
    server = std::make_unique<Server>(port);
    ASSERT_TRUE(server->accept()) << "no new connection";
    const auto rest = send_lines({lines.begin() + half, lines.end()}, 0us, send);
    sent.insert(sent.end(), rest.begin(), rest.end());
    ASSERT_TRUE(eventually([&] { return recording_lines(folder).size() == sent.size(); }));
    server.reset();
    std::this_thread::sleep_for(1500ms);
    program.press_key();
    EXPECT_EQ(program.wait_for_end(), 0);
    const std::string screen = program.screen();
    EXPECT_NE(screen.find("no data from " + source + " for 1 s: "), std::string::npos) << screen;
    EXPECT_NE(screen.find("; reconnecting"), std::string::npos) << screen;
    check_recording(recording_lines(folder), sent);
    check_replay_gives_the_same(folder);
}

// gpsd is asked for its NMEA stream; its JSON lines are left out.
TEST(live, gpsd_is_asked_for_its_sentences_and_its_json_is_left_out) {
    REQUIRE_TESTDATA(testdata);
    std::vector<std::string> lines = receiver_lines(testdata / "nmea" / "skytraq-PX1172RH_DS.log");
    std::erase_if(lines, [](const std::string& line) { return line.starts_with("{"); });
    TempFolder folder;
    Server gpsd;
    LiveProgram program(folder, {"-L", "gpsd:127.0.0.1:" + std::to_string(gpsd.port())});
    ASSERT_TRUE(gpsd.accept());
    gpsd.send("{\"class\":\"VERSION\",\"release\":\"3.25\",\"proto_major\":3,\"proto_minor\":15}\r\n");
    const std::string watch = gpsd.receive_line();
    EXPECT_TRUE(watch.starts_with("?WATCH={") && watch.find("\"nmea\":true") != std::string::npos) << watch;
    gpsd.send("{\"class\":\"DEVICES\",\"devices\":[]}\r\n{\"class\":\"WATCH\",\"enable\":true,\"nmea\":true}\r\n");
    const auto sent = send_lines(lines, 0us, [&](const std::string& bytes) {
        gpsd.send(bytes);
        if (bytes.starts_with("$GPGGA")) gpsd.send("{\"class\":\"TPV\",\"mode\":3}\r\n");
    });
    ASSERT_TRUE(eventually([&] { return recording_lines(folder).size() >= sent.size(); }));
    program.press_key();
    EXPECT_EQ(program.wait_for_end(), 0);
    check_recording(recording_lines(folder), sent);
    check_replay_gives_the_same(folder);
}

// A stop by key, SIGINT or SIGHUP between a GGA and its GSA leaves whole
// lines in all three files and a closed track; the recording is extended,
// never replaced.
TEST(live, a_stop_completes_the_outputs) {
    const struct {
        const char* legend;
        int signal;  // 0: a key
    } stops[] = {{"key", 0}, {"SIGINT", SIGINT}, {"SIGHUP", SIGHUP}};
    for (const auto& stop : stops) {
        SCOPED_TRACE(stop.legend);
        TempFolder folder;
        folder.write("REC_COM.txt",
                     " 12 00  0.000 -$GPGGA,120000.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47");
        Server server;
        LiveProgram program(folder, {"-L", "tcp:localhost:" + std::to_string(server.port())});
        ASSERT_TRUE(server.accept());
        server.send("$GPGGA,123519.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n$GPRMC,12");
        ASSERT_TRUE(eventually([&] { return recording_lines(folder).size() == 2; }));
        std::this_thread::sleep_for(100ms);
        if (stop.signal == 0) {
            program.press_key();
        } else {
            program.signal(stop.signal);
        }
        const int status = program.wait_for_end();
        if (stop.signal == 0) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        } else {
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == stop.signal) << status;
        }
        const std::string recording = folder.read("REC_COM.txt");
        EXPECT_TRUE(recording.starts_with(" 12 00  0.000 -$GPGGA,120000.00,")) << recording;
        EXPECT_EQ(recording.find("*47 "), std::string::npos) << "a line end before the new lines";
        for (const char* output : {"REC_COM.txt", "GPS_CORE.txt", "GPS_CORE.kml"}) {
            EXPECT_TRUE(folder.read(output).ends_with("\r\n")) << output;
        }
        EXPECT_EQ(nmea_testing::lines_of(folder.read("GPS_CORE.txt")).size(), 4u);
        EXPECT_TRUE(folder.read("GPS_CORE.kml").ends_with("</kml>\r\n"));
    }
}

// An idle run sleeps: no data for a while costs next to no processor time.
// The bound is generous; a busy loop would take the whole core.
TEST(live, an_idle_run_sleeps) {
    TempFolder folder;
    Server server;
    LiveProgram program(folder, {"-L", "tcp:127.0.0.1:" + std::to_string(server.port())});
    ASSERT_TRUE(server.accept());
    rusage before{};
    ::getrusage(RUSAGE_CHILDREN, &before);
    const auto start = Clock::now();
    std::this_thread::sleep_for(3s);
    program.press_key();
    program.wait_for_end();
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    rusage after{};
    ::getrusage(RUSAGE_CHILDREN, &after);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    const double used = seconds(after.ru_utime) + seconds(after.ru_stime) - seconds(before.ru_utime) -
                        seconds(before.ru_stime);
    EXPECT_LT(used, 0.05 * elapsed) << used << " s of processor time in " << elapsed << " s";
    EXPECT_NE(program.screen().find("no data from tcp:127.0.0.1:"), std::string::npos) << program.screen();
}

TEST(live, a_source_that_cannot_be_opened_is_reported_before_any_file_is_touched) {
    TempFolder folder;
    folder.write("GPS_CORE.txt", "earlier");
    int closed_port = 0;
    {
        const Server closed;
        closed_port = closed.port();
    }
    const std::string refused = "tcp:127.0.0.1:" + std::to_string(closed_port);
    const struct {
        std::string source;
        int code;
        std::string report;
    } cases[] = {
        {(folder / "ttyNONE").string(), ENOENT, "No such file or directory"},
        {(folder / "GPS_CORE.txt").string(), ENOTTY, "not a serial port"},
        {refused, ECONNREFUSED, "Connection refused"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        LiveProgram program(folder, {"-L", c.source});
        const int status = program.wait_for_end();
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == c.code) << status;
        EXPECT_NE(program.screen().find("cannot open \"" + c.source + "\": " + c.report), std::string::npos)
            << program.screen();
        EXPECT_EQ(folder.read("GPS_CORE.txt"), "earlier");
        EXPECT_FALSE(fs::exists(folder / "REC_COM.txt"));
    }
}

#else

TEST(live, needs_posix_pseudo_terminals_and_signals) {
    GTEST_SKIP() << "the live runs are tested with pseudo-terminals, sockets and signals of POSIX systems";
}

#endif

}  // namespace
