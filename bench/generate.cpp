// generate: deterministic inputs for tests and benchmarks of the suite.
//
//   generate recording --epochs N [--seed S] [--plain] [--start HHMMSS]
//                      [--lat DDMM.MMMM] [--lon DDDMM.MMMM]
//   generate log       --epochs N [--seed S] [--start ...] [--lat ...] [--lon ...]
//   generate dxf       --points N [--seed S]
//   generate register  --points N --layout 1..8|fixed [--seed S]
//   generate points    --points N --notation 1..3 --order 1..4 [--seed S]
//   generate csv       --points N [--seed S]
//
// Output goes to stdout. The same arguments give the same bytes with every compiler:
// all randomness is std::mt19937_64 through the small distributions below (the
// standard distributions differ between standard libraries), and numbers are
// formatted by integer arithmetic on the rounded value, not by the C library.
// The walk and the sky use sin, cos and atan2 of the platform's maths library;
// g++ and clang++ on one system share it.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <random>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

// Fused multiply-add would change the last bits of the walk on targets that have it.
#ifdef __clang__
#pragma STDC FP_CONTRACT OFF
#endif

namespace {

using Rng = std::mt19937_64;
constexpr double pi = 3.14159265358979323846;
constexpr double earth_radius = 6371000.0;  // metres; a sphere is plenty for a walk

double uniform(Rng& rng) { return static_cast<double>(rng() >> 11) * 0x1.0p-53; }
double uniform(Rng& rng, double lo, double hi) { return lo + (hi - lo) * uniform(rng); }
int below(Rng& rng, int n) { return static_cast<int>(uniform(rng) * n); }

// Sum of four uniforms, scaled to unit variance: bell-shaped, bounded at +-3.46,
// and free of library functions whose last bits differ between platforms.
double gauss(Rng& rng) {
  double sum = uniform(rng) + uniform(rng) + uniform(rng) + uniform(rng);
  return (sum - 2.0) * 1.7320508075688772;
}

double wrap360(double deg) {
  deg = std::fmod(deg, 360.0);
  return deg < 0 ? deg + 360.0 : deg;
}

double wrap180(double deg) {
  deg = wrap360(deg);
  return deg > 180.0 ? deg - 360.0 : deg;
}

// Keeps a walk inside [lo, hi] by mirroring at the edges.
double reflect(double v, double lo, double hi) {
  if (v < lo) return lo + (lo - v);
  if (v > hi) return hi - (v - hi);
  return v;
}

// ---------------------------------------------------------------- text building

struct Text {
  std::string s;

  Text& put(std::string_view v) { s.append(v); return *this; }
  Text& put(char c) { s.push_back(c); return *this; }

  // Unsigned integer, right-aligned in `width` with `pad`.
  Text& num(std::uint64_t v, int width = 0, char pad = '0') {
    char digits[24];
    int n = 0;
    do { digits[n++] = static_cast<char>('0' + v % 10); v /= 10; } while (v != 0);
    for (int i = n; i < width; ++i) s.push_back(pad);
    while (n > 0) s.push_back(digits[--n]);
    return *this;
  }

