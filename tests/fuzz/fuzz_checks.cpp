#include "fuzz_checks.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/program_state.h"
#include "convert/utf.h"
#include "settings/settings_store.h"

namespace {

#define FUZZ_CHECK(condition)                                                     \
  do {                                                                            \
    if (!(condition)) {                                                           \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                               \
    }                                                                             \
  } while (0)

// One scratch folder per process, for the files the checks write.
const std::string& ScratchFolder() {
  static const std::string folder = [] {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/quarn2dif-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    return pattern;
  }();
  return folder;
}

std::string WriteScratch(const std::string& name, std::string_view bytes) {
  const std::string path = ScratchFolder() + "/" + name;
  FILE* f = std::fopen(path.c_str(), "wb");
  FUZZ_CHECK(f != nullptr);
  FUZZ_CHECK(std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size());
  std::fclose(f);
  return path;
}

std::string ReadScratch(const std::string& path) {
  std::string bytes;
  FILE* f = std::fopen(path.c_str(), "rb");
  FUZZ_CHECK(f != nullptr);
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof(buffer), f)) > 0) bytes.append(buffer, n);
  std::fclose(f);
  return bytes;
}

bool ReadFuzzedLog(std::string_view bytes, LogData& log, ChannelTable& table) {
  ApplyDefaults(table);
  return ReadLog(Utf8ToUtf16(WriteScratch("log.csv", bytes)), log, table);
}

bool SameEntries(const std::vector<SettingsEntry>& a, const std::vector<SettingsEntry>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].kind != b[i].kind || a[i].name != b[i].name || a[i].value != b[i].value) return false;
  }
  return true;
}

// Splits a file into its lines; every line must end with CR LF and hold no
// other CR or LF.
std::vector<std::string> DifLines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    const size_t end = bytes.find("\r\n", start);
    FUZZ_CHECK(end != std::string::npos);
    const std::string line = bytes.substr(start, end - start);
    FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);
    lines.push_back(line);
    start = end + 2;
  }
  return lines;
}

// Checks one export file and gives the number of its data tuples.
size_t CheckDifFile(const std::string& bytes, int32_t tupleWidth, size_t exportedColumns) {
  const std::vector<std::string> lines = DifLines(bytes);
  FUZZ_CHECK(lines.size() >= 12 + 13 * 2 + 2);
  FUZZ_CHECK(lines[0] == "TABLE" && lines[1] == "0,1" && lines[2] == "\"EXCEL\"" && lines[3] == "VECTORS");
  FUZZ_CHECK(lines[4].rfind("0,", 0) == 0);
  const long long vectors = std::atoll(lines[4].c_str() + 2);
  FUZZ_CHECK(lines[5] == "\"LMTR\"" && lines[6] == "TUPLES");
  FUZZ_CHECK(lines[7] == "0," + std::to_string(tupleWidth));
  FUZZ_CHECK(lines[8].size() == 99 && lines[8].front() == '"' && lines[8].back() == '"');
  FUZZ_CHECK(lines[9] == "DATA" && lines[10] == "0,0" && lines[11] == "\"\"");
  size_t i = 12;
  size_t tuples = 0;
  std::vector<size_t> cells;
  for (;;) {
    FUZZ_CHECK(i + 1 < lines.size() && lines[i] == "-1,0");
    if (lines[i + 1] == "EOD") {
      FUZZ_CHECK(i + 2 == lines.size());
      break;
    }
    FUZZ_CHECK(lines[i + 1] == "BOT");
    i += 2;
    size_t count = 0;
    while (i < lines.size() && lines[i] != "-1,0") {
      FUZZ_CHECK(i + 1 < lines.size());
      if (lines[i] == "1,0") {
        FUZZ_CHECK(lines[i + 1].size() >= 2 && lines[i + 1].front() == '"' && lines[i + 1].back() == '"');
      } else {
        FUZZ_CHECK(lines[i].rfind("0,", 0) == 0 && lines[i + 1] == "V");
      }
      i += 2;
      ++count;
    }
    cells.push_back(count);
    ++tuples;
  }
  FUZZ_CHECK(tuples >= 13);
  const size_t dataTuples = tuples - 13;
  FUZZ_CHECK(static_cast<long long>(dataTuples) + 12 == vectors);
  for (size_t t = 12; t < tuples; ++t) FUZZ_CHECK(cells[t] == exportedColumns);  // titles and rows
  return dataTuples;
}

std::u16string SingleLineText(std::string_view bytes) {
  std::u16string text = Utf8ToUtf16(bytes);
  for (char16_t& c : text) {
    if (c == u'\r' || c == u'\n') c = u' ';  // the window's fields hold no line break
  }
  return text;
}

// The log's lines as the reader must give them, taken one byte at a time
// from the whole file in memory: the header (empty without one) and the rows.
std::pair<std::string, std::vector<std::string>> ReferenceLog(std::string_view bytes) {
  std::string header;
  std::vector<std::string> rows;
  bool headerFound = false;
  size_t pos = 0;
  while (pos < bytes.size()) {
    std::string line;
    while (pos < bytes.size()) {
      const auto b = static_cast<unsigned char>(bytes[pos++]);
      if (b == '\n' || b == 0) break;
      if (b == '\r') {
        if (pos < bytes.size() && bytes[pos] == '\n') ++pos;
        break;
      }
      if (b < 0x80) {
        line += static_cast<char>(b);
        continue;
      }
      const size_t followers = b >= 0xC0 && b <= 0xDF ? 1 : b >= 0xE0 && b <= 0xEF ? 2 : b >= 0xF0 && b <= 0xF7 ? 3 : 0;
      if (followers == 0) {
        line += '?';
        continue;
      }
      if (pos + followers > bytes.size()) {
        pos = bytes.size();
        break;
      }
      const std::string_view group = bytes.substr(pos - 1, followers + 1);
      pos += followers;
      const std::u16string decoded = Utf8ToUtf16(group);
      line += decoded.size() <= 2 && decoded.find(u'\uFFFD') == std::u16string::npos ? std::string(group)
                                                                                     : "\xEF\xBF\xBD";
    }
    if (pos >= bytes.size()) break;  // the last line is never used
    if (headerFound) {
      rows.push_back(line);
    } else if (!line.empty() && line[0] == '"') {
      header = line;
      headerFound = true;
    }
  }
  return {header, rows};
}

}  // namespace

