// Reads a log and exports it with every channel enabled, as the program's
// "Convert" does, and compares that with the floor of the same machine:
// reading the log's bytes and writing as many bytes into as many files.
//   export_bench [ROWS] [FOLDER]
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/channel_table.h"
#include "convert/dif_export.h"
#include "convert/log_reader.h"
#include "convert/utf.h"
#include "log_generator.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Outcome {
  double seconds = 0;
  long peakKiB = 0;
  long long bytesOut = 0;
  int files = 0;
};

long long FileSize(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

// Runs one measurement in a child, so that its peak memory is its own.
Outcome Measure(Outcome (*run)(const std::string&, const std::string&), const std::string& log,
                const std::string& folder) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) std::exit(1);
  const pid_t pid = fork();
  if (pid == 0) {
    close(pipeFds[0]);
    Outcome o = run(log, folder);
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    o.peakKiB = usage.ru_maxrss;
    if (write(pipeFds[1], &o, sizeof(o)) != static_cast<ssize_t>(sizeof(o))) _exit(1);
    _exit(0);
  }
  close(pipeFds[1]);
  Outcome o;
  if (read(pipeFds[0], &o, sizeof(o)) != static_cast<ssize_t>(sizeof(o))) std::exit(1);
  close(pipeFds[0]);
  waitpid(pid, nullptr, 0);
  return o;
}

void RemoveExport(const std::string& folder) {
  unlink((folder + "/bench.dif").c_str());
  for (int f = 1; f <= 999; ++f) {
    char name[64];
    std::snprintf(name, sizeof(name), "/bench_%02d.dif", f);
    if (unlink((folder + name).c_str()) != 0) break;
  }
}

Outcome Convert(const std::string& log, const std::string& folder) {
  RemoveExport(folder);  // every round writes new files, as the floor does
  const auto start = Clock::now();
  ChannelTable table;
  ApplyDefaults(table);
  LogData data;
  if (!ReadLog(Utf8ToUtf16(log), data, table)) std::exit(1);
  for (int32_t k = 1; k < data.ColumnCount; ++k) table[k].Enabled = 1;
  DeriveLabels(table, data.ColumnCount);
  const ExportResult result =
      DifExport(Utf8ToUtf16(log), data.LogRows, data.ColumnCount, table, data.ColumnCount, {});
  Outcome o;
  o.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (!result.Ok) std::exit(1);
  o.files = static_cast<int>(result.Written.size());
  for (const auto& name : result.Written) o.bytesOut += FileSize(Utf16ToUtf8(name));
  return o;
}

// Set by main before the floor runs: what the export wrote.
long long gFloorBytes = 0;
int gFloorFiles = 0;

Outcome Floor(const std::string& log, const std::string& folder) {
  const auto start = Clock::now();
  std::vector<char> buffer(1 << 20);
  const int in = open(log.c_str(), O_RDONLY);
  while (read(in, buffer.data(), buffer.size()) > 0) {
  }
  close(in);
  const long long perFile = gFloorBytes / gFloorFiles;
  for (int f = 0; f < gFloorFiles; ++f) {
    const std::string name = folder + "/floor_" + std::to_string(f) + ".bin";
    const int out = open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    for (long long left = perFile; left > 0;) {
      const ssize_t n = write(out, buffer.data(), static_cast<size_t>(std::min<long long>(left, buffer.size())));
      if (n <= 0) break;
      left -= n;
    }
    close(out);
  }
  Outcome o;
  o.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  for (int f = 0; f < gFloorFiles; ++f) unlink((folder + "/floor_" + std::to_string(f) + ".bin").c_str());
  return o;
}

}  // namespace

int main(int argc, char** argv) {
  const long long rows = argc > 1 ? std::atoll(argv[1]) : 1000000;
  std::string folder = argc > 2 ? argv[2] : "";
  if (folder.empty()) {
    char pattern[] = "/tmp/quarn2dif-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) return 1;
    folder = pattern;
  }
  const std::string log = folder + "/bench.csv";
  if (!WriteBenchLog(log, rows)) {
    std::perror(log.c_str());
    return 1;
  }
  const long long logBytes = FileSize(log);

  constexpr int kRounds = 3;
  Outcome best;
  Outcome bestFloor;
  for (int round = 0; round < kRounds; ++round) {
    const Outcome c = Measure(Convert, log, folder);
    if (round == 0 || c.seconds < best.seconds) best = c;
    gFloorBytes = c.bytesOut;
    gFloorFiles = c.files;
    const Outcome f = Measure(Floor, log, folder);
    if (round == 0 || f.seconds < bestFloor.seconds) bestFloor = f;
  }

  const double logMiB = static_cast<double>(logBytes) / (1 << 20);
  const double peakMiB = static_cast<double>(best.peakKiB) / 1024;
  const double memoryBound = 2.5 * logMiB + 32;
  std::printf("log: %lld rows, %.1f MiB; export: %d files, %.1f MiB\n", rows, logMiB, best.files,
              static_cast<double>(best.bytesOut) / (1 << 20));
  std::printf("read + export: %.3f s; floor (read the bytes, write as many): %.3f s; ratio %.2f (target <= 2)\n",
              best.seconds, bestFloor.seconds, best.seconds / bestFloor.seconds);
  std::printf("peak memory: %.1f MiB = %.2f x the log (bound 2.5 x + 32 MiB = %.1f MiB)\n", peakMiB,
              peakMiB / logMiB, memoryBound);
  if (argc <= 2) {
    unlink(log.c_str());
    RemoveExport(folder);
    rmdir(folder.c_str());
  }
  const bool ok = best.seconds <= 2 * bestFloor.seconds && peakMiB <= memoryBound;
  std::printf("%s\n", ok ? "within targets" : "OUTSIDE TARGETS");
  return ok ? 0 : 3;
}
