// Logs far from the usual: one line of 100 MB, random bytes, ten million rows.
// Peak memory is checked against the benchmark's bound; time is the
// benchmark's business, not a test's.
#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "app/program_state.h"
#include "convert/utf.h"
#include "fuzz/fuzz_checks.h"
#include "log_generator.h"
#include "support/temp_dir.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;  // the sanitizer's own memory would count
#else
constexpr bool kSanitized = false;
#endif

long PeakKiB() {
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Reads and exports the log with every channel enabled, in a child so that
// its peak memory is its own; 0 when it stayed within 2.5 times the log's
// size plus 32 MiB.
int ConvertWithinMemoryBound(const std::string& log, size_t& rows) {
  struct stat st {};
  if (stat(log.c_str(), &st) != 0) return 9;
  const long long logBytes = st.st_size;
  const int code = RunInChild([&] {
    ProgramState state;
    ApplyDefaults(state.table);
    state.LogPath = Utf8ToUtf16(log);
    if (!ReadLog(state.LogPath, state.log, state.table)) return 10;
    for (int k = 1; k < kChannelSlots; ++k) state.table[k].Enabled = 1;
    if (!ExportTable(state, {}).Ok) return 11;
    const long long bound = logBytes * 5 / 2 + (32LL << 20);
    return PeakKiB() * 1024LL <= bound || kSanitized ? 0 : 12;
  });
  ProgramState state;
  ReadLog(Utf8ToUtf16(log), state.log, state.table);
  rows = state.log.LogRows.size();
  return code;
}

// These logs and their exports take room on disk that a small machine may not have.
#define NEEDS_DISK(dir, bytes)                                                               \
  if (FreeBytes((dir).path()) < (bytes)) GTEST_SKIP() << "needs " << ((bytes) >> 20)           \
                                                       << " MiB free in " << (dir).path()

TEST(LargeLogs, ALineOf100MegabytesIsKeptWhole) {
  TempDir dir;
  NEEDS_DISK(dir, 512ull << 20);
  const std::string log = dir.File("long.csv");
  constexpr size_t kCell = 100 << 20;
  {
    // Written in pieces: the test itself must hold no copy while the child measures.
    std::ofstream out(log, std::ios::binary);
    out << "\"Time\",\"Long\"\r\n00:00:00.000,";
    const std::string piece(1 << 20, '7');
    for (size_t i = 0; i < kCell / piece.size(); ++i) out << piece;
    out << "\r\nlast";
  }
  size_t rows = 0;
  EXPECT_EQ(ConvertWithinMemoryBound(log, rows), 0);
  EXPECT_EQ(rows, 1u);
  const std::string dif = ReadBytes(dir.File("long.dif"));
  const std::string tail = "\r\nV\r\n-1,0\r\nEOD\r\n";
  ASSERT_GT(dif.size(), kCell + tail.size());
  const size_t start = dif.size() - tail.size() - kCell;
  EXPECT_EQ(dif.substr(start - 4, 4), "\r\n0,");
  EXPECT_EQ(dif.find_first_not_of('7', start), dif.size() - tail.size());
  EXPECT_EQ(dif.substr(dif.size() - tail.size()), tail);
}

TEST(LargeLogs, RandomBytesGiveWellFormedResults) {
  std::mt19937 random(12345);
  for (int round = 0; round < 4; ++round) {
    std::string bytes(1 << 18, '\0');
    for (char& b : bytes) b = static_cast<char>(random());
    // With a header in front, the random lines become data rows.
    CheckReadLog(bytes);
    CheckExport(std::string("\xFF\xFF\x1E\"Time\",\"A\",\"B\"\n", 18) + bytes);
    CheckSettingsRoundTrip(bytes);
  }
}

TEST(LargeLogs, TenMillionRowsStayWithinTheMemoryBound) {
  if (kSanitized) GTEST_SKIP() << "too large for a sanitized build";
  TempDir dir;
  NEEDS_DISK(dir, 4ull << 30);
  const std::string log = dir.File("big.csv");
  ASSERT_TRUE(WriteBenchLog(log, 10'000'000));
  size_t rows = 0;
  EXPECT_EQ(ConvertWithinMemoryBound(log, rows), 0);
  EXPECT_EQ(rows, 10'000'000u);
  const auto files = FolderEntries(dir.path());
  EXPECT_EQ(files.size(), 1u + 153u);  // the log and 10,000,000 / 65536 files, rounded up
  EXPECT_TRUE(FileExists(dir.File("big_153.dif")));
}

}  // namespace
