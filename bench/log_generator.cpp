#include "log_generator.h"

#include <cstdio>
#include <string>

namespace {

struct Random {
  uint64_t state = 0x9E3779B97F4A7C15ull;
  uint32_t Next(uint32_t below) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<uint32_t>(state >> 33) % below;
  }
};

// value / 10^decimals with exactly that many decimals, for 0 to 2 decimals.
void Fixed(std::string& out, uint32_t value, int decimals) {
  const uint32_t scale = decimals == 2 ? 100 : decimals == 1 ? 10 : 1;
  out += std::to_string(value / scale);
  if (decimals == 0) return;
  out += '.';
  const std::string fraction = std::to_string(scale + value % scale);  // keeps leading zeros
  out.append(fraction, 1, std::string::npos);
}

}  // namespace

bool WriteBenchLog(const std::string& path, int64_t rows) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  std::string out =
      "Quarn log\r\n\"Time\",\"Lambda\",\"RPM\",\"MAP\",\"EGT\",\"TPS\",\"Volt 1\",\"Volt 2\","
      "\"AFR\",\"Boost\"\r\n";
  Random random;
  const int64_t start = 12 * 3600 * 1000;  // noon, in milliseconds
  // One row more than wanted: the last line of a log is never used.
  for (int64_t r = 0; r <= rows; ++r) {
    const int64_t ms = (start + r * 10) % (24 * 3600 * 1000);
    char time[32];
    std::snprintf(time, sizeof(time), "%02d:%02d:%02d.%03d", static_cast<int>(ms / 3600000),
                  static_cast<int>(ms / 60000 % 60), static_cast<int>(ms / 1000 % 60),
                  static_cast<int>(ms % 1000));
    out += time;
    out += ',';
    Fixed(out, 90 + random.Next(20), 2);  // lambda, 0.90 to 1.09
    out += ',';
    Fixed(out, 800 + random.Next(6000), 0);  // rpm
    out += ',';
    Fixed(out, 950 + random.Next(200), 1);  // kPa, 95.0 to 114.9
    out += ',';
    Fixed(out, 300 + random.Next(600), 0);  // degC
    out += ',';
    Fixed(out, random.Next(1000), 1);  // %
    out += ',';
    Fixed(out, random.Next(500), 2);  // volt
    out += ',';
    Fixed(out, random.Next(500), 2);  // volt
    out += ',';
    Fixed(out, 100 + random.Next(100), 1);  // AFR
    out += ',';
    Fixed(out, random.Next(2000), 1);
    out += "\r\n";
    if (out.size() > (1 << 20)) {
      if (std::fwrite(out.data(), 1, out.size(), f) != out.size()) break;
      out.clear();
    }
  }
  const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  return std::fclose(f) == 0 && ok;
}
