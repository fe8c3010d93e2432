// quarn2dif-batch: converts many logs at once, each exactly as "Convert" in
// the window would with the saved channel settings and nothing typed.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/program_state.h"
#include "convert/log_file.h"
#include "convert/path_ops.h"
#include "convert/utf.h"
#include "settings/channel_settings.h"
#include "settings/settings_location.h"

namespace {

constexpr const char* kUsage =
    "Usage: quarn2dif-batch [--settings FILE] LOG...\n"
    "Converts each Quarn log into DIF files beside it, with the channel settings\n"
    "of the window program (the defaults, the log's header, the settings file).\n"
    "Prints each file written. The settings file is never written.\n"
    "\n"
    "  --settings FILE  the settings file to use; by default the one the window\n"
    "                   program beside this one uses\n"
    "  --help           show this help and exit\n"
    "  --version        show the version and exit\n";

// Progress for large logs, on a terminal only, at most once a percent.
class TerminalProgress {
 public:
  TerminalProgress(const std::string& name, size_t rows)
      : name_(name), rows_(rows), shown_(rows >= 100000 && isatty(STDERR_FILENO) == 1) {}
  ~TerminalProgress() {
    if (shown_ && last_ >= 0) std::fprintf(stderr, "\r\033[K");
  }
  void operator()(int32_t written) {
    if (!shown_) return;
    const int percent = static_cast<int>(100.0 * written / static_cast<double>(rows_));
    if (percent == last_) return;
    last_ = percent;
    std::fprintf(stderr, "\r%s: %d%%", name_.c_str(), percent);
    std::fflush(stderr);
  }

 private:
  std::string name_;
  size_t rows_;
  bool shown_;
  int last_ = -1;
};

// Converts one log; false when it could not be read or an output not written.
bool ConvertLog(const std::string& log, const std::u16string& settingsPath) {
  ProgramState state;
  ApplyDefaults(state.table);
  state.LogPath = Utf8ToUtf16(log);
  if (!ReadLog(state.LogPath, state.log, state.table)) {
    std::fprintf(stderr, "quarn2dif-batch: %s: cannot be read: %s\n", log.c_str(),
                 Utf16ToUtf8(LogOpenFailure(state.LogPath)).c_str());
    return false;
  }
  SettingsStore store;
  LoadChannelSettings(store, settingsPath, state.table, state.log.ColumnCount);
  CloseSettings(store);  // nothing was written into it, so the file stays as it is

  ExportResult result;
  {
    TerminalProgress progress(log, state.log.LogRows.size());
    result = ExportTable(state, [&progress](int32_t n) { progress(n); });
  }
  for (const std::u16string& file : result.Written) std::printf("%s\n", Utf16ToUtf8(file).c_str());
  std::fflush(stdout);
  if (!result.Ok) {
    std::fprintf(stderr, "quarn2dif-batch: %s: cannot be written: %s\n",
                 Utf16ToUtf8(result.FailedFile).c_str(), Utf16ToUtf8(result.Reason).c_str());
  }
  return result.Ok;
}

}  // namespace

int main(int argc, char** argv) {
  std::u16string settingsPath;
  std::vector<std::string> logs;
  bool optionsEnd = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (optionsEnd || arg.empty() || arg[0] != '-' || arg == "-") {
      logs.push_back(arg);
    } else if (arg == "--") {
      optionsEnd = true;
    } else if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg == "--version") {
      std::puts("quarn2dif-batch 0.71");
      return 0;
    } else if (arg == "--settings" && i + 1 < argc) {
      settingsPath = Utf8ToUtf16(argv[++i]);
    } else if (arg.rfind("--settings=", 0) == 0) {
      settingsPath = Utf8ToUtf16(arg.substr(std::strlen("--settings=")));
    } else {
      std::fprintf(stderr, "quarn2dif-batch: unknown option %s\n%s", arg.c_str(), kUsage);
      return 2;
    }
  }
  if (logs.empty()) {
    std::fprintf(stderr, "quarn2dif-batch: no log given\n%s", kUsage);
    return 2;
  }
  if (settingsPath.empty()) {
    // The window program's settings: it stands in the same folder as this one.
    settingsPath = ChooseSettingsPath(DirectoryOf(ProgramPath()) + u"quarn2dif");
  }
  bool allConverted = true;
  for (const std::string& log : logs) allConverted = ConvertLog(log, settingsPath) && allConverted;
  return allConverted ? 0 : 1;
}