  // Fixed point with `decimals` digits (at most 9), rounded half away from zero,
  // right-aligned in `width`. Zero padding goes after the sign, blanks before it;
  // a value that rounds to zero gets no sign.
  Text& fix(double v, int decimals, int width = 0, char pad = ' ') {
    static constexpr double scale[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    auto units = static_cast<std::uint64_t>(std::llround(std::fabs(v) * scale[decimals]));
    bool negative = v < 0 && units != 0;
    char digits[40];
    int n = 0;
    for (int i = 0; i < decimals; ++i) { digits[n++] = static_cast<char>('0' + units % 10); units /= 10; }
    if (decimals > 0) digits[n++] = '.';
    do { digits[n++] = static_cast<char>('0' + units % 10); units /= 10; } while (units != 0);
    int length = n + (negative ? 1 : 0);
    if (pad != '0') for (int i = length; i < width; ++i) s.push_back(pad);
    if (negative) s.push_back('-');
    if (pad == '0') for (int i = length; i < width; ++i) s.push_back(pad);
    while (n > 0) s.push_back(digits[--n]);
    return *this;
  }

  Text& hex(std::uint64_t v) {
    static constexpr char hexdigits[] = "0123456789ABCDEF";
    char digits[20];
    int n = 0;
    do { digits[n++] = hexdigits[v & 15]; v >>= 4; } while (v != 0);
    while (n > 0) s.push_back(digits[--n]);
    return *this;
  }

  Text& crlf() { s.append("\r\n"); return *this; }
};

// stdout through one large buffer: fwrite a megabyte at a time.
struct Out : Text {
  Out() { s.reserve(2 << 20); }
  void line_done() { if (s.size() >= (1 << 20)) flush(); }
  void flush() {
    if (!s.empty()) std::fwrite(s.data(), 1, s.size(), stdout);
    s.clear();
  }
};

// ---------------------------------------------------------------- dates

struct Date { int year, month, day; };

int days_in_month(int year, int month) {
  static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : days[month - 1];
}

Date add_days(Date d, std::int64_t n) {
  for (; n > 0; --n) {
    if (++d.day > days_in_month(d.year, d.month)) {
      d.day = 1;
      if (++d.month > 12) { d.month = 1; ++d.year; }
    }
  }
  return d;
}

// Recordings start on a winter day, when local time in the survey area is UTC+2
// (the zone that ZDA reports).
constexpr Date recording_start_date{2026, 12, 8};

// ---------------------------------------------------------------- NMEA recording

struct NmeaOptions {
  std::uint64_t epochs = 0;
  std::uint64_t seed = 1;
  std::int64_t start_seconds = 12 * 3600 + 30 * 60;  // 12:30:00 UTC
  double lat = 42 + 29.1234 / 60;                     // degrees, north positive
  double lon = 23 + 19.5678 / 60;                     // degrees, east positive
};

// A satellite of the fixed constellation. It rises at `phase` of an 8-hour cycle
// and stays up for three quarters of it; with 14 of them spaced 1/14 of a cycle
// apart and `phase` jittered by less than half a spacing, 9 to 12 are always up.
struct Orbit { int id; double phase, max_elevation, rise_azimuth, sweep; };

struct SatelliteView { int id, elevation, azimuth, snr; bool used; };  // snr < 0: not tracked

// Everything the receiver reports for one epoch; every sentence is written from it.
struct Epoch {
  Date date;
  int hours, minutes, seconds;
  double lat, lon, altitude, speed, course;  // speed m/s, course degrees true
  int quality;                               // 1 GPS, 2 DGPS
  double correction_age;
  double hdop, vdop, pdop;
  int used;
  int in_view;
  SatelliteView sky[12];
  int beacon_strength, beacon_snr;
};

constexpr double geoid_separation = 39.8;   // metres, about right for the area
constexpr double magnetic_variation = 5.2;  // degrees east
constexpr double cycle_seconds = 28800.0;

void put_time(Text& t, const Epoch& e) {
  t.num(e.hours, 2).num(e.minutes, 2).num(e.seconds, 2).put(".00");
}

// ddmm.mmmm,N,dddmm.mmmm,E from whole units of 1e-4 minute, so 59.99995' carries.
void put_position(Text& t, double lat, double lon) {
  auto angle = [&t](double deg, int degree_digits) {
    auto units = static_cast<std::uint64_t>(std::llround(std::fabs(deg) * 600000.0));
    t.num(units / 600000, degree_digits).num(units % 600000 / 10000, 2).put('.').num(units % 10000, 4);
  };
  angle(lat, 2);
  t.put(lat < 0 ? ",S," : ",N,");
  angle(lon, 3);
  t.put(lon < 0 ? ",W" : ",E");
}

// Course as 3.1 digits; 359.96 is written 000.0, not 360.0.
void put_course(Text& t, double deg) {
  auto tenths = std::llround(wrap360(deg) * 10) % 3600;
  t.num(tenths / 10, 3).put('.').num(tenths % 10);
}

// Appends "*hh": the XOR of everything between "$" and "*".
void finish_sentence(Text& t) {
  unsigned sum = 0;
  for (std::size_t i = 1; i < t.s.size(); ++i) sum ^= static_cast<unsigned char>(t.s[i]);
  static constexpr char hexdigits[] = "0123456789ABCDEF";
  t.put('*').put(hexdigits[sum >> 4]).put(hexdigits[sum & 15]);
}

void write_gga(Text& t, const Epoch& e) {
  t.put("$GPGGA,");
  put_time(t, e);
  t.put(',');
  put_position(t, e.lat, e.lon);
  t.put(',').num(e.quality).put(',').num(e.used, 2).put(',').fix(e.hdop, 1).put(',').fix(e.altitude, 1).put(",M,").fix(geoid_separation, 1).put(",M,");
  if (e.quality == 2) t.fix(e.correction_age, 1).put(",0120"); else t.put(',');
}

// Twelve id fields: a satellite in view that is not used leaves its field empty,
// the unused channels after the last satellite in view as well.
void write_gsa(Text& t, const Epoch& e) {
  t.put("$GPGSA,A,3,");
  for (int i = 0; i < 12; ++i) {
    if (i < e.in_view && e.sky[i].used) t.num(e.sky[i].id, 2);
    t.put(',');
  }
  t.fix(e.pdop, 1).put(',').fix(e.hdop, 1).put(',').fix(e.vdop, 1);
}

void write_gsv(Text& t, const Epoch& e, int message) {
  int messages = std::max(1, (e.in_view + 3) / 4);
  t.put("$GPGSV,").num(messages).put(',').num(message).put(',').num(e.in_view, 2);
  for (int i = 4 * (message - 1); i < std::min(4 * message, e.in_view); ++i) {
    const SatelliteView& v = e.sky[i];
    t.put(',').num(v.id, 2).put(',').num(v.elevation, 2).put(',').num(v.azimuth, 3).put(',');
    if (v.snr >= 0) t.num(v.snr, 2);
  }
}

void write_rmc(Text& t, const Epoch& e) {
  t.put("$GPRMC,");
  put_time(t, e);
  t.put(",A,");
  put_position(t, e.lat, e.lon);
  t.put(',').fix(e.speed * 3600 / 1852, 1, 5, '0').put(',');
  put_course(t, e.course);
  t.put(',').num(e.date.day, 2).num(e.date.month, 2).num(e.date.year % 100, 2).put(',').fix(magnetic_variation, 1, 5, '0').put(",E");
}

void write_vtg(Text& t, const Epoch& e) {
  t.put("$GPVTG,");
  put_course(t, e.course);
  t.put(",T,");
  put_course(t, e.course - magnetic_variation);  // east variation: magnetic = true - variation
  t.put(",M,").fix(e.speed * 3600 / 1852, 1, 5, '0').put(",N,").fix(e.speed * 3.6, 1, 5, '0').put(",K,");
  t.put(e.quality == 2 ? 'D' : 'A');
}

void write_zda(Text& t, const Epoch& e) {
  t.put("$GPZDA,");
  put_time(t, e);
  t.put(',').num(e.date.day, 2).put(',').num(e.date.month, 2).put(',').num(e.date.year, 4).put(",02,00");
}

void write_gll(Text& t, const Epoch& e) {
  t.put("$GPGLL,");
  put_position(t, e.lat, e.lon);
  t.put(',');
  put_time(t, e);
  t.put(",A,").put(e.quality == 2 ? 'D' : 'A');
}

void write_mss(Text& t, const Epoch& e) {
  t.put("$GPMSS,").num(e.beacon_strength).put(',').num(e.beacon_snr).put(",318.0,100,1");
}

// Simulates a surveyor walking with a receiver and calls
// emit(pc_clock_ms, sentence) for every sentence, epoch by epoch. The PC clock
// counts milliseconds from midnight UTC of the start date and stamps a sentence
// 200-400 ms after its epoch, a few ms later for each one, as they arrive in turn.
template <class Emit>
void simulate_receiver(const NmeaOptions& o, Emit&& emit) {
  Rng rng(o.seed);
  static constexpr int ids[14] = {2, 5, 6, 9, 12, 13, 15, 17, 19, 21, 24, 25, 29, 31};
  Orbit orbits[14];
  for (int i = 0; i < 14; ++i) {
    double sweep = uniform(rng, 100, 200) * (below(rng, 2) == 0 ? 1 : -1);
    orbits[i] = {ids[i], (i + uniform(rng, -0.45, 0.45)) / 14, uniform(rng, 25, 88), uniform(rng, 0, 360), sweep};
  }

  double north = 0, east = 0;  // metres from the start point
  double heading = uniform(rng, 0, 360), turn = 0;
  double noise_north = 0, noise_east = 0, noise_up = 0;
  int quality = 1;
  double correction_age = 0;
  double metres_per_degree_lon = earth_radius * std::cos(o.lat * pi / 180) * pi / 180;
  double metres_per_degree_lat = earth_radius * pi / 180;
  Date cached_date = recording_start_date;
  std::int64_t cached_day = 0;
  Epoch e{};
  Text t;
  t.s.reserve(128);

  for (std::uint64_t n = 0; n < o.epochs; ++n) {
    std::int64_t utc = o.start_seconds + static_cast<std::int64_t>(n);
    if (utc / 86400 != cached_day) {
      cached_day = utc / 86400;
      cached_date = add_days(recording_start_date, cached_day);
    }
    e.date = cached_date;
    e.hours = static_cast<int>(utc % 86400 / 3600);
    e.minutes = static_cast<int>(utc % 3600 / 60);
    e.seconds = static_cast<int>(utc % 60);

    // The walk: smooth turns, drawn back towards the start beyond 800 m so that
    // long recordings stay on one site.
    double speed = std::clamp(1.4 + 0.1 * std::sin(n / 97.0) + 0.03 * gauss(rng), 1.25, 1.55);
    turn = 0.9 * turn + 0.5 * gauss(rng);
    if (std::hypot(north, east) > 800) {
      double home = std::atan2(-east, -north) * 180 / pi;
      turn += 0.02 * wrap180(home - heading);
    }
    turn = std::clamp(turn, -5.0, 5.0);
    heading = wrap360(heading + turn);
    north += speed * std::cos(heading * pi / 180);
    east += speed * std::sin(heading * pi / 180);

    // Fix quality: mostly GPS, with stretches of DGPS while the beacon is heard.
    if (quality == 1 && uniform(rng) < 1.0 / 200) { quality = 2; correction_age = uniform(rng, 0.5, 3.0); }
    else if (quality == 2 && uniform(rng) < 1.0 / 80) quality = 1;
    if (quality == 2) {
      correction_age += 1.0;
      if (correction_age > 6.0) correction_age = uniform(rng, 0.5, 2.0);  // a new correction came in
    }

    // Position error wanders slowly, as a receiver's does from one second to the
    // next (AR(1)): about 0.6 m with GPS, 0.3 m with DGPS, 0.5 m in height.
    double sigma = quality == 2 ? 0.07 : 0.15;
    noise_north = 0.97 * noise_north + sigma * gauss(rng);
    noise_east = 0.97 * noise_east + sigma * gauss(rng);
    noise_up = 0.97 * noise_up + 0.12 * gauss(rng);
    e.lat = o.lat + (north + noise_north) / metres_per_degree_lat;
    e.lon = o.lon + (east + noise_east) / metres_per_degree_lon;
    e.altitude = 600 + 9 * std::sin(east / 650) + 6 * std::cos(north / 480) + noise_up;
    e.speed = std::clamp(speed + 0.03 * gauss(rng), 1.2, 1.6);  // Doppler speed, a little noisy
    e.course = wrap360(heading + 1.5 * gauss(rng));
    e.quality = quality;
    e.correction_age = correction_age;

    // Sky: satellites in id order; low ones and a few shaded ones are not tracked.
    e.in_view = 0;
    e.used = 0;
    for (const Orbit& orbit : orbits) {
      double cycle = orbit.phase + static_cast<double>(utc) / cycle_seconds;
      cycle -= std::floor(cycle);
      if (cycle >= 0.75 || e.in_view == 12) continue;
      double u = cycle / 0.75;
      SatelliteView& v = e.sky[e.in_view++];
      v.id = orbit.id;
      v.elevation = static_cast<int>(std::lround(orbit.max_elevation * std::sin(pi * u)));
      v.azimuth = static_cast<int>(std::lround(wrap360(orbit.rise_azimuth + orbit.sweep * u))) % 360;
      double snr = 30 + 18 * std::sin(v.elevation * pi / 180) + 2 * gauss(rng);
      bool shaded = uniform(rng) < 0.02;
      v.snr = v.elevation < 3 || shaded ? -1 : static_cast<int>(std::clamp(std::lround(snr), 20L, 52L));
      v.used = v.snr >= 0 && v.elevation >= 5;
      if (v.used) ++e.used;
    }
    e.hdop = std::clamp(0.55 + 0.09 * (12 - e.used) + 0.05 * gauss(rng), 0.6, 1.5);
    e.vdop = e.hdop * (1.35 + 0.08 * gauss(rng));
    e.pdop = std::sqrt(e.hdop * e.hdop + e.vdop * e.vdop);

    // The beacon is strong while DGPS holds and weak otherwise.
    double strength = quality == 2 ? 53 + 2 * gauss(rng) : 35 + 2 * gauss(rng);
    double beacon_snr = quality == 2 ? 22 + 1.5 * gauss(rng) : 7 + 1.5 * gauss(rng);
    e.beacon_strength = static_cast<int>(std::lround(strength));
    e.beacon_snr = static_cast<int>(std::lround(beacon_snr));

    // PC clock: a base delay drifting between about 205 and 300 ms, then a few ms per sentence.
    double base = std::clamp(255 + 40 * std::sin(2 * pi * n / 5400.0) + 3 * gauss(rng), 205.0, 300.0);
    std::int64_t pc = utc * 1000 + std::llround(base);
    auto send = [&](auto write, auto... args) {
      t.s.clear();
      write(t, e, args...);
      finish_sentence(t);
      emit(pc, std::string_view(t.s));
      pc += 2 + below(rng, 8);
    };
    send(write_gga);
    send(write_gsa);
    for (int m = 1; m <= std::max(1, (e.in_view + 3) / 4); ++m) send(write_gsv, m);
    send(write_rmc);
    send(write_vtg);
    send(write_zda);
    send(write_gll);
    send(write_mss);
  }
}

// Recording line: PC clock as hours n:3, minutes n:3, seconds x:7:3, then " -".
void recording(const NmeaOptions& o, bool plain, Out& out) {
  simulate_receiver(o, [&](std::int64_t pc, std::string_view sentence) {
    if (!plain) {
      std::int64_t ms = pc % 86400000;
      out.num(ms / 3600000, 3, ' ').num(ms / 60000 % 60, 3, ' ').num(ms / 1000 % 60, 3, ' ');
      out.put('.').num(ms % 1000, 3).put(" -");
    }
    out.put(sentence).crlf();
    out.line_done();
  });
}

// Log of the outside logging program: a time line with the PC date and clock at
// fixed positions, the sentence, the port line and an empty line.
void logger(const NmeaOptions& o, Out& out) {
  Date date = recording_start_date;
  std::int64_t day = 0;
  simulate_receiver(o, [&](std::int64_t pc, std::string_view sentence) {
    if (pc / 86400000 != day) {
      day = pc / 86400000;
      date = add_days(recording_start_date, day);
    }
    std::int64_t ms = pc % 86400000;
    out.put("  ").num(date.day, 2).put('.').num(date.month, 2).put('.').num(date.year, 4).put("  ");
    out.num(ms / 3600000, 2).put(':').num(ms / 60000 % 60, 2).put(':').num(ms / 1000 % 60, 2);
    out.put('.').num(ms % 1000, 3).crlf();
    out.put(sentence).crlf();
    out.put("  RX COM1 4800").crlf().crlf();
    out.line_done();
  });
}

// ---------------------------------------------------------------- survey points

// Points of a field survey on the plane grid: a few metres between neighbours,
// now and then a jump to another part of the job, all inside a 20 km square.
struct SurveyWalk {
  double north, east;
  explicit SurveyWalk(Rng& rng) : north(uniform(rng, 4702000, 4718000)), east(uniform(rng, 502000, 518000)) {}
  void next(Rng& rng) {
    if (uniform(rng) < 0.02) {
      north = uniform(rng, 4700500, 4719500);
      east = uniform(rng, 500500, 519500);
    } else {
      north = reflect(north + 3 * gauss(rng), 4700000, 4720000);
      east = reflect(east + 3 * gauss(rng), 500000, 520000);
    }
  }
  // Rolling ground between about 515 and 685 m, so neighbours have similar heights.
  double ground() const {
    return 600 + 60 * std::sin(east / 1700) * std::cos(north / 2300) + 25 * std::sin((east + north) / 900);
  }
};

// Register columns, one letter per column: # number, N north, E east, H elevation.
constexpr std::string_view register_layouts[9] = {"", "#NEH", "#NE", "NEH", "NE", "#ENH", "#EN", "ENH", "EN"};

// layout 0 stands for the fixed layout: number, north, east and, for about four
// points in five, the elevation. Every layout draws the same numbers, so one seed
// gives the same points in all of them.
void coordinate_register(std::uint64_t points, int layout, std::uint64_t seed, Out& out) {
  Rng rng(seed);
  SurveyWalk walk(rng);
  for (std::uint64_t i = 1; i <= points; ++i) {
    walk.next(rng);
    double elevation = walk.ground() + 0.3 * gauss(rng);
    double r = uniform(rng);
    int decimals = r < 0.10 ? 2 : r < 0.15 ? 1 : 3;  // some levels were booked with fewer decimals
    bool has_elevation = uniform(rng) >= 0.2;
    std::string_view columns = layout == 0 ? (has_elevation ? "#NEH" : "#NE") : register_layouts[layout];
    std::uint64_t number = layout == 0 ? (i - 1) % 65535 + 1 : i;  // the fixed layout holds 16-bit numbers
    for (std::size_t c = 0; c < columns.size(); ++c) {
      if (c > 0) out.put(' ');
      switch (columns[c]) {
        case '#': out.num(number, 5, ' '); break;
        case 'N': out.fix(walk.north, 3, 11); break;
        case 'E': out.fix(walk.east, 3, 10); break;
        default: out.fix(elevation, decimals, 7); break;
      }
    }
    out.crlf();
    out.line_done();
  }
}

// ---------------------------------------------------------------- DXF drawing

// Group code right-aligned in three characters, value on the next line.
// Integer values (codes 60 to 99) stand right-aligned in six characters.
Text& group(Text& t, int code) { return t.num(code, 3, ' ').crlf(); }
void pair(Text& t, int code, double value, int decimals) { group(t, code).fix(value, decimals).crlf(); }
void pair(Text& t, int code, std::string_view value) {
  group(t, code);
  if (code >= 60 && code < 100) for (std::size_t i = value.size(); i < 6; ++i) t.put(' ');
  t.put(value).crlf();
}

struct Pair { int code; std::string_view value; };
void pairs(Text& t, std::initializer_list<Pair> list) {
  for (const Pair& p : list) pair(t, p.code, p.value);
}

struct Dxf {
  Out& out;
  std::uint64_t handle = 0x100;

