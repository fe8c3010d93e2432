// Every seed and every input that once found a fault, through the fuzz
// targets' checks, in every build.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "fuzz_checks.h"

namespace {

void RunEvery(const std::string& target, void (*check)(std::string_view)) {
  size_t inputs = 0;
  for (const char* kind : {"corpus", "regressions"}) {
    const std::filesystem::path folder = std::filesystem::path(FUZZ_DIR) / kind / target;
    if (!std::filesystem::exists(folder)) continue;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      std::ifstream in(entry.path(), std::ios::binary);
      std::ostringstream bytes;
      bytes << in.rdbuf();
      SCOPED_TRACE(entry.path().string());
      check(bytes.str());
      ++inputs;
    }
  }
  EXPECT_GT(inputs, 0u) << "no kept inputs for " << target;
}

TEST(KeptFuzzInputs, LogReader) { RunEvery("log_reader", CheckReadLog); }
TEST(KeptFuzzInputs, Settings) { RunEvery("settings", CheckSettingsRoundTrip); }
TEST(KeptFuzzInputs, Export) { RunEvery("export", CheckExport); }

}  // namespace