void CheckReadLog(std::string_view bytes) {
  LogData log;
  ChannelTable table;
  FUZZ_CHECK(ReadFuzzedLog(bytes, log, table));
  FUZZ_CHECK(log.ColumnCount >= 0 && log.ColumnCount <= 10);
  FUZZ_CHECK(log.LogRows.bytes.size() <= bytes.size() * 3);
  for (size_t r = 0; r < log.LogRows.size(); ++r) {
    const std::string_view row = log.LogRows.Row(r);
    const std::u16string text = Utf8ToUtf16(row);
    FUZZ_CHECK(Utf16ToUtf8(text) == row);  // stored as well-formed UTF-8
    FUZZ_CHECK(text.find_first_of(std::u16string_view(u"\r\n\0", 3)) == std::u16string::npos);
  }
  if (log.ColumnCount == 0) FUZZ_CHECK(log.LogRows.empty() && log.LogHeader.empty());

  // Line for line what a byte-at-a-time reader gives.
  const auto [header, rows] = ReferenceLog(bytes);
  FUZZ_CHECK(log.LogRows.size() == rows.size());
  for (size_t r = 0; r < rows.size(); ++r) FUZZ_CHECK(log.LogRows.Row(r) == rows[r]);
  if (!header.empty() && header.find("AFR") == std::string::npos) FUZZ_CHECK(Utf16ToUtf8(log.LogHeader) == header);
}

void CheckSettingsRoundTrip(std::string_view bytes) {
  const std::vector<SettingsEntry> first = ParseSettings(bytes);
  const std::string saved = SettingsFileBytes(first);
  const std::vector<SettingsEntry> again = ParseSettings(saved);
  FUZZ_CHECK(SameEntries(first, again));
  FUZZ_CHECK(SettingsFileBytes(again) == saved);

  // Through the store and the file: what a load and a save leave is what the
  // next load reads, every entry in its place.
  const std::string path = WriteScratch("settings.ini", bytes);
  SettingsStore store;
  OpenSettings(store, Utf8ToUtf16(path));
  FUZZ_CHECK(SameEntries(store.entries, first));
  SelectGroup(store, u"Channel1");
  WriteSettingText(store, u"Name", ReadSettingText(store, u"Name", u"none"));
  WriteSettingInt(store, u"Color", ReadSettingInt(store, u"Color", 7));
  SelectGroup(store, u"Channel2");
  WriteSettingText(store, u"Unit", u"bar");
  const std::vector<SettingsEntry> expected = store.entries;
  FUZZ_CHECK(CloseSettings(store));
  SettingsStore reopened;
  OpenSettings(reopened, Utf8ToUtf16(path));
  FUZZ_CHECK(SameEntries(reopened.entries, expected));
  CloseSettings(reopened);
}

void CheckExport(std::string_view bytes) {
  // Two bytes of enabled boxes, then the channel texts up to 0x1E, then the log.
  if (bytes.size() < 2) return;
  const unsigned mask = static_cast<unsigned char>(bytes[0]) | (static_cast<unsigned char>(bytes[1]) << 8);
  bytes.remove_prefix(2);
  const size_t split = bytes.find('\x1E');
  const std::string_view texts = split == std::string_view::npos ? std::string_view() : bytes.substr(0, split);
  const std::string_view logBytes = split == std::string_view::npos ? bytes : bytes.substr(split + 1);

  ProgramState state;
  state.LogPath = Utf8ToUtf16(ScratchFolder() + "/log.csv");
  FUZZ_CHECK(ReadFuzzedLog(logBytes, state.log, state.table));
  size_t field = 0;
  size_t start = 0;
  while (start <= texts.size() && field < 36) {
    const size_t end = std::min(texts.find('\x1F', start), texts.size());
    Channel& c = state.table[1 + field / 4];
    std::u16string* targets[] = {&c.Name, &c.Unit, &c.Min, &c.Max};
    *targets[field % 4] = SingleLineText(texts.substr(start, end - start));
    ++field;
    start = end + 1;
  }
  for (int k = 1; k < kChannelSlots; ++k) state.table[k].Enabled = (mask >> k) & 1;
  state.table[0].Enabled = 1;

  const ExportResult result = ExportTable(state, {});
  FUZZ_CHECK(result.Ok);
  size_t exported = 0;
  for (int32_t s = 0; s < state.log.ColumnCount; ++s) exported += state.table[s].Enabled != 0 ? 1 : 0;
  size_t rows = 0;
  for (const std::u16string& file : result.Written) {
    const std::string path = Utf16ToUtf8(file);
    rows += CheckDifFile(ReadScratch(path), state.TupleWidth, exported);
    unlink(path.c_str());
  }
  FUZZ_CHECK(rows == state.log.LogRows.size());
}