  void entity(std::string_view type, std::string_view layer, std::string_view subclass) {
    pair(out, 0, type);
    group(out, 5).hex(handle++).crlf();
    pair(out, 100, "AcDbEntity");
    pair(out, 8, layer);
    pair(out, 100, subclass);
  }
  void xyz(int code, double x, double y, double z) {
    pair(out, code, x, 6);
    pair(out, code + 10, y, 6);
    pair(out, code + 20, z, 6);
  }
  void point(std::string_view layer, double x, double y, double z) {
    entity("POINT", layer, "AcDbPoint");
    xyz(10, x, y, z);
  }
  void line(std::string_view layer, double x1, double y1, double z1, double x2, double y2, double z2) {
    entity("LINE", layer, "AcDbLine");
    xyz(10, x1, y1, z1);
    xyz(11, x2, y2, z2);
  }
  void circle(std::string_view layer, double x, double y, double z, double radius) {
    entity("CIRCLE", layer, "AcDbCircle");
    xyz(10, x, y, z);
    pair(out, 40, radius, 6);
  }
  void text(double x, double y, double z, double height, std::string_view value) {
    entity("TEXT", "TEXT", "AcDbText");
    xyz(10, x, y, z);
    pair(out, 40, height, 6);
    pair(out, 1, value);
    pair(out, 100, "AcDbText");
  }
  void insert(std::string_view block, double x, double y, double z) {
    entity("INSERT", "0", "AcDbBlockReference");
    pair(out, 2, block);
    xyz(10, x, y, z);
  }
  void block_begin(std::string_view name) {
    entity("BLOCK", "0", "AcDbBlockBegin");
    pair(out, 2, name);
    pair(out, 70, "0");
    xyz(10, 0, 0, 0);
    pair(out, 3, name);
    pair(out, 1, "");
  }
  void block_end() { entity("ENDBLK", "0", "AcDbBlockEnd"); }
};

// A drawing of `points` surveyed points with labels, connecting lines and marker
// circles. The two block definitions hold four more POINT entities (at block
// coordinates), which a point extractor also finds.
void drawing(std::uint64_t points, std::uint64_t seed, Out& out) {
  Rng rng(seed);
  Dxf dxf{out};

  // Paper space is empty: its extents keep the values of an empty drawing.
  pairs(out, {{0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, "AC1015"},
               {9, "$INSBASE"}, {10, "0.0"}, {20, "0.0"}, {30, "0.0"},
               {9, "$LIMMIN"}, {10, "500000.0"}, {20, "4700000.0"},
               {9, "$LIMMAX"}, {10, "520000.0"}, {20, "4720000.0"},
               {9, "$PEXTMIN"}, {10, "1.000000000000000E+20"}, {20, "1.000000000000000E+20"}, {30, "1.000000000000000E+20"},
               {9, "$PEXTMAX"}, {10, "-1.000000000000000E+20"}, {20, "-1.000000000000000E+20"}, {30, "-1.000000000000000E+20"},
               {9, "$INSUNITS"}, {70, "6"}, {9, "$PDMODE"}, {70, "35"}, {9, "$PDSIZE"}, {40, "0.5"}, {9, "$HANDSEED"}});
  // The next free handle; an upper bound is enough: at most five handles per point
  // (the point, its line, label, circle and an insert) after the blocks' 14.
  group(out, 5).hex(0x100 + 14 + 5 * points).crlf();
  pairs(out, {{0, "ENDSEC"}, {0, "SECTION"}, {2, "TABLES"}, {0, "TABLE"}, {2, "LAYER"}, {5, "2"},
               {100, "AcDbSymbolTable"}, {70, "4"}});
  static constexpr struct { std::string_view name, handle, colour; } layers[] = {
      {"0", "10", "7"}, {"POINTS", "11", "1"}, {"LINES", "12", "3"}, {"TEXT", "13", "5"}};
  for (const auto& layer : layers) {
    pairs(out, {{0, "LAYER"}, {5, layer.handle}, {100, "AcDbSymbolTableRecord"}, {100, "AcDbLayerTableRecord"},
                 {2, layer.name}, {70, "0"}, {62, layer.colour}, {6, "CONTINUOUS"}});
  }
  pairs(out, {{0, "ENDTAB"}, {0, "ENDSEC"}, {0, "SECTION"}, {2, "BLOCKS"}});
  dxf.block_begin("SURVEY_MARK");
  dxf.point("0", 0, 0, 0);
  dxf.point("0", 0, 0, -0.5);  // the buried mark below the surface one
  dxf.circle("0", 0, 0, 0, 0.5);
  dxf.line("0", -0.75, 0, 0, 0.75, 0, 0);
  dxf.line("0", 0, -0.75, 0, 0, 0.75, 0);
  dxf.block_end();
  dxf.block_begin("TREE");
  dxf.point("0", 0, 0, 0);
  dxf.point("0", 1.5, 0, 0);
  dxf.circle("0", 0, 0, 0, 2.0);
  dxf.circle("0", 0, 0, 0, 0.3);
  dxf.line("0", -1.4, -1.4, 0, 1.4, 1.4, 0);
  dxf.line("0", -1.4, 1.4, 0, 1.4, -1.4, 0);
  dxf.block_end();
  pair(out, 0, "ENDSEC");

  pair(out, 0, "SECTION");
  pair(out, 2, "ENTITIES");
  SurveyWalk walk(rng);
  double px = 0, py = 0, pz = 0;
  std::uint64_t insert_every = std::max<std::uint64_t>(points / 4, 1);
  Text label;
  for (std::uint64_t i = 0; i < points; ++i) {
    walk.next(rng);
    double x = walk.east, y = walk.north, z = walk.ground() + 0.3 * gauss(rng);
    dxf.point("POINTS", x, y, z);
    if (uniform(rng) < 0.5 && i > 0) dxf.line("LINES", px, py, pz, x, y, z);
    if (uniform(rng) < 0.5) {
      label.s.clear();
      label.put('P').num(i + 1);
      dxf.text(x + 0.3, y + 0.3, z, 0.5, label.s);
    }
    if (uniform(rng) < 0.5) dxf.circle("0", x, y, z, 0.25);
    if ((i + 1) % insert_every == 0) dxf.insert(i % 2 == 0 ? "TREE" : "SURVEY_MARK", x + 4, y - 3, z);
    px = x, py = y, pz = z;
    out.line_done();
  }
  pair(out, 0, "ENDSEC");
  pair(out, 0, "EOF");
}

// ---------------------------------------------------------------- geographic points

// Whole units of 1e-7 degree. A last digit of 5 is moved to 4: then rounding to
// six decimals never meets a tie, and the notations round the same way whatever
// the last bits of a reader's arithmetic.
std::int64_t to_units(double deg) {
  std::int64_t units = std::llround(deg * 1e7);
  return units % 10 == 5 ? units - 1 : units;
}

// notation 1: 42.5083333; 2: 42 30.500000; 3: 42 30 30.0000 (from the same
// units: minutes exactly, seconds to 1e-4 s).
void put_angle(Text& t, std::int64_t units, int notation) {
  auto u = static_cast<std::uint64_t>(units);  // the points lie north and east
  std::uint64_t degrees = u / 10000000, rest = u % 10000000;
  t.num(degrees);
  if (notation == 1) { t.put('.').num(rest, 7); return; }
  std::uint64_t micro_minutes = rest * 6;  // 1e-7 degree is exactly 6e-6 minute
  t.put(' ').num(micro_minutes / 1000000);
  if (notation == 2) { t.put('.').num(micro_minutes % 1000000, 6); return; }
  std::uint64_t ten_thousandths = (micro_minutes % 1000000 * 6 + 5) / 10;  // < 600000, so no carry
  t.put(' ').num(ten_thousandths / 10000).put('.').num(ten_thousandths % 10000, 4);
}

struct GeoPoint { std::int64_t lat, lon; };

// Points inside Bulgaria's bounding box, in clusters like the sites of a job.
// Every point draws the same numbers whatever is printed, so that all notations,
// orders and the CSV of one seed hold the same points with the same names.
template <class Write>
void geographic_points(std::uint64_t points, std::uint64_t seed, Write&& write) {
  Rng rng(seed);
  double lat = uniform(rng, 41.5, 44.0), lon = uniform(rng, 22.6, 28.4);
  Text name;
  for (std::uint64_t i = 1; i <= points; ++i) {
    if (uniform(rng) < 0.04) {
      lat = uniform(rng, 41.3, 44.2);
      lon = uniform(rng, 22.4, 28.6);
    } else {
      lat = reflect(lat + 0.0003 * gauss(rng), 41.3, 44.2);
      lon = reflect(lon + 0.0004 * gauss(rng), 22.4, 28.6);
    }
    double kind = uniform(rng);
    int k = 1 + below(rng, 99);
    name.s.clear();
    if (kind < 0.60) name.put('T').num(i);
    else if (kind < 0.75) name.put("well ").num(k);
    else if (kind < 0.85) name.put("corner ").put(static_cast<char>('A' + k % 26));
    else if (kind < 0.93) name.put("spring ").num(k);
    else name.put("bridge ").num(k);
    write(i, GeoPoint{to_units(lat), to_units(lon)}, std::string_view(name.s));
  }
}

void point_list(std::uint64_t points, int notation, int order, std::uint64_t seed, Out& out) {
  geographic_points(points, seed, [&](std::uint64_t number, GeoPoint p, std::string_view name) {
    bool lat_first = order == 1 || order == 3;
    if (order <= 2) out.num(number).put(' ');
    put_angle(out, lat_first ? p.lat : p.lon, notation);
    out.put(' ');
    put_angle(out, lat_first ? p.lon : p.lat, notation);
    if (order >= 3) out.put(' ').put(name);
    out.crlf();
    out.line_done();
  });
}

void csv(std::uint64_t points, std::uint64_t seed, Out& out) {
  out.put("lat,lon,name\n");
  geographic_points(points, seed, [&](std::uint64_t, GeoPoint p, std::string_view name) {
    put_angle(out, p.lat, 1);
    out.put(',');
    put_angle(out, p.lon, 1);
    out.put(',').put(name).put('\n');
    out.line_done();
  });
}

// ---------------------------------------------------------------- command line

constexpr const char* usage =
    "usage: generate recording --epochs N [--seed S] [--plain] [--start HHMMSS]\n"
    "                          [--lat DDMM.MMMM] [--lon DDDMM.MMMM]\n"
    "       generate log --epochs N [--seed S] [--start HHMMSS] [--lat ...] [--lon ...]\n"
    "       generate dxf --points N [--seed S]\n"
    "       generate register --points N --layout 1..8|fixed [--seed S]\n"
    "       generate points --points N --notation 1..3 --order 1..4 [--seed S]\n"
    "       generate csv --points N [--seed S]\n";

bool parse_unsigned(std::string_view text, std::uint64_t& value) {
  if (text.empty() || text.size() > 18) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return true;
}

bool parse_digit(std::string_view text, char lo, char hi, int& value) {
  if (text.size() != 1 || text[0] < lo || text[0] > hi) return false;
  value = text[0] - '0';
  return true;
}

// DDMM.MMMM (or DDDMM.MMMM) into degrees; a leading "-" means south or west.
bool parse_angle(const char* text, double max_degrees, double& degrees) {
  char* end = nullptr;
  double v = std::strtod(text, &end);
  if (end == text || *end != '\0' || !std::isfinite(v)) return false;
  double whole = std::trunc(std::fabs(v) / 100);
  double minutes = std::fabs(v) - whole * 100;
  if (whole >= max_degrees || minutes >= 60) return false;
  degrees = (v < 0 ? -1 : 1) * (whole + minutes / 60);
  return true;
}

struct Options {
  std::string_view command;
  NmeaOptions nmea;
  bool plain = false;
  bool has_count = false, has_layout = false, has_notation = false, has_order = false;
  std::uint64_t points = 0;
  int layout = 0, notation = 0, order = 0;
};

bool parse(int argc, char** argv, Options& o) {
  if (argc < 2) return false;
  o.command = argv[1];
  bool nmea = o.command == "recording" || o.command == "log";
  bool plane = o.command == "dxf" || o.command == "register" || o.command == "points" || o.command == "csv";
  if (!nmea && !plane) return false;
  for (int i = 2; i < argc; ++i) {
    std::string_view name = argv[i];
    if (name == "--plain" && o.command == "recording") { o.plain = true; continue; }
    if (i + 1 >= argc) return false;
    const char* text = argv[++i];
    std::string_view value = text;
    std::uint64_t n = 0;
    if (name == "--seed") {
      if (!parse_unsigned(value, o.nmea.seed)) return false;
    } else if (name == "--epochs" && nmea) {
      if (!parse_unsigned(value, o.nmea.epochs)) return false;
      o.has_count = true;
    } else if (name == "--start" && nmea) {
      if (value.size() != 6 || !parse_unsigned(value, n)) return false;
      if (n / 10000 > 23 || n / 100 % 100 > 59 || n % 100 > 59) return false;
      o.nmea.start_seconds = static_cast<std::int64_t>(n / 10000 * 3600 + n / 100 % 100 * 60 + n % 100);
    } else if (name == "--lat" && nmea) {
      if (!parse_angle(text, 90, o.nmea.lat)) return false;
    } else if (name == "--lon" && nmea) {
      if (!parse_angle(text, 180, o.nmea.lon)) return false;
    } else if (name == "--points" && plane) {
      if (!parse_unsigned(value, o.points)) return false;
      o.has_count = true;
    } else if (name == "--layout" && o.command == "register") {
      o.layout = 0;  // the fixed layout
      o.has_layout = value == "fixed" || parse_digit(value, '1', '8', o.layout);
      if (!o.has_layout) return false;
    } else if (name == "--notation" && o.command == "points") {
      if (!(o.has_notation = parse_digit(value, '1', '3', o.notation))) return false;
    } else if (name == "--order" && o.command == "points") {
      if (!(o.has_order = parse_digit(value, '1', '4', o.order))) return false;
    } else {
      return false;
    }
  }
  if (!o.has_count) return false;
  if (o.command == "register" && !o.has_layout) return false;
  if (o.command == "points" && (!o.has_notation || !o.has_order)) return false;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);  // CR LF are written as they stand
#endif
  Options o;
  if (!parse(argc, argv, o)) {
    std::fputs(usage, stderr);
    return 2;
  }
  Out out;
  std::uint64_t seed = o.nmea.seed;
  if (o.command == "recording") recording(o.nmea, o.plain, out);
  else if (o.command == "log") logger(o.nmea, out);
  else if (o.command == "dxf") drawing(o.points, seed, out);
  else if (o.command == "register") coordinate_register(o.points, o.layout, seed, out);
  else if (o.command == "points") point_list(o.points, o.notation, o.order, seed, out);
  else csv(o.points, seed, out);
  out.flush();
  return std::fflush(stdout) != 0 || std::ferror(stdout) ? 1 : 0;
}
